#include "database/DatabaseSession.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "database/database_constants.h"
#include "test_support.h"

namespace hk::database {
namespace {

using hk::testing::TempDir;
using hk::testing::TestMember;
using hk::testing::WriteZip;
using Lines = std::vector<std::string>;

// The index of a one-game database, to be adjusted by each test.
std::vector<TestMember> OneGame(bool deflate = true, bool encrypt = true) {
    return {
        {"games.txt", "Doom (PC)\r\n", deflate, encrypt},
        {"files.txt", "doom.txt\r\n", deflate, encrypt},
        {"pitches.txt", "1\r\n", deflate, encrypt},
        {"version.txt", "Hintkeeper v1.30\r\n", deflate, encrypt},
        {"doom.txt", "IDDQD\tgod mode\r\nIDKFA\tall keys\r\n", deflate, encrypt},
    };
}

void Replace(std::vector<TestMember>& members, const std::string& name, const std::string& data) {
    for (TestMember& m : members) {
        if (m.name == name) m.data = data;
    }
}

void Remove(std::vector<TestMember>& members, const std::string& name) {
    std::erase_if(members, [&](const TestMember& m) { return m.name == name; });
}

class IndexLoad : public ::testing::Test {
  protected:
    TempDir dir;
    DatabaseSession session{dir.path().string() + "/"};
    Lines titles;

    bool Load(const std::vector<TestMember>& members) {
        WriteZip(dir / "hintkeeper.dat", members);
        return session.LoadIndex(titles);
    }
};

struct Packing {
    bool deflate;
    bool encrypt;
};
class SmallestDatabase : public IndexLoad, public ::testing::WithParamInterface<Packing> {};

TEST_P(SmallestDatabase, LoadsAndShowsItsOneGame) {
    ASSERT_TRUE(Load(OneGame(GetParam().deflate, GetParam().encrypt)));
    EXPECT_EQ(titles, Lines{"Doom (PC)"});
    EXPECT_EQ(session.MemberNames(), Lines{"doom.txt"});
    EXPECT_EQ(session.DisplayModes(), Lines{"1"});
    EXPECT_TRUE(session.IsFixedPitch(0));

    const FetchResult text = session.FetchMember(session.MemberNames()[0]);
    ASSERT_TRUE(text.ok());
    EXPECT_EQ(text.lines, (Lines{"IDDQD\tgod mode", "IDKFA\tall keys"}));
    EXPECT_EQ(session.MemberText().size(), 32u);
}

INSTANTIATE_TEST_SUITE_P(StoredOrDeflatedEncryptedOrNot, SmallestDatabase,
                         ::testing::Values(Packing{false, false}, Packing{false, true},
                                           Packing{true, false}, Packing{true, true}));

TEST_F(IndexLoad, VersionLineMustBeTheReleaseTagExactly) {
    auto members = OneGame();
    Replace(members, "version.txt", "Hintkeeper v1.31\r\n");
    EXPECT_FALSE(Load(members));
    Replace(members, "version.txt", "Hintkeeper v1.30  \r\n");
    EXPECT_FALSE(Load(members));
    Replace(members, "version.txt", "hintkeeper v1.30\r\n");
    EXPECT_FALSE(Load(members));
    Replace(members, "version.txt", "Hintkeeper v1.30\r\nanything after the tag\r\n");
    EXPECT_TRUE(Load(members));
    Replace(members, "version.txt", "Hintkeeper v1.30");
    EXPECT_TRUE(Load(members));
}

TEST_F(IndexLoad, MissingPitchesFailsButTheOtherMembersAreStillRead) {
    auto members = OneGame();
    Remove(members, "pitches.txt");
    EXPECT_FALSE(Load(members));
    EXPECT_EQ(titles, Lines{"Doom (PC)"});
    EXPECT_EQ(session.MemberNames(), Lines{"doom.txt"});
    EXPECT_EQ(session.Versions(), Lines{"Hintkeeper v1.30"});
    EXPECT_TRUE(session.DisplayModes().empty());
    EXPECT_EQ(session.ErrorMessage(), kDamagedMessage);
}

TEST_F(IndexLoad, FailedFetchKeepsTheListsOfTheLastLoad) {
    auto members = OneGame();
    ASSERT_TRUE(Load(members));
    Remove(members, "games.txt");
    Replace(members, "files.txt", "other.txt\r\n");
    EXPECT_FALSE(Load(members));
    EXPECT_EQ(titles, Lines{"Doom (PC)"});
    EXPECT_EQ(session.MemberNames(), Lines{"other.txt"});
}

TEST_F(IndexLoad, LfOnlyTextsLoadLikeCrLf) {
    std::vector<TestMember> members = {
        {"games.txt", "A (PC)\nB (PC)\n"},
        {"files.txt", "a.txt\nb.txt\n"},
        {"pitches.txt", "0\n1\n"},
        {"version.txt", "Hintkeeper v1.30\n"},
        {"a.txt", "x\n"},
        {"b.txt", "y\n"},
    };
    ASSERT_TRUE(Load(members));
    EXPECT_EQ(titles, (Lines{"A (PC)", "B (PC)"}));
    EXPECT_EQ(session.MemberNames(), (Lines{"a.txt", "b.txt"}));
    EXPECT_FALSE(session.IsFixedPitch(0));
    EXPECT_TRUE(session.IsFixedPitch(1));
    EXPECT_FALSE(session.IsFixedPitch(2));
}

TEST_F(IndexLoad, IndexMemberMatchedTwiceFails) {
    auto members = OneGame();
    members.push_back({"old/games.txt", "Old (PC)\r\n"});
    EXPECT_FALSE(Load(members));
}

TEST_F(IndexLoad, IndexMemberNamesIgnoreLetterCase) {
    auto members = OneGame();
    members[0].name = "GAMES.TXT";
    EXPECT_TRUE(Load(members));
    EXPECT_EQ(titles, Lines{"Doom (PC)"});
}

TEST_F(IndexLoad, MemberUnderAnotherPasswordIsNotThere) {
    auto members = OneGame();
    members[1].password = "another password";
    EXPECT_FALSE(Load(members));
}

// Databases whose lists cannot be read in parallel are refused rather than
// leaving the viewer to read past a list's end.
TEST_F(IndexLoad, ListsThatCannotServeEveryGameFail) {
    auto members = OneGame();
    Replace(members, "games.txt", "Doom (PC)\r\nHeretic (PC)\r\n");
    EXPECT_FALSE(Load(members)) << "files.txt and pitches.txt are one line short";
    Replace(members, "files.txt", "doom.txt\r\ndoom.txt\r\n");
    EXPECT_FALSE(Load(members)) << "pitches.txt is one line short";
    Replace(members, "pitches.txt", "1\r\n\r\n");
    EXPECT_TRUE(Load(members)) << "an empty mode line is the proportional mode";
    Replace(members, "games.txt", "");
    EXPECT_FALSE(Load(members)) << "no game to select";
    Replace(members, "games.txt", "Doom (PC)\r\n");
    Replace(members, "version.txt", "");
    EXPECT_FALSE(Load(members)) << "no version line";
}

TEST_F(IndexLoad, ErrorMessageTellsAMissingFileFromADamagedOne) {
    EXPECT_FALSE(session.LoadIndex(titles));
    EXPECT_EQ(session.ErrorMessage(), kMissingMessage);

    std::filesystem::create_directory(dir / "hintkeeper.dat");
    EXPECT_FALSE(session.LoadIndex(titles));
    EXPECT_EQ(session.ErrorMessage(), kMissingMessage) << "a folder is not the archive";
    std::filesystem::remove(dir / "hintkeeper.dat");

    hk::testing::WriteFile(dir / "hintkeeper.dat", "");
    EXPECT_FALSE(session.LoadIndex(titles));
    EXPECT_EQ(session.ErrorMessage(), kDamagedMessage);

    hk::testing::WriteFile(dir / "hintkeeper.dat", std::string(200, 'x'));
    EXPECT_FALSE(session.LoadIndex(titles));
    EXPECT_EQ(session.ErrorMessage(), kDamagedMessage);

    // Cut inside the first member: the directory and the later members are gone.
    std::string damaged = hk::testing::ZipBytes(OneGame());
    damaged.resize(45);
    hk::testing::WriteFile(dir / "hintkeeper.dat", damaged);
    EXPECT_FALSE(session.LoadIndex(titles));
    EXPECT_EQ(session.ErrorMessage(), kDamagedMessage);
}

class MemberFetch : public IndexLoad {};

TEST_F(MemberFetch, SucceedsOnlyForExactlyOneMember) {
    WriteZip(dir / "hintkeeper.dat", OneGame());
    EXPECT_EQ(session.FetchMember("doom.txt").memberCount, 1);
    const FetchResult none = session.FetchMember("quake.txt");
    EXPECT_FALSE(none.ok());
    EXPECT_FALSE(none.raised);
    EXPECT_EQ(none.memberCount, 0);
    const FetchResult many = session.FetchMember("*.txt");
    EXPECT_FALSE(many.ok());
    EXPECT_EQ(many.memberCount, 5);
    EXPECT_TRUE(many.lines.empty());
}

TEST_F(MemberFetch, MissingArchiveRaisesAndIsCaught) {
    const FetchResult result = session.FetchMember("games.txt");
    EXPECT_TRUE(result.raised);
    EXPECT_FALSE(result.raisedMessage.empty());
    EXPECT_FALSE(result.ok());
}

TEST_F(MemberFetch, ArchiveIsReadAfreshEveryTime) {
    auto members = OneGame();
    WriteZip(dir / "hintkeeper.dat", members);
    ASSERT_EQ(session.FetchMember("doom.txt").lines.size(), 2u);
    Replace(members, "doom.txt", "replaced");
    WriteZip(dir / "hintkeeper.dat", members);
    EXPECT_EQ(session.FetchMember("doom.txt").lines, Lines{"replaced"});
}

TEST_F(MemberFetch, ToolsMayFetchWithOtherPasswords) {
    auto members = OneGame();
    members[4].password = "secret";
    WriteZip(dir / "hintkeeper.dat", members);
    EXPECT_EQ(session.FetchMember("doom.txt").memberCount, 0);
    session.SetFetchPasswords({"wrong", "secret"});
    EXPECT_TRUE(session.FetchMember("doom.txt").ok());
}

TEST(DatabaseSessionPaths, ArchiveLivesInTheProgramFolder) {
    DatabaseSession session("/opt/hintkeeper/");
    EXPECT_EQ(session.ArchivePath(), "/opt/hintkeeper/hintkeeper.dat");
    DatabaseSession tool = DatabaseSession::ForArchive("/tmp/x/test.dat");
    EXPECT_EQ(tool.ArchivePath(), "/tmp/x/test.dat");
    EXPECT_EQ(tool.ProgramFolder(), "/tmp/x/");
}

}  // namespace
}  // namespace hk::database
