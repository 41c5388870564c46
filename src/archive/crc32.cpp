#include "archive/crc32.h"

#include <array>
#include <bit>
#include <cstring>

namespace hk::archive {

namespace {

// Sixteen tables: table[k][b] is the CRC of byte b followed by k zero bytes,
// so sixteen input bytes fold into the running value with independent lookups.
using CrcTables = std::array<std::array<uint32_t, 256>, 16>;

constexpr CrcTables makeTables() {
    CrcTables t{};
    for (uint32_t b = 0; b < 256; ++b) {
        uint32_t c = b;
        for (int i = 0; i < 8; ++i) c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
        t[0][b] = c;
    }
    for (size_t k = 1; k < 16; ++k)
        for (size_t b = 0; b < 256; ++b) t[k][b] = (t[k - 1][b] >> 8) ^ t[0][t[k - 1][b] & 0xFF];
    return t;
}

constexpr CrcTables kTables = makeTables();

inline uint32_t load32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    if constexpr (std::endian::native == std::endian::big) v = __builtin_bswap32(v);
    return v;
}

}  // namespace

const std::array<uint32_t, 256> detail::kCrcByteTable = kTables[0];

uint32_t crc32Update(uint32_t crc, const uint8_t* data, size_t size) {
    const auto& t = kTables;
    while (size >= 16) {
        const uint32_t a = load32(data) ^ crc;
        const uint32_t b = load32(data + 4);
        const uint32_t c = load32(data + 8);
        const uint32_t d = load32(data + 12);
        crc = t[15][a & 0xFF] ^ t[14][(a >> 8) & 0xFF] ^ t[13][(a >> 16) & 0xFF] ^ t[12][a >> 24] ^
              t[11][b & 0xFF] ^ t[10][(b >> 8) & 0xFF] ^ t[9][(b >> 16) & 0xFF] ^ t[8][b >> 24] ^
              t[7][c & 0xFF] ^ t[6][(c >> 8) & 0xFF] ^ t[5][(c >> 16) & 0xFF] ^ t[4][c >> 24] ^
              t[3][d & 0xFF] ^ t[2][(d >> 8) & 0xFF] ^ t[1][(d >> 16) & 0xFF] ^ t[0][d >> 24];
        data += 16;
        size -= 16;
    }
    while (size--) crc = (crc >> 8) ^ t[0][(crc ^ *data++) & 0xFF];
    return crc;
}

}  // namespace hk::archive
