// hkpack's command line as scripts see it (help, version, usage errors with
// status 64), and cat's refusal to pass a damaged member off as extracted.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "database/DatabaseSession.h"
#include "hkpack_fixture.h"

extern char** environ;

namespace {

using hk::testing::Hkpack;
using hk::testing::Outcome;
using hk::testing::Quote;
using hk::testing::ReadFile;
using hk::testing::WriteFile;
using hk::testing::ZipBytes;

TEST_F(Hkpack, HelpAndVersionGoToStandardOutput) {
    const Outcome help = Pack("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.err.empty()) << help.err;
    for (const char* command : {"build", "unpack", "cat", "list", "check", "synth"}) {
        EXPECT_NE(help.out.find(std::string("hkpack ") + command + " "), std::string::npos)
            << command;
    }

    const Outcome cat = Pack("cat --help");
    EXPECT_EQ(cat.status, 0);
    EXPECT_TRUE(cat.out.starts_with("usage: hkpack cat ARCHIVE MEMBER [--password P]..."))
        << cat.out;
    EXPECT_NE(cat.out.find("exit status"), std::string::npos);
    // Help wins over whatever else the line holds, even a wrong operand count.
    EXPECT_EQ(Pack("unpack -h").status, 0);

    const Outcome version = Pack("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "hkpack 1.30\n");
}

TEST_F(Hkpack, MisuseGivesUsageOnStandardErrorAndStatus64) {
    const auto misuse = [&](const std::string& args, const std::string& named) {
        const Outcome run = Pack(args);
        EXPECT_EQ(run.status, 64) << args;
        EXPECT_TRUE(run.out.empty()) << args << ": " << run.out;
        EXPECT_NE(run.err.find(named), std::string::npos) << args << ": " << run.err;
        EXPECT_NE(run.err.find("usage: "), std::string::npos) << args << ": " << run.err;
    };
    misuse("", "no command");
    misuse("frobnicate x", "unknown command frobnicate");
    misuse("--verbose", "unknown option --verbose");
    misuse("cat a.dat games.txt --pasword x", "unknown option --pasword");
    misuse("cat a.dat games.txt --password", "--password needs a value P");
    misuse("list a.dat --store", "unknown option --store");  // an option of another command
    misuse("build only-one", "build takes SRC and OUT.dat, given 1 operand");
    misuse("check", "check takes ARCHIVE, given 0 operands");
    misuse("synth many out.dat", "COUNT must be a number");
    // "--" ends the options: a member name may then start with a dash.
    const Outcome dashed = Pack("cat " + Quote(out) + " -- -odd.txt");
    EXPECT_EQ(dashed.status, 2) << dashed.err;
    EXPECT_NE(dashed.err.find(out), std::string::npos) << dashed.err;
    // A lone "-" is an operand (a name, never an option).
    const Outcome lone = Pack("cat " + Quote(out) + " -");
    EXPECT_EQ(lone.status, 2) << lone.err;
    EXPECT_EQ(lone.err.find("usage"), std::string::npos) << lone.err;
}

TEST_F(Hkpack, FailuresNameTheFile) {
    const std::string missing = dir / "none.dat";
    for (const char* command : {"cat", "list", "check", "unpack"}) {
        const std::string operand = std::string(command) == "cat"      ? " games.txt"
                                    : std::string(command) == "unpack" ? " " + Quote(dir / "u")
                                                                       : "";
        const Outcome run = Pack(std::string(command) + " " + Quote(missing) + operand);
        EXPECT_NE(run.status, 0) << command;
        EXPECT_NE(run.err.find("hkpack: " + missing), std::string::npos)
            << command << ": " << run.err;
    }
}

// A one-member archive whose stored member is then altered in both headers.
std::string PatchedArchive(const std::string& text, uint16_t method, bool breakCrc) {
    std::string zip = ZipBytes({{"a.txt", text, false, false}});
    const size_t central = zip.find("PK\x01\x02");
    for (const size_t header : {size_t{0}, central}) {
        const size_t methodAt = header + (header == 0 ? 8 : 10);
        const size_t crcAt = header + (header == 0 ? 14 : 16);
        zip[methodAt] = static_cast<char>(method);
        if (breakCrc) zip[crcAt] = static_cast<char>(zip[crcAt] ^ 0x55);
    }
    return zip;
}

TEST_F(Hkpack, CatFailsWhenTheReaderDoesNotPassTheMemberClean) {
    WriteFile(out, PatchedArchive("hello", 0, false));
    const Outcome clean = Pack("cat " + Quote(out) + " a.txt");
    EXPECT_EQ(clean.status, 0) << clean.err;
    EXPECT_EQ(clean.out, "hello");

    WriteFile(out, PatchedArchive("hello", 0, true));
    const Outcome crc = Pack("cat " + Quote(out) + " a.txt");
    EXPECT_EQ(crc.status, 1);
    EXPECT_TRUE(crc.out.empty());
    EXPECT_EQ(crc.err, "hkpack: " + out + ": a.txt: CRC error\n");
    // The viewer's own fetch keeps showing what came out.
    hk::database::DatabaseSession session = hk::database::DatabaseSession::ForArchive(out);
    const hk::database::FetchResult viewer = session.FetchMember("a.txt");
    EXPECT_TRUE(viewer.ok());
    EXPECT_EQ(viewer.lines, std::vector<std::string>{"hello"});

    WriteFile(out, PatchedArchive("hello", 14, false));  // LZMA, which the reader lacks
    const Outcome method = Pack("cat " + Quote(out) + " a.txt");
    EXPECT_EQ(method.status, 1);
    EXPECT_TRUE(method.out.empty());
    EXPECT_EQ(method.err, "hkpack: " + out + ": a.txt: unsupported compression method 14\n");

    // Deflated data whose first block has the reserved type: the decoder's own complaint.
    std::string zip = ZipBytes({{"a.txt", std::string(4000, 'x') + "tail", true, false}});
    zip[30 + 5] = '\x07';
    WriteFile(out, zip);
    const Outcome damaged = Pack("cat " + Quote(out) + " a.txt");
    EXPECT_EQ(damaged.status, 1);
    EXPECT_TRUE(damaged.out.empty());
    EXPECT_TRUE(damaged.err.starts_with("hkpack: " + out + ": a.txt: ")) << damaged.err;
    EXPECT_EQ(damaged.err.find("CRC"), std::string::npos) << damaged.err;
}

TEST_F(Hkpack, CatDeliversALargeMemberWholeThroughANonBlockingPipe) {
    std::string big(8 << 20, '\0');
    for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7 % 251);
    WriteFile(out, ZipBytes({{"big.bin", big, false, false}}));

    int fds[2];
    ASSERT_EQ(pipe2(fds, O_CLOEXEC), 0);
    // The flag belongs to the pipe, so the child's standard output has it too.
    ASSERT_EQ(fcntl(fds[1], F_SETFL, O_NONBLOCK), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    std::string program = HKPACK_PROGRAM, command = "cat", member = "big.bin";
    char* argv[] = {program.data(), command.data(), out.data(), member.data(), nullptr};
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);

    std::string got;
    char buffer[4096];  // a slow reader, so the pipe fills up
    for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) != 0;) {
        if (n > 0) got.append(buffer, static_cast<size_t>(n));
        if (n < 0 && errno != EINTR) break;
    }
    close(fds[0]);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_TRUE(got == big) << "got " << got.size() << " of " << big.size() << " bytes";
}

}  // namespace
