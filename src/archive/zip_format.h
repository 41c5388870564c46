#pragma once

#include <cstddef>
#include <cstdint>
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

inline uint16_t le16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
inline uint32_t le32(const uint8_t* p) {
    return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}

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

}  // namespace hk::archive
