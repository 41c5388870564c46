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

TEST(ArchiveType, ShortFilesWithACommentBufferAreNotArchives) {
    ScratchDir dir;
    // The search window then covers the whole file but its first byte: too
    // short to hold an end record after it.
    for (size_t size = 20; size <= 23; ++size) {
        SCOPED_TRACE(size);
        std::vector<uint8_t> bytes = {'P', 'K', 5, 6};
        bytes.resize(size, 0);
        const Detected d = detect(dir, bytes, 2000);
        EXPECT_EQ(d.flags, 16);
        TUnZip zip;
        zip.SetZipCmntBufSize(2000);
        zip.SetArchiveFile((dir / "a.dat").string());
        EXPECT_EQ(extract(zip, "*.*").count, 0);
    }
}

// The archive with a ZIP64 end record and its locator in front of the
// classic one, whose directory offset is `classicOffset`.
std::vector<uint8_t> withZip64End(uint32_t classicOffset) {
    std::vector<uint8_t> zip = smallArchive();
    const uint32_t directory = directoryOffset(zip, 0);
    std::vector<uint8_t> end(zip.end() - 22, zip.end());
    zip.resize(zip.size() - 22);
    const auto zip64End = static_cast<uint32_t>(zip.size());
    put32(zip, 0x06064B50);
    put32(zip, 44);  // the record's size past this field
    put32(zip, 0);
    put16(zip, 45);
    put16(zip, 45);
    put32(zip, 0);
    put32(zip, 0);
    for (int i = 0; i < 2; ++i) {  // entries on this disk, in all
        put32(zip, 2);
        put32(zip, 0);
    }
    put32(zip, zip64End - directory);  // directory size
    put32(zip, 0);
    put32(zip, directory);
    put32(zip, 0);
    put32(zip, 0x07064B50);  // the locator
    put32(zip, 0);
    put32(zip, zip64End);
    put32(zip, 0);
    put32(zip, 1);
    for (int i = 0; i < 4; ++i) end[16 + i] = static_cast<uint8_t>(classicOffset >> (8 * i));
    zip.insert(zip.end(), end.begin(), end.end());
    return zip;
}

TEST(ArchiveType, Zip64ArchivesAreReadOnlyThroughTheirClassicDirectory) {
    ScratchDir dir;
    const uint32_t directory = directoryOffset(smallArchive(), 0);
    const Detected classic = detect(dir, withZip64End(directory));
    EXPECT_EQ(classic.type, TArcType::atZip);
    EXPECT_EQ(classic.start, directory);

    // Placeholders where the classic record keeps the directory's offset:
    // walking the local headers instead would meet ZIP64 sizes, so the
    // archive is not taken at all.
    const Detected zip64 = detect(dir, withZip64End(0xFFFFFFFF));
    EXPECT_EQ(zip64.type, TArcType::atUnsupported);
    TUnZip zip;
    zip.SetArchiveFile((dir / "a.dat").string());
    zip.FileSpec() = {"*.*"};
    TDecompMemoryStream stream;
    try {
        zip.ExtractToMemory(&stream);
        ADD_FAILURE() << "the run did not raise";
    } catch (const E_RAISE& e) {
        EXPECT_EQ(e.code(), ErrorCode::UnsupportedArchive);
    }
}

}  // namespace
}  // namespace hk::archive::test
