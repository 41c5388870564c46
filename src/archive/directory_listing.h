#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace hk::archive {

// One entry of an archive's central directory, as stored (the name keeps its
// own bytes and separators).
struct ListedMember {
    std::string name;
    uint16_t flags;
    uint16_t method;
    uint32_t crc32;
    uint32_t compressedSize;
    uint32_t uncompressedSize;
    bool encrypted;
};

// Lists the central directory of a ZIP archive, whatever its comment length.
// Throws std::runtime_error when the file cannot be read or holds no directory.
std::vector<ListedMember> ListCentralDirectory(const std::string& path);

}  // namespace hk::archive
