// What setting ArchiveFile finds, and how a run treats files it cannot read.
#include "archive_test_support.h"

namespace hk::archive::test {
namespace {

std::vector<uint8_t> smallArchive(const std::string& comment = "") {
    return buildZip({storedMember("games.txt", "Doom\r\n"), storedMember("b.txt", "bee")}, comment);
}

uint32_t directoryOffset(const std::vector<uint8_t>& zip, size_t commentLength) {
    const uint8_t* end = zip.data() + zip.size() - commentLength - 22;
    return end[16] | end[17] << 8 | end[18] << 16 | static_cast<uint32_t>(end[19]) << 24;
}

struct Detected {
    TArcType type;
    int flags;
    uint32_t start;
};

Detected detect(const ScratchDir& dir, const std::vector<uint8_t>& bytes, int cmntBuf = -1) {
    writeFile(dir / "a.dat", bytes);
    TUnZip zip;
    if (cmntBuf >= 0) zip.SetZipCmntBufSize(cmntBuf);
    zip.SetArchiveFile((dir / "a.dat").string());
    return {zip.ArcType(), zip.EndRecordFlags(), zip.StartOffset()};
}

TEST(ArchiveType, EmptyCommentFindsTheCentralDirectory) {
    ScratchDir dir;
    const auto zip = smallArchive();
    const Detected d = detect(dir, zip);
    EXPECT_EQ(d.type, TArcType::atZip);
    EXPECT_EQ(d.flags, 1 | 8 | 16);
    EXPECT_EQ(d.start, directoryOffset(zip, 0));
}

TEST(ArchiveType, CommentHidesTheEndRecordFromTheDefaultSearch) {
    ScratchDir dir;
    for (size_t length : {1, 1500}) {
        const std::string comment(length, 'c');
        const Detected d = detect(dir, smallArchive(comment));
        EXPECT_EQ(d.type, TArcType::atZip);
        EXPECT_EQ(d.flags, 16);
        EXPECT_EQ(d.start, 0u);
        // Every member is still found, by walking the local headers.
        TUnZip zip;
        zip.SetArchiveFile((dir / "a.dat").string());
        EXPECT_EQ(extract(zip, "*.*").count, 2);
    }
    const Detected wide = detect(dir, smallArchive(std::string(1990, 'c')), 2000);
    EXPECT_EQ(wide.flags, 1 | 8 | 16);
    const Detected tooLong = detect(dir, smallArchive(std::string(2100, 'c')), 2000);
    EXPECT_EQ(tooLong.flags, 16);
}

TEST(ArchiveType, CommentBufferSizeIsClamped) {
    TUnZip zip;
    EXPECT_EQ(zip.ZipCmntBufSize(), 0);
    zip.SetZipCmntBufSize(5);
    EXPECT_EQ(zip.ZipCmntBufSize(), 2000);
    zip.SetZipCmntBufSize(5000);
    EXPECT_EQ(zip.ZipCmntBufSize(), 5000);
    zip.SetZipCmntBufSize(100000);
    EXPECT_EQ(zip.ZipCmntBufSize(), 32767);
}

TEST(ArchiveType, LeadingZerosAreSkippedWhenTheEndIsHidden) {
    ScratchDir dir;
    auto zip = smallArchive("comment");
    zip.insert(zip.begin(), 37, 0);
    const Detected d = detect(dir, zip);
    EXPECT_EQ(d.type, TArcType::atZip);
    EXPECT_EQ(d.flags, 16);
    EXPECT_EQ(d.start, 37u);
    TUnZip reader;
    reader.SetArchiveFile((dir / "a.dat").string());
    Extracted e = extract(reader, "games.txt");
    ASSERT_EQ(e.count, 1);
    EXPECT_EQ(e.member(0), "Doom\r\n");
}

TEST(ArchiveType, WrongDirectoryOffsetFallsBackToLocalHeaders) {
    ScratchDir dir;
    auto zip = smallArchive();
    zip[zip.size() - 6] ^= 0x01;  // the directory offset's low byte
    const Detected d = detect(dir, zip);
    EXPECT_EQ(d.type, TArcType::atZip);
    EXPECT_EQ(d.flags, 16);
    EXPECT_EQ(d.start, 0u);
    TUnZip reader;
    reader.SetArchiveFile((dir / "a.dat").string());
    EXPECT_EQ(extract(reader, "*.*").count, 2);
}

TEST(ArchiveType, UnreadableFilesAreNotArchives) {
    ScratchDir dir;
    TUnZip zip;
    std::vector<int> codes;
    zip.OnError = [&](const std::string&, const std::string&, const std::string&, int code) {
        codes.push_back(code);
    };
    zip.SetArchiveFile("");
    EXPECT_EQ(zip.ArcType(), TArcType::atNA);
    zip.SetArchiveFile((dir / "missing.dat").string());
    EXPECT_EQ(zip.ArcType(), TArcType::atFileOpenErr);
    EXPECT_EQ(codes, std::vector<int>{25235});
    writeText(dir / "tiny.zip", "PK\x03\x04 tiny file");  // 19 bytes or less
    zip.SetArchiveFile((dir / "tiny.zip").string());
    EXPECT_EQ(zip.ArcType(), TArcType::atFileOpenErr);
    writeText(dir / "text.zip", "Just a text file, long enough to be read.");
    zip.SetArchiveFile((dir / "text.zip").string());
    EXPECT_EQ(zip.ArcType(), TArcType::atUnknown);
    writeText(dir / "prog.exe", "MZ" + std::string(100, 'x'));
    zip.SetArchiveFile((dir / "prog.exe").string());
    EXPECT_EQ(zip.ArcType(), TArcType::atUnknown);
}

TEST(ArchiveType, RunFailuresRaiseWithTheirTexts) {
    ScratchDir dir;
    TUnZip zip;
    TDecompMemoryStream stream;
    zip.FileSpec() = {"*.*"};
    auto codeOf = [&](TDecompMemoryStream* s) {
        try {
            zip.ExtractToMemory(s);
        } catch (const E_RAISE& e) {
            EXPECT_STREQ(e.what(), errorText(e.code()));
            return static_cast<int>(e.code());
        }
        return 0;
    };
    EXPECT_EQ(codeOf(nullptr), 25255);
    EXPECT_EQ(codeOf(&stream), 25172);  // no archive set
    zip.SetArchiveFile((dir / "missing.dat").string());
    EXPECT_EQ(codeOf(&stream), 25242);
    writeText(dir / "tiny.zip", "PK");
    zip.SetArchiveFile((dir / "tiny.zip").string());
    EXPECT_EQ(codeOf(&stream), 25242);

    // Detected fine, then removed before the run.
    writeFile(dir / "a.zip", smallArchive());
    zip.SetArchiveFile((dir / "a.zip").string());
    fs::remove(dir / "a.zip");
    stream.SetPosition(3);
    EXPECT_EQ(codeOf(&stream), 25235);
    EXPECT_EQ(stream.Position(), 0u);
    EXPECT_STREQ(errorText(ErrorCode::UnsupportedArchive),
                 "Invalid or unsupported archive type for this operation");
}

TEST(ArchiveType, ExtensionDoesNotMatterButJarIsNamed) {
    ScratchDir dir;
    writeFile(dir / "hintkeeper.dat", smallArchive());
    writeFile(dir / "x.jar", smallArchive());
    TUnZip zip;
    zip.SetArchiveFile((dir / "hintkeeper.dat").string());
    EXPECT_EQ(zip.ArcType(), TArcType::atZip);
    zip.SetArchiveFile((dir / "x.jar").string());
    EXPECT_EQ(zip.ArcType(), TArcType::atJar);
    EXPECT_EQ(extract(zip, "b.txt").count, 1);
}

}  // namespace
}  // namespace hk::archive::test
