#pragma once

#include <cstdint>
#include <cstdio>
#include <random>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace hk::pack {

// Where the archive's bytes go.
class ByteSink {
  public:
    virtual ~ByteSink() = default;
    virtual void Write(std::span<const uint8_t> bytes) = 0;  // throws std::runtime_error
};

class VectorSink : public ByteSink {
  public:
    void Write(std::span<const uint8_t> bytes) override {
        bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    }
    std::vector<uint8_t>& Bytes() { return bytes_; }

  private:
    std::vector<uint8_t> bytes_;
};

// Writes to an open stream; a failure names `name` (the file the user gave)
// and the system's reason.
class FileSink : public ByteSink {
  public:
    explicit FileSink(std::FILE* file, std::string name = "output")
        : file_(file), name_(std::move(name)) {}
    void Write(std::span<const uint8_t> bytes) override;

  private:
    std::FILE* file_;
    std::string name_;
};

struct MemberOptions {
    bool deflate = true;   // raw deflate at level 9; otherwise stored
    bool encrypt = true;   // traditional encryption with `password`
    std::string password;  // used only when encrypting
};

// Writes a plain single-file ZIP archive: local headers with the data, then
// the central directory and the end record, no comment, no data descriptors.
class ZipWriter {
  public:
    // `seed` drives the encryption headers' random bytes; the same seed and
    // input give the same archive.
    ZipWriter(ByteSink& sink, uint32_t seed, uint16_t dosTime, uint16_t dosDate);

    // `name` is stored byte for byte.
    void Add(const std::string& name, std::span<const uint8_t> data, const MemberOptions& options);
    void Add(const std::string& name, std::string_view text, const MemberOptions& options) {
        Add(name, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()), options);
    }

    // Writes the central directory and the end record.
    void Finish();

    // The current local time in DOS form (time, date).
    static std::pair<uint16_t, uint16_t> DosNow();

  private:
    struct Entry {
        std::string name;
        uint16_t flags;
        uint16_t method;
        uint32_t crc;
        uint32_t compressedSize;
        uint32_t uncompressedSize;
        uint32_t localOffset;
    };

    void Put(std::span<const uint8_t> bytes);

    ByteSink& sink_;
    std::mt19937 random_;
    uint16_t dosTime_;
    uint16_t dosDate_;
    uint64_t offset_ = 0;
    std::vector<Entry> entries_;
    bool finished_ = false;
};

// Raw deflate (no zlib header) at the highest level.
std::vector<uint8_t> Deflate(std::span<const uint8_t> data);

}  // namespace hk::pack
