// The CRC-32 both ways it can be computed, against zlib's as an independent
// reference: every length around the folding thresholds, every misalignment,
// running values carried between calls.
#include <gtest/gtest.h>
#include <zlib.h>

#include <random>
#include <vector>

#include "archive/crc32.h"

namespace hk::archive {
namespace {

using Update = uint32_t (*)(uint32_t, const uint8_t*, size_t);

struct Way {
    const char* name;
    Update update;
};

std::vector<Way> availableWays() {
    std::vector<Way> ways = {{"tables", detail::crc32UpdateByTables}, {"dispatch", crc32Update}};
    if (detail::crc32FoldingAvailable()) ways.push_back({"folding", detail::crc32UpdateByFolding});
    if (detail::crc32WideFoldingAvailable())
        ways.push_back({"wide folding", detail::crc32UpdateByWideFolding});
    return ways;
}

uint32_t reference(uint32_t running, const uint8_t* data, size_t size) {
    // zlib takes and returns the finished (inverted) value.
    return ~static_cast<uint32_t>(::crc32(~running, data, static_cast<uInt>(size)));
}

std::vector<uint8_t> noise(size_t size, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<uint8_t> out(size);
    for (auto& b : out) b = static_cast<uint8_t>(rng());
    return out;
}

TEST(Crc32, CheckValueOfTheZipPolynomial) {
    const uint8_t digits[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
    EXPECT_EQ(crc32(digits, sizeof digits), 0xCBF43926u);
    EXPECT_EQ(crc32(digits, 0), 0u);
}

TEST(Crc32, EveryWayAgreesOnEveryShortLengthAndAlignment) {
    const auto data = noise(300 + 64, 1);
    std::mt19937 rng(2);
    for (const Way& way : availableWays()) {
        for (size_t offset = 0; offset < 16; ++offset) {
            for (size_t length = 0; length <= 300; ++length) {
                const uint32_t running = rng();
                ASSERT_EQ(way.update(running, data.data() + offset, length),
                          reference(running, data.data() + offset, length))
                    << way.name << " offset " << offset << " length " << length;
            }
        }
    }
}

TEST(Crc32, LargeBuffersInOneCallOrInPieces) {
    const auto data = noise((size_t{3} << 20) + 13, 3);
    const uint32_t whole = reference(0xFFFFFFFFu, data.data(), data.size());
    std::mt19937 rng(4);
    for (const Way& way : availableWays()) {
        EXPECT_EQ(way.update(0xFFFFFFFFu, data.data(), data.size()), whole) << way.name;
        uint32_t running = 0xFFFFFFFFu;
        for (size_t at = 0; at < data.size();) {
            const size_t piece = std::min<size_t>(data.size() - at, rng() % 5000);
            running = way.update(running, data.data() + at, piece);
            at += piece;
        }
        EXPECT_EQ(running, whole) << way.name;
    }
    // Runs of one byte value are where a folding constant off by one power shows.
    for (uint8_t fill : {uint8_t{0}, uint8_t{0xFF}}) {
        const std::vector<uint8_t> same(100000, fill);
        for (const Way& way : availableWays())
            EXPECT_EQ(way.update(0, same.data(), same.size()),
                      reference(0, same.data(), same.size()))
                << way.name << " fill " << int{fill};
    }
}

}  // namespace
}  // namespace hk::archive
