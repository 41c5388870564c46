#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace hk::archive {

// Record signatures of the ZIP format, read as little-endian 32-bit values.
inline constexpr uint32_t kLocalSignature = 0x04034B50;
inline constexpr uint32_t kCentralSignature = 0x02014B50;
inline constexpr uint32_t kEndSignature = 0x06054B50;
inline constexpr uint32_t kSpanningSignature = 0x08074B50;
inline constexpr size_t kLocalHeaderSize = 30;
inline constexpr size_t kCentralHeaderSize = 46;
inline constexpr size_t kEndRecordSize = 22;
inline constexpr uint32_t kZip64EndSignature = 0x06064B50;
inline constexpr uint32_t kZip64LocatorSignature = 0x07064B50;
inline constexpr size_t kZip64LocatorSize = 20;
// An archive comment holds at most 65,535 bytes, so the end record lies
// within this many bytes of the end of the file.
inline constexpr size_t kLongestEndSearch = 65535 + kEndRecordSize;

inline uint16_t le16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
inline uint32_t le32(const uint8_t* p) {
    return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}

inline uint64_t le64(const uint8_t* p) {
    return uint64_t{le32(p)} | (uint64_t{le32(p + 4)} << 32);
}

// Where in `tail` (the last bytes of a file) the end record sits whose
// comment length reaches exactly to the end: the last such record wins, so a
// comment that quotes an end record does not fool the search.
std::optional<size_t> findEndRecord(std::span<const uint8_t> tail);

// A read-only file addressed by offset; closes itself.
class ReadOnlyFile {
  public:
    ReadOnlyFile() = default;
    ~ReadOnlyFile();
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    bool open(const std::string& path);
    bool isOpen() const { return fd_ >= 0; }
    uint64_t size() const { return size_; }
    // Reads up to `count` bytes at `offset`; returns how many arrived.
    size_t readAt(uint64_t offset, void* buffer, size_t count) const;

  private:
    int fd_ = -1;
    uint64_t size_ = 0;
};

// Member names arrive in the DOS code page 866; the program works in 1251.
void oemToAnsi(std::string& text);
uint8_t oemToAnsi(uint8_t byte);

}  // namespace hk::archive
