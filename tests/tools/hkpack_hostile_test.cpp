// hkpack facing sources and databases from hostile hands: overlong titles,
// files that are not files, control bytes in names, a full disk, signals.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "hkpack_fixture.h"
#include "terminal_text.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

using hk::testing::Hkpack;
using hk::testing::Outcome;
using hk::testing::Quote;
using hk::testing::WriteFile;
using hk::testing::WriteZip;

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// Everything left in the test's folder whose name marks a temporary.
std::string Temporaries(const fs::path& folder) {
    std::string found;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (Has(entry.path().filename().string(), ".tmp")) found += entry.path().string() + " ";
    }
    return found;
}

// A database in the viewer's form whose one title is `title`, the game's
// member named in files.txt being `member`.
void WriteDatabase(const std::string& path, const std::string& title, const std::string& member) {
    WriteZip(path, {{"games.txt", title + "\r\n"},
                    {"files.txt", member + "\r\n"},
                    {"pitches.txt", "0\r\n0\r\n"},
                    {"version.txt", "Hintkeeper v1.30\r\n"},
                    {"a.txt", "text\r\n"}});
}

TEST_F(Hkpack, TitlesLongerThan1024BytesAreRefusedByTheirLine) {
    WriteFile(src + "/index.tsv", "a.txt\t0\t" + std::string(1024, 'x') + "\n" + "a.txt\t0\t" +
                                      std::string(1025, 'y') + "\n");
    WriteFile(src + "/texts/a.txt", "text\n");
    const Outcome build = Pack("build " + Quote(src) + " " + Quote(out));
    EXPECT_EQ(build.status, 1);
    EXPECT_TRUE(Has(build.err, "index.tsv:2: the title is 1025 bytes long")) << build.err;
    EXPECT_FALSE(fs::exists(out));

    WriteDatabase(out, "Doom\r\n" + std::string(3 << 20, 'z'), "a.txt\r\na.txt");
    const Outcome check = Pack("check " + Quote(out));
    EXPECT_EQ(check.status, 1);
    EXPECT_TRUE(Has(check.err, "games.txt:2: the title is 3145728 bytes long")) << check.err;
    EXPECT_LT(check.err.size(), 4096u);  // nor is the title itself printed whole
}

TEST_F(Hkpack, BuildReadsOnlyRegularFilesAndNamesWhatItFound) {
    WriteSources();
    const std::string text = src + "/texts/doom_pc.txt";
    const auto refused = [&](const std::string& why) {
        const Outcome build = Pack("build " + Quote(src) + " " + Quote(out));
        EXPECT_EQ(build.status, 1) << why;
        EXPECT_TRUE(Has(build.err, "hkpack: " + text + ": " + why)) << build.err;
        EXPECT_FALSE(fs::exists(out)) << why;
        EXPECT_EQ(Temporaries(dir.path()), "") << why;
    };
    fs::remove(text);
    refused("cannot open: No such file or directory");
    ASSERT_EQ(mkfifo(text.c_str(), 0600), 0);  // a writer that never comes
    refused("is a FIFO, not a regular file");
    fs::remove(text);
    fs::create_symlink("/dev/zero", text);
    refused("is a character device, not a regular file");
    fs::remove(text);
    fs::create_directory(text);
    refused("is a folder, not a regular file");
    fs::remove(text);
    WriteFile(text, "");
    fs::resize_file(text, (size_t{256} << 20) + 1);  // sparse: nothing is written
    refused("is larger than 256 MiB");
}

TEST_F(Hkpack, ControlBytesFromTheArchiveReachTheTerminalEscaped) {
    const std::string hostile = "\x1b[2J\x1b]2;owned\x07x.txt";
    WriteZip(out, {{hostile, "text"}});
    const Outcome list = Pack("list " + Quote(out));
    EXPECT_EQ(list.status, 0);
    EXPECT_TRUE(Has(list.out, " \\x1b[2J\\x1b]2;owned\\x07x.txt\n")) << list.out;
    EXPECT_FALSE(Has(list.out, "\x1b")) << list.out;

    // A title with controls, whose game fails, and a member files.txt leaves out.
    WriteDatabase(out, "Bad\x1b[31m", "gone.txt");
    const Outcome check = Pack("check " + Quote(out));
    EXPECT_EQ(check.status, 1);
    EXPECT_TRUE(Has(check.err, "\"Bad\\x1b[31m\" (gone.txt)")) << check.err;
    WriteZip(out, {{"games.txt", "Fine\r\n"},
                   {"files.txt", "a.txt\r\n"},
                   {"pitches.txt", "0\r\n"},
                   {"version.txt", "Hintkeeper v1.30\r\n"},
                   {"a.txt", "text\r\n"},
                   {hostile, "x"}});
    const Outcome unpack = Pack("unpack " + Quote(out) + " " + Quote(dir / "u"));
    EXPECT_EQ(unpack.status, 1);
    EXPECT_TRUE(Has(unpack.err, "\\x1b[2J\\x1b]2;owned\\x07x.txt: not named")) << unpack.err;
    for (const Outcome& run : {list, check, unpack}) {
        EXPECT_FALSE(Has(run.out + run.err, "\x1b") || Has(run.out + run.err, "\x07"));
    }
    // C1 controls, bytes that are no UTF-8 (0x9B alone is the 8-bit CSI) and
    // DEL are escaped too; Cyrillic passes, and escaping twice changes nothing.
    const std::string mixed = hk::pack::TerminalText(
        "\xc2\x9b"
        "a\x9b\x7f Ёж\\x1b");
    EXPECT_EQ(mixed, "\\u009ba\\x9b\\x7f Ёж\\x1b");
    EXPECT_EQ(hk::pack::TerminalText(mixed), mixed);
}

TEST_F(Hkpack, ErrorsNameTheUsersFileAndTheSystemsReason) {
    const std::string missing = dir / "none.dat";
    for (const std::string command : {"cat", "check", "list"}) {
        const Outcome run =
            Pack(command + " " + Quote(missing) + (command == "cat" ? " a.txt" : ""));
        EXPECT_EQ(run.err, "hkpack: " + missing + ": cannot open: No such file or directory\n")
            << command;
    }
    // A disk that fills up: the file size limit fails the write the same way.
    const auto limited = [](int kib) {
        return "trap '' XFSZ; ulimit -f " + std::to_string(kib) + "; " + Quote(HKPACK_PROGRAM);
    };
    const Outcome synth = hk::testing::Shell(limited(64) + " synth 500 " + Quote(out), dir);
    EXPECT_EQ(synth.status, 1);
    EXPECT_EQ(synth.err, "hkpack: " + out + ": cannot write: File too large\n");
    ASSERT_EQ(Pack("synth 40 " + Quote(out)).status, 0);
    const std::string unpacked = dir / "u";
    const Outcome unpack =
        hk::testing::Shell(limited(1) + " unpack " + Quote(out) + " " + Quote(unpacked), dir);
    EXPECT_EQ(unpack.status, 1);
    EXPECT_TRUE(Has(unpack.err, "hkpack: " + unpacked + "/")) << unpack.err;
    EXPECT_TRUE(Has(unpack.err, ": cannot write: File too large\n")) << unpack.err;
    EXPECT_EQ(Temporaries(dir.path()), "");
}

TEST_F(Hkpack, AReplacedDatabaseKeepsItsModeAndANewOneFollowsTheUmask) {
    WriteSources();
    WriteFile(out, "old");
    ASSERT_EQ(chmod(out.c_str(), 0600), 0);
    ASSERT_EQ(Pack("build " + Quote(src) + " " + Quote(out)).status, 0);
    struct stat info {};
    ASSERT_EQ(stat(out.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);

    const std::string fresh = dir / "fresh.dat";
    const Outcome build = hk::testing::Shell(
        "umask 027; " + Quote(HKPACK_PROGRAM) + " build " + Quote(src) + " " + Quote(fresh), dir);
    ASSERT_EQ(build.status, 0) << build.err;
    ASSERT_EQ(stat(fresh.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}

// Starts hkpack with `args`, sends SIGTERM as soon as its temporary appears
// and waits for it to end. Returns the wait status.
int TerminatedOnceItsTemporaryAppears(const fs::path& folder, std::vector<std::string> args) {
    std::string program = HKPACK_PROGRAM;
    std::vector<char*> argv{program.data()};
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return -1;
    int status = 0;
    for (;;) {
        if (waitpid(pid, &status, WNOHANG) == pid)
            return status;  // done before it could be stopped
        if (!Temporaries(folder).empty()) break;
        usleep(1000);
    }
    kill(pid, SIGTERM);
    waitpid(pid, &status, 0);
    return status;
}

TEST_F(Hkpack, SigtermDuringSynthOrUnpackLeavesNoTemporary) {
    const fs::path work = dir / "work";
    fs::create_directory(work);
    const std::string big = (work / "big.dat").string();
    int status = TerminatedOnceItsTemporaryAppears(work, {"synth", "65531", big});
    EXPECT_TRUE(WIFSIGNALED(status) ? WTERMSIG(status) == SIGTERM : WEXITSTATUS(status) == 0)
        << status;
    EXPECT_EQ(Temporaries(work), "");

    ASSERT_EQ(Pack("synth 3000 " + Quote(out)).status, 0);
    status = TerminatedOnceItsTemporaryAppears(work, {"unpack", out, (work / "u").string()});
    EXPECT_TRUE(WIFSIGNALED(status) ? WTERMSIG(status) == SIGTERM : WEXITSTATUS(status) == 0)
        << status;
    EXPECT_EQ(Temporaries(work), "");
}

}  // namespace
