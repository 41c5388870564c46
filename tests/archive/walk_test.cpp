// How a run finds its members: which walk lists them, where a walk over the
// local headers ends, and which entries can match a name at all.
#include <map>

#include "archive_test_support.h"

namespace hk::archive::test {
namespace {

// Error codes and CRC verdicts of one run, by member name.
struct Verdicts {
    std::vector<int> codes;
    std::map<std::string, bool> passed;
    void watch(TUnZip& zip) {
        zip.OnError = [this](const std::string&, const std::string&, const std::string&, int code) {
            codes.push_back(code);
        };
        zip.OnEnd = [this](const std::string& fn, bool pass) { passed[fn] = pass; };
    }
};

// ---------------------------------------------------------------------------
// Archives made by Info-ZIP zip and Python's zipfile

class ToolArchives : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!haveTool("zip")) GTEST_SKIP() << "Info-ZIP zip is not installed";
        for (int i = 0; i < 3000; ++i) big += "IDKFA level " + std::to_string(i) + "\r\n";
        writeText(dir / "games.txt", "Doom\r\nQuake\r\n");
        writeText(dir / "big.txt", big);
        fs::create_directories(dir / "sub");
        writeText(dir / "sub" / "games.txt", "inside a folder\r\n");
    }
    Extracted run(const std::string& archive, const std::string& pattern,
                  const std::vector<std::string>& passwords = {}) {
        TUnZip zip;
        zip.SetArchiveFile((dir / archive).string());
        return extract(zip, pattern, passwords);
    }
    ScratchDir dir;
    std::string big;
};

TEST_F(ToolArchives, EncryptedMembersBehindACommentAreAllFound) {
    // zip -P follows every member with a data descriptor; the comment hides
    // the end record from the default search.
    ASSERT_TRUE(
        dir.run("zip -q -P pw db.zip games.txt big.txt sub/games.txt"
                " && echo 'our database' | zip -q -z db.zip"));
    TUnZip zip;
    zip.SetArchiveFile((dir / "db.zip").string());
    EXPECT_EQ(zip.EndRecordFlags(), 16);
    Verdicts v;
    v.watch(zip);
    Extracted e = extract(zip, "*.*", {"pw"});
    ASSERT_EQ(e.count, 3);
    EXPECT_EQ(e.names(), (std::vector<std::string>{"games.txt", "big.txt", "sub\\games.txt"}));
    EXPECT_EQ(e.member(1), big);
    EXPECT_EQ(e.member(2), "inside a folder\r\n");
    EXPECT_TRUE(v.codes.empty());
    for (const auto& [name, pass] : v.passed) EXPECT_TRUE(pass) << name;
    EXPECT_EQ(extract(zip, "GAMES.TXT", {"pw"}).count, 2);
}

TEST_F(ToolArchives, FolderEntriesMatchNoName) {
    ASSERT_TRUE(
        dir.run("zip -q -r tree.zip games.txt sub && cp tree.zip noted.zip"
                " && echo note | zip -q -z noted.zip"));
    // Folder entries without the folder attribute, as Go, Python and macOS
    // tools write them, with either separator.
    if (haveTool("python3")) {
        ASSERT_TRUE(
            dir.run("python3 -c \"import zipfile\n"
                    "for name, note in (('py.zip', b''), ('pynoted.zip', b'note')):\n"
                    "    z = zipfile.ZipFile(name, 'w')\n"
                    "    z.writestr(zipfile.ZipInfo('sub/'), b'')\n"
                    "    z.writestr(zipfile.ZipInfo('win\\\\\\\\'), b'')\n"
                    "    z.writestr(zipfile.ZipInfo('sub/games.txt'), b'inside a folder\\r\\n')\n"
                    "    z.comment = note\n"
                    "    z.close()\""));
    }
    for (const char* archive : {"tree.zip", "noted.zip", "py.zip", "pynoted.zip"}) {
        if (!fs::exists(dir / archive)) continue;
        SCOPED_TRACE(archive);
        EXPECT_EQ(run(archive, "nothing.txt").count, 0);
        const Extracted all = run(archive, "*.*");
        const std::vector<std::string> files =
            std::string(archive).starts_with("py")
                ? std::vector<std::string>{"sub\\games.txt"}
                : std::vector<std::string>{"games.txt", "sub\\games.txt"};
        EXPECT_EQ(all.names(), files);
        EXPECT_EQ(all.count, static_cast<int>(all.names().size()));
        const Extracted e = run(archive, "games.txt");
        EXPECT_EQ(e.count, std::string(archive).starts_with("py") ? 1 : 2);
        EXPECT_EQ(e.member(e.count - 1), "inside a folder\r\n");
    }
}

// ---------------------------------------------------------------------------
// Hand-made archives

TEST(HandMadeWalks, TwinWalkTakesNoCompressedSizeFromTheDirectory) {
    ScratchDir dir;
    // A member streamed with a data descriptor: its local header knows no sizes.
    RawMember streamed = storedMember("b.txt", "streamed text");
    streamed.flags = 8;
    streamed.zeroLocalSizes = true;
    for (const bool twin : {false, true}) {
        SCOPED_TRACE(twin ? "twin walk" : "ordinary walk");
        RawMember first = storedMember("a.txt", "first");
        // Bit 6 of the first directory entry chooses the walk.
        if (twin) first.flags = 0x40;
        writeFile(dir / "a.zip", buildZip({first, streamed}));
        TUnZip zip;
        zip.SetArchiveFile((dir / "a.zip").string());
        Verdicts v;
        v.watch(zip);
        Extracted e = extract(zip, "*.*");
        ASSERT_EQ(e.count, 2);
        EXPECT_EQ(e.member(0), "first");
        EXPECT_EQ(e.member(1), twin ? "" : "streamed text");
        EXPECT_EQ(v.passed["b.txt"], !twin);
        EXPECT_EQ(v.codes, twin ? std::vector<int>{25111} : std::vector<int>{});
    }
}

TEST(HandMadeWalks, DataDescriptorMemberEndsAWalkThatFindsNoDirectory) {
    ScratchDir dir;
    RawMember streamed = storedMember("b.txt", "streamed text");
    streamed.flags = 8;
    streamed.zeroLocalSizes = true;
    std::vector<uint32_t> offsets;
    std::vector<uint8_t> bytes = buildZip(
        {storedMember("a.txt", "before"), streamed, storedMember("c.txt", "after")}, "", &offsets);
    // Local headers only: the directory and the end record are gone.
    const size_t directory = bytes.size() - 22 - (3 * 46 + 3 * 5);
    bytes.resize(directory);
    writeFile(dir / "a.zip", bytes);
    TUnZip zip;
    zip.SetArchiveFile((dir / "a.zip").string());
    EXPECT_EQ(zip.EndRecordFlags(), 16);
    Verdicts v;
    v.watch(zip);
    Extracted e = extract(zip, "*.*");
    // The streamed member is listed, but nothing after it; with no size it
    // cannot be read, and must not come out as an empty success.
    EXPECT_EQ(e.names(), (std::vector<std::string>{"a.txt", "b.txt"}));
    EXPECT_EQ(e.member(0), "before");
    EXPECT_EQ(e.member(1), "");
    EXPECT_FALSE(v.passed["b.txt"]);
    EXPECT_EQ(v.codes, std::vector<int>{25111});
}

// The walk over local headers hands over to the directory behind the comment
// at the first streamed member, wherever it stands: every member once.
TEST(HandMadeWalks, StreamedSecondMemberBehindACommentListsEveryMemberOnce) {
    ScratchDir dir;
    RawMember streamed = storedMember("b.txt", "streamed text");
    streamed.flags = 8;
    streamed.zeroLocalSizes = true;
    writeFile(dir / "a.zip",
              buildZip({storedMember("a.txt", "first"), streamed, storedMember("c.txt", "third")},
                       "our database"));
    TUnZip zip;
    zip.SetArchiveFile((dir / "a.zip").string());
    EXPECT_EQ(zip.EndRecordFlags(), 16);
    Verdicts v;
    v.watch(zip);
    Extracted e = extract(zip, "*.*");
    ASSERT_EQ(e.count, 3);
    EXPECT_EQ(e.names(), (std::vector<std::string>{"a.txt", "b.txt", "c.txt"}));
    EXPECT_EQ(e.member(1), "streamed text");
    EXPECT_EQ(e.member(2), "third");
    EXPECT_TRUE(v.codes.empty());
}

TEST(HandMadeWalks, SpanningMarkerBeforeTheFirstHeaderIsSkipped) {
    ScratchDir dir;
    std::vector<uint8_t> bytes = {'P', 'K', 7, 8};
    const std::vector<uint8_t> zip =
        buildZip({storedMember("a.txt", "one"), storedMember("b.txt", "two")}, "note");
    bytes.insert(bytes.end(), zip.begin(), zip.end());
    writeFile(dir / "a.zip", bytes);
    TUnZip reader;
    reader.SetArchiveFile((dir / "a.zip").string());
    EXPECT_EQ(reader.ArcType(), TArcType::atZip);
    Extracted e = extract(reader, "*.*");
    ASSERT_EQ(e.count, 2);
    EXPECT_EQ(e.member(1), "two");
}

TEST(HandMadeWalks, Zip64SizesNeverDeliverTheRestOfTheArchive) {
    ScratchDir dir;
    RawMember huge = storedMember("a.txt", "member data");
    huge.zip64Sizes = true;
    for (const std::string comment : {"", "note"}) {
        SCOPED_TRACE(comment.empty() ? "central walk" : "local walk");
        writeFile(dir / "a.zip", buildZip({huge, storedMember("b.txt", "next")}, comment));
        TUnZip zip;
        zip.SetArchiveFile((dir / "a.zip").string());
        Verdicts v;
        v.watch(zip);
        Extracted e = extract(zip, "*.*");
        ASSERT_EQ(e.count, 2);
        EXPECT_EQ(e.member(0), "");
        EXPECT_FALSE(v.passed["a.txt"]);
        EXPECT_EQ(v.codes, std::vector<int>{25111});
        EXPECT_EQ(e.member(1), "next");
    }
}

}  // namespace
}  // namespace hk::archive::test
