#pragma once

#include <cstddef>
#include <cstdint>

namespace hk::archive {

// The ZIP CRC-32 (reflected, polynomial 0xEDB88320). crc32Update continues a
// running value without the initial and final inversion, as both the member
// check and the traditional cipher's key schedule need.
uint32_t crc32Update(uint32_t crc, const uint8_t* data, size_t size);
uint32_t crc32Byte(uint32_t crc, uint8_t byte);

inline uint32_t crc32(const uint8_t* data, size_t size) {
    return ~crc32Update(0xFFFFFFFFu, data, size);
}

}  // namespace hk::archive
