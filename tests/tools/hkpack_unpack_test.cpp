// hkpack unpack: a database back to sources that build the same members, and
// a refusal naming the member whenever the sources could not hold it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "archive/directory_listing.h"
#include "database/DatabaseSession.h"
#include "hkpack_fixture.h"

namespace {

namespace fs = std::filesystem;

using hk::testing::Hkpack;
using hk::testing::Outcome;
using hk::testing::Quote;
using hk::testing::ReadFile;
using hk::testing::TestMember;
using hk::testing::WriteFile;
using hk::testing::WriteZip;

std::vector<std::string> MemberNames(const std::string& archive) {
    std::vector<std::string> names;
    for (const auto& m : hk::archive::ListCentralDirectory(archive)) names.push_back(m.name);
    std::sort(names.begin(), names.end());
    return names;
}

std::string Extracted(const std::string& archive, const std::string& member) {
    auto session = hk::database::DatabaseSession::ForArchive(archive);
    EXPECT_TRUE(session.Extract(member).ok()) << archive << ": " << member;
    const auto& bytes = session.ExtractionStream().Bytes();
    return std::string(bytes.begin(), bytes.end());
}

class HkpackUnpack : public Hkpack {
  protected:
    std::string unpacked = dir / "unpacked";

    size_t EntriesInDir() const {
        return static_cast<size_t>(std::distance(fs::directory_iterator(dir.path()), {}));
    }
};

TEST_F(HkpackUnpack, SampleDatabaseBuildsAgainMemberForMember) {
    ASSERT_EQ(Pack("build " + Quote(HK_SAMPLE_SOURCES) + " " + Quote(out)).status, 0);
    const Outcome run = Pack("unpack " + Quote(out) + " " + Quote(unpacked));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("written to " + unpacked), std::string::npos) << run.out;

    const std::string again = dir / "again.dat";
    const Outcome build = Pack("build " + Quote(unpacked) + " " + Quote(again));
    ASSERT_EQ(build.status, 0) << build.err;
    const std::vector<std::string> names = MemberNames(out);
    EXPECT_EQ(MemberNames(again), names);
    for (const std::string& name : names) {
        EXPECT_TRUE(Extracted(again, name) == Extracted(out, name)) << name;
    }
    // Sources a person can edit: UTF-8 titles, LF line ends.
    const std::string index = ReadFile(unpacked + "/index.tsv");
    EXPECT_NE(index.find("allods_pc.txt\t0\tАллоды: Печать тайны (PC)\n"), std::string::npos);
    EXPECT_EQ(ReadFile(unpacked + "/texts/allods_pc.txt").find('\r'), std::string::npos);
}

TEST_F(HkpackUnpack, MembersTheSourcesCannotHoldAreRefusedByName) {
    const TestMember version{"version.txt", "Hintkeeper v1.30\r\n"};
    const auto database = [&](const std::string& games, const std::string& pitches,
                              const TestMember& text) {
        return std::vector<TestMember>{{"games.txt", games},
                                       {"files.txt", "a.txt\r\n"},
                                       {"pitches.txt", pitches},
                                       version,
                                       text};
    };
    const auto refused = [&](std::vector<TestMember> members, const std::string& expected) {
        WriteZip(out, members);
        const Outcome run = Pack("unpack " + Quote(out) + " " + Quote(unpacked));
        EXPECT_EQ(run.status, 1) << expected;
        EXPECT_NE(run.err.find("hkpack: " + out + ": " + expected), std::string::npos) << run.err;
        EXPECT_FALSE(fs::exists(unpacked)) << expected;
        EXPECT_EQ(EntriesInDir(), 2u) << "only out.dat and the captured stderr: " << expected;
    };
    const TestMember good{"a.txt", "x\r\n"};
    refused(database("A (PC)\r\n", "1\r\n", {"a.txt", "one\ntwo\r\n"}),
            "a.txt: line 1: ends in a lone LF");
    refused(database("A (PC)\r\n", "1\r\n", {"a.txt", "one\r\ntwo\r"}),
            "a.txt: line 2: ends in a lone CR");
    refused(database("A (PC)\r\n", "1\r\n", {"a.txt", std::string("a\0b", 3)}),
            "a.txt: line 1: holds a zero byte");
    refused(database("A (PC)\r\n", "1\r\n", {"a.txt", "\r\n\x98"}),
            "a.txt: line 2: holds the byte 0x98");
    refused(database("A (PC)\r\n", "1\r\n", {"a.txt", "x", true, true, "other password"}),
            "a.txt: the database password does not open it");
    refused(database("A (PC)\r\n", "1\r\n", {"texts/a.txt", "x"}),
            "a.txt: stored as \"texts\\a.txt\"");
    refused(database("A (PC)\r\n", "2\r\n", good), "pitches.txt: line 1: the mode \"2\"");
    refused(database("A (PC)\r\nB (PC)\r\n", "1\r\n", good), "files.txt: has 1 line for 2 games");
    refused(database("A (PC)\n", "1\r\n", good),
            "games.txt: line 1: hkpack build would not write it back byte for byte");
    refused(database("A\tB (PC)\r\n", "1\r\n", good),
            "games.txt: line 1: the title holds the control character U+0009");
    std::vector<TestMember> extra = database("A (PC)\r\n", "1\r\n", good);
    extra.push_back({"readme.txt", "hello"});
    refused(extra, "readme.txt: not named in files.txt");
}

TEST_F(HkpackUnpack, AnExistingFolderIsFilledOnlyWhenEmpty) {
    WriteSources();
    ASSERT_EQ(Pack("build " + Quote(src) + " " + Quote(out)).status, 0);
    WriteFile(unpacked + "/mine.txt", "keep me");
    const Outcome full = Pack("unpack " + Quote(out) + " " + Quote(unpacked));
    EXPECT_EQ(full.status, 1);
    EXPECT_EQ(full.err, "hkpack: " + unpacked + ": exists and is not empty\n");
    EXPECT_EQ(ReadFile(unpacked + "/mine.txt"), "keep me");

    fs::remove(unpacked + "/mine.txt");
    const Outcome empty = Pack("unpack " + Quote(out) + " " + Quote(unpacked + "/"));
    EXPECT_EQ(empty.status, 0) << empty.err;
    EXPECT_EQ(ReadFile(unpacked + "/texts/online.txt"), "***Номер:7731\n");
}

}  // namespace
