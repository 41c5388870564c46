#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace hk::archive {

// The ZIP CRC-32 (reflected, polynomial 0xEDB88320). crc32Update continues a
// running value without the initial and final inversion, as both the member
// check and the traditional cipher's key schedule need. It folds with
// carry-less multiplication where the processor has it and uses tables
// elsewhere; both give the same value.
uint32_t crc32Update(uint32_t crc, const uint8_t* data, size_t size);

namespace detail {
extern const std::array<uint32_t, 256> kCrcByteTable;  // constant data

// The ways crc32Update can take, open to tests so that each is checked on
// every machine that can run it. Folding needs PCLMULQDQ, wide folding also
// AVX2 and VPCLMULQDQ; call them only when their test says so.
uint32_t crc32UpdateByTables(uint32_t crc, const uint8_t* data, size_t size);
bool crc32FoldingAvailable();
uint32_t crc32UpdateByFolding(uint32_t crc, const uint8_t* data, size_t size);
bool crc32WideFoldingAvailable();
uint32_t crc32UpdateByWideFolding(uint32_t crc, const uint8_t* data, size_t size);
}  // namespace detail

// One byte, inline: the cipher's key schedule runs it three times per byte.
inline uint32_t crc32Byte(uint32_t crc, uint8_t byte) {
    return (crc >> 8) ^ detail::kCrcByteTable[(crc ^ byte) & 0xFF];
}

inline uint32_t crc32(const uint8_t* data, size_t size) {
    return ~crc32Update(0xFFFFFFFFu, data, size);
}

}  // namespace hk::archive
