// Hostile database archives fed through the program's own fetch path: every
// damaged member must come out counted with its damage contained, every
// damaged directory must end the fetch, and nothing may grow without bound.
#include <gtest/gtest.h>

#include <cstdlib>

#include "archive/member_output.h"
#include "database/DatabaseSession.h"
#include "database/database_constants.h"
#include "hostile_zip.h"

namespace hk::hardening {
namespace {

using hk::archive::kMemberCeiling;
using hk::database::DatabaseSession;

const std::vector<std::vector<std::string>> kOneGame = {{"g.txt", "1", "Doom (PC)"}};

class HostileArchive : public ::testing::Test {
  protected:
    Folder dir;
    DatabaseSession session{dir.programFolder()};

    void Write(const std::vector<uint8_t>& bytes) { WriteBytes(dir / "hintkeeper.dat", bytes); }
    // A loadable index plus `extra` members.
    void WriteDatabase(std::vector<Member> extra) {
        std::vector<Member> members = IndexMembers(kOneGame);
        for (Member& m : extra) members.push_back(std::move(m));
        Write(Zip(members));
    }
    bool IndexLoads() {
        std::vector<std::string> titles;
        return session.LoadIndex(titles);
    }
};

TEST_F(HostileArchive, DeflateBombStopsAtTheMemberCeiling) {
    // 260 KiB of compressed zeros that expand past the ceiling.
    const std::vector<uint8_t> bomb = DeflateZeros(kMemberCeiling / 258 + 1000);
    ASSERT_LT(bomb.size(), 300u * 1024);
    WriteDatabase({Packed("g.txt", 8, bomb, 0xFFFFFFF0)});
    const auto r = session.FetchMember("g.txt");
    // Still one member: damaged data is delivered, not refused.
    ASSERT_TRUE(r.ok());
    EXPECT_LE(session.MemberText().size(), kMemberCeiling);
    EXPECT_GT(session.MemberText().size(), kMemberCeiling - 258);
    EXPECT_TRUE(r.lines.empty()) << "a zero byte ends the text";
    // The reader is fit for the next fetch.
    EXPECT_TRUE(IndexLoads());
}

TEST_F(HostileArchive, DirectoryEntriesSharingOneBombDoNotMultiplyIt) {
    // Three directory entries named like the index member, all pointing at
    // the same bomb: each is extracted, but the stream must stay bounded.
    std::vector<Member> members = IndexMembers(kOneGame);
    members.push_back(Packed("games.txt", 8, DeflateZeros(kMemberCeiling / 258 + 64), 1000));
    std::vector<Entry> entries;
    for (size_t i = 1; i < 4; ++i) entries.push_back({i, members[i].name});
    for (int i = 0; i < 3; ++i) entries.push_back({4, "games.txt"});
    Write(Zip(members, entries));
    const auto r = session.Extract("games.txt");
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.memberCount, 3);
    EXPECT_LE(session.ExtractionStream().Size(), 2 * kMemberCeiling);
    EXPECT_FALSE(IndexLoads());
    EXPECT_EQ(session.ErrorMessage(), hk::database::kDamagedMessage);
}

// Each legacy stream is damaged in the way its decoder must survive.
TEST_F(HostileArchive, DamagedLegacyMembersAreDeliveredWithTheirDamageContained) {
    struct Case {
        const char* what;
        Member member;
        size_t mostBytes;
    };
    std::vector<Case> cases;
    {
        // Shrink: after a partial clear a freed code becomes its own prefix.
        BitWriter w;
        w.put('A', 9), w.put('B', 9), w.put(257, 9), w.put(256, 9), w.put(2, 9);
        w.put('A', 9), w.put(257, 9);
        cases.push_back({"shrink stack overflow", Packed("g.txt", 1, w.bytes(), 100), 8192 + 16});
    }
    {
        BitWriter w;  // shrink: control code 256 with an unknown subcode
        w.put('A', 9), w.put(256, 9), w.put(7, 9), w.put('B', 9);
        cases.push_back({"shrink bad subcode", Packed("g.txt", 1, w.bytes(), 2), 1});
    }
    for (uint16_t method = 2; method <= 5; ++method) {
        BitWriter w;  // reduce: the first follower set claims 63 followers
        w.put(63, 6);
        for (int i = 0; i < 63; ++i) w.put('x', 8);
        cases.push_back({"follower set over 32", Packed("g.txt", method, w.bytes(), 500), 0});
    }
    {
        // Implode: 64 one-bit codes for a 64-symbol tree, far past its depth.
        std::vector<uint8_t> trees = {3, 0xF0, 0xF0, 0xF0, 0xF0, 3, 0xF0, 0xF0, 0xF0, 0xF0};
        trees.insert(trees.end(), 32, 0xFF);
        cases.push_back({"implode tree out of depth", Packed("g.txt", 6, trees, 400), 0});
        // Three trees, the literal one empty of lengths.
        cases.push_back({"implode truncated trees", Packed("g.txt", 6, {0}, 400, 4), 400});
    }
    cases.push_back({"deflate BTYPE 3", Packed("g.txt", 8, {0x07, 0x00}, 5), 0});
    cases.push_back({"deflate stored length check", Packed("g.txt", 8, {0x01, 5, 0, 5, 0}, 5), 0});
    {
        std::vector<uint8_t> half = DeflateZeros(100000);
        half.resize(half.size() / 2);
        cases.push_back(
            {"deflate cut short", Packed("g.txt", 8, half, 1 + 100000 * 258), 1 + 100000 * 258});
    }
    cases.push_back({"method 9", Packed("g.txt", 9, {1, 2, 3}, 3), 0});
    cases.push_back({"method 99", Packed("g.txt", 99, {1, 2, 3}, 3), 0});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteDatabase({c.member});
        const auto r = session.FetchMember("g.txt");
        ASSERT_TRUE(r.ok()) << r.raisedMessage;
        EXPECT_LE(session.MemberText().size(), c.mostBytes);
        EXPECT_TRUE(IndexLoads());
    }
}

TEST_F(HostileArchive, BrokenDirectoriesFallBackOrFail) {
    const std::vector<uint8_t> good = Zip(IndexMembers(kOneGame));
    const size_t end = good.size() - 22;
    auto patch32 = [](std::vector<uint8_t> v, size_t at, uint32_t x) {
        for (int i = 0; i < 4; ++i) v[at + i] = static_cast<uint8_t>(x >> (8 * i));
        return v;
    };
    const uint32_t directory = static_cast<uint32_t>(end) - (4 * 46 + 9 + 9 + 11 + 11);
    // A directory that cannot be found sends the reader to the local headers,
    // which are intact here: the index still loads.
    for (const auto& [what, bytes] : std::vector<std::pair<const char*, std::vector<uint8_t>>>{
             {"directory offset past the end", patch32(good, end + 16, 0x7FFFFFF0)},
             {"directory offset at the end record", patch32(good, end + 16, uint32_t(end))},
             {"directory offset near the end", patch32(good, end + 16, uint32_t(good.size() - 1))},
             {"directory size lies", patch32(good, end + 12, 0xFFFFFFFF)}}) {
        SCOPED_TRACE(what);
        Write(bytes);
        EXPECT_TRUE(IndexLoads());
    }
    // An entry whose local header is not where it points is dropped; with
    // "games.txt" gone the load fails.
    for (const auto& [what, bytes] : std::vector<std::pair<const char*, std::vector<uint8_t>>>{
             {"local offset into the directory", patch32(good, directory + 42, directory)},
             {"local offset past the end", patch32(good, directory + 42, 0xFFFFFFFF)},
             {"local offset at the end record", patch32(good, directory + 42, uint32_t(end))}}) {
        SCOPED_TRACE(what);
        Write(bytes);
        EXPECT_FALSE(IndexLoads());
        EXPECT_EQ(session.ErrorMessage(), hk::database::kDamagedMessage);
        EXPECT_EQ(session.ExtractionStream().MemberCount(), 1);  // version.txt
    }
}

TEST_F(HostileArchive, LocalHeaderWalksEnd) {
    // A comment hides the end record, so the local headers are walked.
    // 30 + name + size wraps to the header's own offset in 32 bits.
    std::vector<Member> members = IndexMembers(kOneGame);
    Member loop = Stored("loop.txt", "");
    members.insert(members.begin(), loop);
    std::vector<uint8_t> bytes = Zip(members, {}, "comment");
    const uint32_t wrap = 0u - (30 + 8);
    for (int i = 0; i < 4; ++i) bytes[18 + i] = static_cast<uint8_t>(wrap >> (8 * i));
    Write(bytes);
    EXPECT_FALSE(IndexLoads());  // the walk ends at the lying header, before games.txt

    // Ten thousand empty headers in a row: the walk visits each once.
    std::vector<Member> many;
    for (int i = 0; i < 10000; ++i) many.push_back(Stored("games.txt", ""));
    Write(Zip(many, {{0, "x"}}, "comment"));
    const auto r = session.Extract("games.txt");
    EXPECT_EQ(r.memberCount, 10000);
    EXPECT_EQ(session.ExtractionStream().Size(), 0u);
}

TEST_F(HostileArchive, OverlongNamesAreCutNotOverrun) {
    const std::string longName = std::string(296, 'n') + ".txt";
    std::vector<Member> members = IndexMembers({{longName, "0", "Long (PC)"}});
    members.push_back(Stored(longName, "text\r\n"));
    for (const std::string comment : {"", "c"}) {
        SCOPED_TRACE(comment.empty() ? "central walk" : "local walk");
        Write(Zip(members, {}, comment));
        ASSERT_TRUE(IndexLoads());
        // The 300-byte name in "files.txt" cannot match a name cut to 255 bytes.
        EXPECT_FALSE(session.FetchMember(session.MemberNames().at(0)).ok());
        const auto cut = session.FetchMember(longName.substr(0, 255));
        ASSERT_TRUE(cut.ok());
        EXPECT_EQ(cut.lines, std::vector<std::string>{"text"});
    }
}

TEST_F(HostileArchive, ArchiveChangingBetweenFetchesIsReadAsItIsNow) {
    WriteDatabase({Stored("g.txt", "first\r\n")});
    ASSERT_TRUE(IndexLoads());
    // Grows: a new member appears and the old one changes.
    WriteDatabase({Stored("g.txt", "second\r\n"), Stored("h.txt", std::string(100000, 'h'))});
    EXPECT_EQ(session.FetchMember("g.txt").lines, std::vector<std::string>{"second"});
    EXPECT_TRUE(session.FetchMember("h.txt").ok());
    // Shrinks to nothing, then to a stub, then disappears, then becomes a folder.
    Write({});
    EXPECT_FALSE(session.FetchMember("g.txt").ok());
    EXPECT_EQ(session.ErrorMessage(), hk::database::kDamagedMessage);
    Write({'P', 'K', 5, 6});
    EXPECT_FALSE(session.FetchMember("g.txt").ok());
    fs::remove(dir / "hintkeeper.dat");
    EXPECT_TRUE(session.FetchMember("g.txt").raised);
    EXPECT_EQ(session.ErrorMessage(), hk::database::kMissingMessage);
    fs::create_directory(dir / "hintkeeper.dat");
    EXPECT_FALSE(session.FetchMember("g.txt").ok());
    EXPECT_EQ(session.ErrorMessage(), hk::database::kMissingMessage);
    fs::remove(dir / "hintkeeper.dat");
    // And comes back.
    WriteDatabase({Stored("g.txt", "third\r\n")});
    EXPECT_TRUE(IndexLoads());
    EXPECT_EQ(session.FetchMember("g.txt").lines, std::vector<std::string>{"third"});
}

// A named pipe where the archive should be has no end: opening it must not
// wait for a writer that never comes.
TEST(SpecialFiles, PipeWhereTheArchiveShouldBeFailsAtOnce) {
    Folder dir;
    PipeWatchdog pipe(dir / "hintkeeper.dat");
    DatabaseSession session(dir.programFolder());
    std::vector<std::string> titles;
    EXPECT_FALSE(session.LoadIndex(titles));
    EXPECT_FALSE(pipe.Released()) << "the fetch waited on the pipe";
    EXPECT_EQ(session.ErrorMessage(), hk::database::kDamagedMessage);
}

// Info-ZIP's zip uses every byte of a long password; so must we.
TEST(LongPasswords, EveryByteOfA300BytePasswordCounts) {
    if (std::system("command -v zip >/dev/null 2>&1") != 0) GTEST_SKIP() << "zip is not installed";
    Folder dir;
    std::string password;
    for (int i = 0; i < 300; ++i) password += static_cast<char>('a' + (i * 7) % 26);
    { std::ofstream(dir / "g.txt", std::ios::binary) << "IDDQD\r\n"; }
    const std::string command = "cd '" + dir.path().string() + "' && zip -q -P '" + password +
                                "' hintkeeper.dat g.txt >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    DatabaseSession session = DatabaseSession::ForArchive((dir / "hintkeeper.dat").string());

    session.SetFetchPasswords({password});
    const auto full = session.FetchMember("g.txt");
    ASSERT_TRUE(full.ok());
    EXPECT_EQ(full.lines, std::vector<std::string>{"IDDQD"});

    // The first 255 bytes alone are another password: refused, or (one time
    // in 256, by the check byte) decoded into something else.
    session.SetFetchPasswords({password.substr(0, 255)});
    const auto cut = session.FetchMember("g.txt");
    if (cut.ok()) {
        EXPECT_NE(cut.lines, std::vector<std::string>{"IDDQD"});
    }
    session.SetFetchPasswords({password + "x"});
    const auto longer = session.FetchMember("g.txt");
    if (longer.ok()) {
        EXPECT_NE(longer.lines, std::vector<std::string>{"IDDQD"});
    }
}

}  // namespace
}  // namespace hk::hardening
