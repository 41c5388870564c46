// The legacy decoders against archives made by other programs: PKZIP for DOS
// and two independent modern encoders.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "archive/legacy_decoders.h"

namespace hk::archive {
namespace {

const std::filesystem::path kSamples = HK_TESTDATA_DIR;

std::vector<uint8_t> readFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

uint32_t crc32(const std::vector<uint8_t>& bytes) {
    uint32_t crc = 0xFFFFFFFF;
    for (uint8_t byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320 & (0u - (crc & 1)));
    }
    return ~crc;
}

struct LocalMember {
    std::string name;
    uint16_t flags = 0;
    uint16_t method = 0;
    uint32_t crc = 0;
    uint32_t size = 0;
    std::vector<uint8_t> data;
};

// Walks the local headers; enough for these archives, none of which uses data
// descriptors.
std::vector<LocalMember> localMembers(const std::vector<uint8_t>& zip) {
    auto u16 = [&](size_t at) { return static_cast<uint32_t>(zip[at] | zip[at + 1] << 8); };
    auto u32 = [&](size_t at) { return u16(at) | u16(at + 2) << 16; };
    std::vector<LocalMember> members;
    size_t at = 0;
    while (at + 30 <= zip.size() && u32(at) == 0x04034b50) {
        const size_t nameAt = at + 30;
        const size_t dataAt = nameAt + u16(at + 26) + u16(at + 28);
        const size_t dataEnd = dataAt + u32(at + 18);
        if (dataEnd > zip.size()) break;
        members.push_back({std::string(zip.begin() + nameAt, zip.begin() + nameAt + u16(at + 26)),
                           static_cast<uint16_t>(u16(at + 6)), static_cast<uint16_t>(u16(at + 8)),
                           u32(at + 14), u32(at + 22),
                           std::vector<uint8_t>(zip.begin() + dataAt, zip.begin() + dataEnd)});
        at = dataEnd;
    }
    return members;
}

bool isLegacy(const LocalMember& m) {
    return m.method >= 1 && m.method <= 6;
}

std::vector<uint8_t> decode(const LocalMember& m, std::span<const uint8_t> data) {
    hk::archive::StreamBytes sink;
    MemberOutput out(sink);
    if (m.method == 1) {
        Unshrink(data, out);
    } else if (m.method <= 5) {
        Unreduce(data, m.method - 1, m.size, out);
    } else {
        Explode(data, m.flags, m.size, out);
    }
    return {sink.begin(), sink.end()};
}

class LegacySamples : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!std::filesystem::is_directory(kSamples)) {
            GTEST_SKIP() << "third-party archives not found at " << kSamples;
        }
    }
};

TEST_F(LegacySamples, EveryLegacyMemberDecodesWithItsCrc) {
    const std::vector<std::string> names = {"HWSHRINK.ZIP",    "HWREDUCE.ZIP",    "HWIMPODE.ZIP",
                                            "PKZ80A1.ZIP",     "PKZ110EI.ZIP",    "example-s.zip",
                                            "example-r.zip",   "example-i.zip",   "zip2-shrink.zip",
                                            "zip2-reduce.zip", "zip2-implode.zip"};
    int decoded = 0;
    for (const std::string& name : names) {
        for (const LocalMember& m : localMembers(readFile(kSamples / name))) {
            if (!isLegacy(m)) continue;
            SCOPED_TRACE(name + " " + m.name);
            const std::vector<uint8_t> bytes = decode(m, m.data);
            EXPECT_EQ(bytes.size(), m.size);
            EXPECT_EQ(crc32(bytes), m.crc);
            std::filesystem::path plain = kSamples / m.name;
            if (m.name == "first.txt" || m.name == "FIRST.TXT") plain = kSamples / "zip2-first.txt";
            if (std::filesystem::exists(plain)) {
                EXPECT_EQ(bytes, readFile(plain));
            }
            ++decoded;
        }
    }
    // 3 + 2 + 3 + 8 + 7 + 3 + 3 legacy members.
    EXPECT_EQ(decoded, 29);
}

// Cutting the compressed data anywhere must end the member quietly with a prefix
// of its content; only shrink, which needs its first code, may call it damaged.
TEST_F(LegacySamples, TruncatedMembersYieldPrefixes) {
    for (const char* name :
         {"example-s.zip", "example-r.zip", "example-i.zip", "zip2-implode.zip"}) {
        for (const LocalMember& m : localMembers(readFile(kSamples / name))) {
            SCOPED_TRACE(std::string(name) + " " + m.name);
            const std::vector<uint8_t> whole = decode(m, m.data);
            for (size_t cut = 0; cut < m.data.size(); ++cut) {
                std::vector<uint8_t> part;
                try {
                    part = decode(m, std::span(m.data).first(cut));
                } catch (const DecodeError& e) {
                    EXPECT_TRUE(m.method == 1 && cut < 2) << "cut " << cut << ": " << e.what();
                    continue;
                }
                ASSERT_LE(part.size(), whole.size()) << "cut " << cut;
                EXPECT_TRUE(std::equal(part.begin(), part.end(), whole.begin())) << "cut " << cut;
            }
        }
    }
}

}  // namespace
}  // namespace hk::archive
