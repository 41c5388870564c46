#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "database/cp1251.h"
#include "hkpack_fixture.h"

namespace {

using hk::database::Utf8ToCp1251;
using hk::testing::Hkpack;
using hk::testing::Outcome;
using hk::testing::Quote;
using hk::testing::ReadFile;
using hk::testing::Shell;
using hk::testing::WriteFile;

TEST_F(Hkpack, BuildThenCatGivesWindows1251WithCrLf) {
    WriteSources();
    ASSERT_EQ(Pack("build " + Quote(src) + " " + Quote(out)).status, 0);

    const Outcome games = Pack("cat " + Quote(out) + " games.txt");
    EXPECT_EQ(games.status, 0);
    EXPECT_EQ(games.out, *Utf8ToCp1251("Doom (PC)\r\nКвест онлайн (PC)\r\nDoom again (PC)\r\n"));
    EXPECT_EQ(Pack("cat " + Quote(out) + " files.txt").out,
              "doom_pc.txt\r\nonline.txt\r\ndoom_pc.txt\r\n");
    EXPECT_EQ(Pack("cat " + Quote(out) + " pitches.txt").out, "1\r\n0\r\n0\r\n");
    EXPECT_EQ(Pack("cat " + Quote(out) + " version.txt").out, "Hintkeeper v1.30\r\n");
    EXPECT_EQ(Pack("cat " + Quote(out) + " DOOM_PC.TXT").out,
              *Utf8ToCp1251("Коды:\r\nIDDQD\tбессмертие\r\nIDKFA\tвсё\r\n"));
    EXPECT_EQ(Pack("cat " + Quote(out) + " online.txt").out, *Utf8ToCp1251("***Номер:7731\r\n"));
}

TEST_F(Hkpack, ListShowsEveryMemberOnceDeflatedAndEncrypted) {
    WriteSources();
    ASSERT_EQ(Pack("build " + Quote(src) + " " + Quote(out)).status, 0);
    const Outcome list = Pack("list " + Quote(out));
    ASSERT_EQ(list.status, 0) << list.err;
    for (const char* name :
         {"games.txt", "files.txt", "pitches.txt", "version.txt", "doom_pc.txt", "online.txt"}) {
        EXPECT_NE(list.out.find(std::string(" ") + name + "\n"), std::string::npos) << name;
    }
    EXPECT_NE(list.out.find("6 members"), std::string::npos);
    EXPECT_EQ(list.out.find("stored"), std::string::npos);
    EXPECT_EQ(list.out.find(" no "), std::string::npos);

    ASSERT_EQ(Pack("build --store --no-encrypt " + Quote(src) + " " + Quote(out)).status, 0);
    const Outcome plain = Pack("list " + Quote(out));
    EXPECT_EQ(plain.out.find("deflated"), std::string::npos);
    EXPECT_EQ(plain.out.find(" yes "), std::string::npos);
}

TEST_F(Hkpack, CheckPassesABuiltDatabaseAndCatchesADamagedText) {
    WriteSources();
    ASSERT_EQ(Pack("build --store --no-encrypt " + Quote(src) + " " + Quote(out)).status, 0);
    const Outcome check = Pack("check " + Quote(out));
    EXPECT_EQ(check.status, 0) << check.err;
    EXPECT_NE(check.out.find("games: 3"), std::string::npos) << check.out;
    EXPECT_NE(check.out.find("failures: 0"), std::string::npos) << check.out;

    // Flip one byte of the stored text: the member still comes out, but its CRC fails.
    std::string bytes = ReadFile(out);
    const size_t at = bytes.find("IDKFA");
    ASSERT_NE(at, std::string::npos);
    bytes[at] = 'X';
    WriteFile(out, bytes);
    const Outcome damaged = Pack("check " + Quote(out));
    EXPECT_EQ(damaged.status, 1);
    EXPECT_NE(damaged.err.find("CRC"), std::string::npos) << damaged.err;
}

TEST_F(Hkpack, CheckRefusesADatabaseTheViewerWouldRefuse) {
    hk::testing::WriteZip(out, {{"games.txt", "A (PC)\r\n"},
                                {"files.txt", "a.txt\r\n"},
                                {"version.txt", "Hintkeeper v1.30\r\n"},
                                {"a.txt", "x"}});
    const Outcome check = Pack("check " + Quote(out));
    EXPECT_EQ(check.status, 1);
    EXPECT_NE(check.err.find("pitches.txt"), std::string::npos) << check.err;
}

TEST_F(Hkpack, UnmappableCharacterStopsTheBuildAndWritesNothing) {
    WriteSources();
    WriteFile(src + "/texts/online.txt", "line one\nline two ✓\n");
    const Outcome run = Pack("build " + Quote(src) + " " + Quote(out));
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.err.find("texts/online.txt:2:"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("U+2713"), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(out));

    // An existing database stays as it was, and no temporary file is left behind.
    WriteFile(out, "previous");
    EXPECT_NE(Pack("build " + Quote(src) + " " + Quote(out)).status, 0);
    EXPECT_EQ(ReadFile(out), "previous");
    size_t files = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) ++files;
    EXPECT_EQ(files, 3u) << "src, out.dat and the captured stderr";
}

TEST_F(Hkpack, IndexLinesTheViewerCouldNotServeAreRefused) {
    const auto refused = [&](const std::string& index, const std::string& expected) {
        WriteFile(src + "/index.tsv", index);
        const Outcome run = Pack("build " + Quote(src) + " " + Quote(out));
        EXPECT_NE(run.status, 0) << index;
        EXPECT_NE(run.err.find(expected), std::string::npos) << index << " -> " << run.err;
        EXPECT_FALSE(std::filesystem::exists(out)) << index;
    };
    WriteFile(src + "/texts/a.txt", "a\n");
    WriteFile(src + "/texts/A.TXT", "b\n");
    refused("a.txt\t2\tA (PC)\n", "index.tsv:1: MODE");
    refused("a.txt\t1\n", "index.tsv:1: expected");
    refused("# nothing\n", "lists no game");
    refused("a.txt\t1\tA (PC)\nA.TXT\t1\tB (PC)\n", "index.tsv:2:");
    refused("sub/a.txt\t1\tA (PC)\n", "index.tsv:1:");
    refused("a*.txt\t1\tA (PC)\n", "index.tsv:1:");
    refused("Games.txt\t1\tA (PC)\n", "taken by the index");
    refused("a\t1\tA (PC)\n", "extension");
    refused("missing.txt\t1\tA (PC)\n", "missing.txt: cannot open: No such file or directory");
    refused("a.txt\t1\tA ✓ (PC)\n", "index.tsv:1: character U+2713");
    // Titles are lines of games.txt: no line breaks, zero bytes or other controls.
    refused("a.txt\t1\tA (PC)\n\nb.txt\t1\tB\rC (PC)\n",
            "index.tsv:3: the title holds the control character U+000D");
    refused(std::string("a.txt\t1\tA\0 (PC)\n", 16),
            "index.tsv:1: the title holds the control character U+0000");
    refused("a.txt\t1\tA\tB (PC)\n", "U+0009");
    refused("a.txt\t1\tA\x1B[1m (PC)\n", "U+001B");
    refused("a.txt\t1\tA (PC)\x7F\n", "U+007F");
}

TEST_F(Hkpack, CatExitCodesFollowTheFetch) {
    WriteSources();
    ASSERT_EQ(Pack("build " + Quote(src) + " " + Quote(out)).status, 0);
    EXPECT_EQ(Pack("cat " + Quote(out) + " online.txt").status, 0);

    const Outcome none = Pack("cat " + Quote(out) + " quake.txt");
    EXPECT_EQ(none.status, 1);
    EXPECT_TRUE(none.out.empty());
    EXPECT_NE(none.err.find('0'), std::string::npos);

    const Outcome many = Pack("cat " + Quote(out) + " '*.txt'");
    EXPECT_EQ(many.status, 1);
    EXPECT_NE(many.err.find('6'), std::string::npos) << many.err;

    // Each build draws its encryption headers at random, and a wrong password passes
    // the one-byte check of a header about once in 256 tries: take one that Info-ZIP's
    // unzip refuses too (its status 82) for this member.
    std::string wrong = "wrong";
    for (int i = 0; !std::string(UNZIP_PROGRAM).empty() && i < 16; ++i) {
        const std::string test = Quote(UNZIP_PROGRAM) + " -tqq -P " + wrong + " " + Quote(out);
        if (Shell(test + " games.txt", dir).status == 82) break;
        wrong = "wrong" + std::to_string(i);
    }
    EXPECT_EQ(Pack("cat " + Quote(out) + " games.txt --password " + wrong).status, 1);
    EXPECT_EQ(Pack("cat " + Quote(out) + " games.txt --password " + wrong + " --password " +
                   Quote("Mossgate r7.42 kQ"))
                  .status,
              0);

    const Outcome missing = Pack("cat " + Quote(dir / "none.dat") + " games.txt");
    EXPECT_EQ(missing.status, 2);
    EXPECT_FALSE(missing.err.empty());
}

TEST_F(Hkpack, InfoZipUnzipExtractsWhatWeBuiltByteForByte) {
    if (std::string(UNZIP_PROGRAM).empty()) GTEST_SKIP() << "Info-ZIP unzip is not installed";
    WriteSources();
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"games.txt", *Utf8ToCp1251("Doom (PC)\r\nКвест онлайн (PC)\r\nDoom again (PC)\r\n")},
        {"doom_pc.txt", *Utf8ToCp1251("Коды:\r\nIDDQD\tбессмертие\r\nIDKFA\tвсё\r\n")},
        {"online.txt", *Utf8ToCp1251("***Номер:7731\r\n")},
    };
    for (const std::string options : {"", "--store ", "--no-encrypt "}) {
        ASSERT_EQ(Pack("build " + options + Quote(src) + " " + Quote(out)).status, 0);
        for (const auto& [member, bytes] : expected) {
            const Outcome peer =
                Shell(Quote(UNZIP_PROGRAM) + " -p -P " + Quote("Mossgate r7.42 kQ") + " " +
                          Quote(out) + " " + member,
                      dir);
            EXPECT_EQ(peer.status, 0) << options << member << ": " << peer.err;
            EXPECT_EQ(peer.out, bytes) << options << member;
        }
        const Outcome test = Shell(
            Quote(UNZIP_PROGRAM) + " -t -P " + Quote("Mossgate r7.42 kQ") + " " + Quote(out), dir);
        EXPECT_EQ(test.status, 0) << test.out;
    }
}

TEST_F(Hkpack, SynthIsDeterministicAndPassesCheck) {
    const std::string second = dir / "second.dat";
    ASSERT_EQ(Pack("synth 120 " + Quote(out)).status, 0);
    ASSERT_EQ(Pack("synth 120 " + Quote(second)).status, 0);
    EXPECT_EQ(ReadFile(out), ReadFile(second));
    const Outcome check = Pack("check " + Quote(out));
    EXPECT_EQ(check.status, 0) << check.err;
    EXPECT_NE(check.out.find("games: 120"), std::string::npos) << check.out;
    EXPECT_NE(Pack("synth 0 " + Quote(out)).status, 0);
    EXPECT_NE(Pack("synth 70000 " + Quote(out)).status, 0);
}

}  // namespace
