// Damaged and hostile archives: the reader must end every run, never crash,
// and keep its results within bounds.
#include <random>

#include "archive/member_output.h"
#include "archive_test_support.h"

namespace hk::archive::test {
namespace {

// A small archive with stored, fixed-Huffman and empty members.
std::vector<uint8_t> sampleArchive(const std::string& comment = "") {
    RawMember fixed;
    fixed.name = "fixed.txt";
    fixed.method = 8;
    // "abcabcabc" as one fixed block.
    fixed.data = {0x4B, 0x4C, 0x4A, 0x4E, 0x04, 0x23, 0x00};
    fixed.uncompressedSize = 9;
    fixed.crc = referenceCrc(bytesOf("abcabcabc"));
    return buildZip(
        {storedMember("games.txt", "Doom\r\nQuake\r\n"), fixed, storedMember("empty.txt", "")},
        comment);
}

// Runs a full extraction; only the run-level exception may come out.
int survive(const ScratchDir& dir, const std::vector<uint8_t>& bytes, TDecompMemoryStream& s) {
    writeFile(dir / "x.zip", bytes);
    TUnZip zip;
    zip.SetArchiveFile((dir / "x.zip").string());
    zip.FileSpec() = {"*.*"};
    try {
        return zip.ExtractToMemory(&s);
    } catch (const E_RAISE& e) {
        EXPECT_EQ(e.code(), ErrorCode::UnsupportedArchive);
        return -1;
    }
}

TEST(DamagedArchives, SampleIsSound) {
    ScratchDir dir;
    TDecompMemoryStream s;
    EXPECT_EQ(survive(dir, sampleArchive(), s), 3);
    std::string all(s.Bytes().begin(), s.Bytes().end());
    EXPECT_EQ(all, "Doom\r\nQuake\r\nabcabcabc");
}

TEST(DamagedArchives, EveryTruncationEndsQuietly) {
    ScratchDir dir;
    for (const std::string comment : {"", "c"}) {
        const auto zip = sampleArchive(comment);
        for (size_t cut = 0; cut < zip.size(); ++cut) {
            TDecompMemoryStream s;
            const int count = survive(dir, {zip.begin(), zip.begin() + static_cast<long>(cut)}, s);
            ASSERT_LE(count, 3) << cut;
            ASSERT_EQ(s.MemberCount(), std::max(count, 0)) << cut;
            ASSERT_LE(s.Size(), 64u) << cut;
        }
    }
}

TEST(DamagedArchives, RandomByteFlipsEndQuietly) {
    ScratchDir dir;
    std::mt19937 rng(2026);
    for (const std::string comment : {"", "c"}) {
        const auto zip = sampleArchive(comment);
        for (int round = 0; round < 500; ++round) {
            auto bad = zip;
            const int flips = 1 + static_cast<int>(rng() % 4);
            for (int i = 0; i < flips; ++i)
                bad[rng() % bad.size()] ^= static_cast<uint8_t>(1 + rng() % 255);
            TDecompMemoryStream s;
            const int count = survive(dir, bad, s);
            ASSERT_LE(count, 3) << round;
            // Sizes may have been flipped, but never past the file's own length for stored data.
            ASSERT_LE(s.Size(), size_t{64} << 20) << round;
        }
    }
}

TEST(DamagedArchives, BadHuffmanDataKeepsTheMemberAndReportsAfterTheVerdict) {
    ScratchDir dir;
    RawMember m;
    m.name = "bad.txt";
    m.method = 8;
    m.data = {0x07, 0x00};  // BTYPE 3
    m.uncompressedSize = 5;
    m.crc = 0x12345678;
    writeFile(dir / "a.zip", buildZip({m, storedMember("ok.txt", "fine")}));
    TUnZip zip;
    zip.SetArchiveFile((dir / "a.zip").string());
    std::vector<std::pair<std::string, int>> errors;
    zip.OnError = [&](const std::string& fn, const std::string&, const std::string&, int code) {
        errors.emplace_back(fn, code);
    };
    Extracted e = extract(zip, "*.*");
    EXPECT_EQ(e.count, 2);
    EXPECT_EQ(e.member(0), "");
    EXPECT_EQ(e.member(1), "fine");
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[0].second, 25151);
    EXPECT_EQ(errors[1].second, 25111);
    EXPECT_NE(errors[1].first.find("bad.txt"), std::string::npos);
}

TEST(DamagedArchives, DirectoryPointingOutsideOrBadlyEndsTheWalk) {
    ScratchDir dir;
    std::vector<uint32_t> offsets;
    auto zip = buildZip(
        {storedMember("a.txt", "a"), storedMember("b.txt", "b"), storedMember("c.txt", "c")}, "",
        &offsets);
    // Second entry's local-header offset far outside the file: dropped silently.
    const uint32_t dir0 = static_cast<uint32_t>(zip.size()) - 22 - 3 * (46 + 5);
    auto outside = zip;
    outside[dir0 + (46 + 5) + 42 + 3] = 0x7F;
    TDecompMemoryStream s1;
    EXPECT_EQ(survive(dir, outside, s1), 2);

    // First entry's comment length runs past the end: the walk stops there.
    auto runaway = zip;
    runaway[dir0 + 32] = 0xFF;
    runaway[dir0 + 33] = 0xFF;
    TDecompMemoryStream s2;
    EXPECT_EQ(survive(dir, runaway, s2), 1);

    // An entry pointing back at the first local header lists it twice, no
    // more, and the second time it is damaged: no bytes.
    auto back = zip;
    back[dir0 + (46 + 5) + 42] = 0;
    TDecompMemoryStream s3;
    EXPECT_EQ(survive(dir, back, s3), 3);
    EXPECT_EQ(std::string(s3.Bytes().begin(), s3.Bytes().end()), "ac");
}

TEST(DamagedArchives, LongNamesAreCutTo255Bytes) {
    ScratchDir dir;
    const std::string longName = std::string(296, 'n') + ".txt";
    writeFile(dir / "a.zip", buildZip({storedMember(longName, "long"), storedMember("b", "b")}));
    for (const std::string comment : {"", "c"}) {
        TUnZip zip;
        zip.SetArchiveFile((dir / "a.zip").string());
        Extracted e = extract(zip, "*.*");
        ASSERT_EQ(e.count, 2);
        EXPECT_EQ(e.names()[0], longName.substr(0, 255));
        EXPECT_EQ(e.member(0), "long");
        EXPECT_EQ(extract(zip, std::string(255, 'N')).count, 1);
        if (comment.empty())
            writeFile(dir / "a.zip",
                      buildZip({storedMember(longName, "long"), storedMember("b", "b")}, "c"));
    }
}

TEST(DamagedArchives, MemberExpandingPastTheCeilingIsCut) {
    ScratchDir dir;
    // One fixed block: a literal, then matches of 258 bytes at distance 1
    // until well past the per-member ceiling.
    std::vector<uint8_t> stream;
    uint64_t acc = 0;
    unsigned used = 0;
    auto bits = [&](uint32_t v, unsigned n) {
        acc |= uint64_t{v} << used;
        used += n;
        while (used >= 8) {
            stream.push_back(static_cast<uint8_t>(acc));
            acc >>= 8;
            used -= 8;
        }
    };
    auto code = [&](uint32_t c, unsigned n) {
        uint32_t r = 0;
        for (unsigned i = 0; i < n; ++i) r |= ((c >> i) & 1) << (n - 1 - i);
        bits(r, n);
    };
    bits(1, 1);
    bits(1, 2);
    code(0x30 + 'z', 8);
    const size_t matches = kMemberCeiling / 258 + 10;
    for (size_t i = 0; i < matches; ++i) {
        code(0xC5, 8);  // length 258
        code(0, 5);     // distance 1
    }
    code(0, 7);  // end of block
    bits(0, 7);
    RawMember bomb;
    bomb.name = "bomb.txt";
    bomb.method = 8;
    bomb.data = stream;
    bomb.uncompressedSize = 0xFFFFFFF0;
    writeFile(dir / "a.zip", buildZip({bomb, storedMember("after.txt", "after")}));
    TUnZip zip;
    zip.SetArchiveFile((dir / "a.zip").string());
    std::vector<int> codes;
    zip.OnError = [&](const std::string&, const std::string&, const std::string&, int c) {
        codes.push_back(c);
    };
    Extracted e = extract(zip, "*.*");
    EXPECT_EQ(e.count, 2);
    EXPECT_LE(e.stream.MemberInfo(1).streamPosition, kMemberCeiling);
    EXPECT_GT(e.stream.MemberInfo(1).streamPosition, kMemberCeiling - 300);
    EXPECT_EQ(e.member(1), "after");
    EXPECT_EQ(codes, (std::vector<int>{25151, 25111}));
}

TEST(DamagedArchives, WrongPasswordThatPassesTheCheckByteStillEnds) {
    // With 256 candidates one passes the one-byte check by chance; the member
    // is then decoded with wrong keys and must still end quietly.
    ScratchDir dir;
    RawMember m;
    m.name = "enc.txt";
    m.method = 8;
    m.flags = 1;
    m.data.assign(200, 0);
    std::mt19937 rng(5);
    for (auto& b : m.data) b = static_cast<uint8_t>(rng());
    m.crc = 0xAB000000;
    m.uncompressedSize = 1000;
    writeFile(dir / "a.zip", buildZip({m}));
    TUnZip zip;
    zip.SetArchiveFile((dir / "a.zip").string());
    std::vector<std::string> candidates;
    for (int i = 0; i < 600; ++i) candidates.push_back("pw" + std::to_string(i));
    Extracted e = extract(zip, "*.*", candidates);
    EXPECT_LE(e.count, 1);
    EXPECT_LE(e.stream.Size(), kMemberCeiling);
}

}  // namespace
}  // namespace hk::archive::test
