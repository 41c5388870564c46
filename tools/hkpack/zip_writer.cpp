#include "zip_writer.h"

#include <zlib.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <limits>
#include <stdexcept>

#include "zip_cipher.h"

namespace hk::pack {

namespace {

constexpr uint16_t kStored = 0;
constexpr uint16_t kDeflated = 8;
constexpr uint16_t kFlagEncrypted = 1 << 0;
constexpr uint16_t kFlagMaximumCompression = 1 << 1;
constexpr uint16_t kVersion20 = 20;
constexpr uint32_t kArchiveAttribute = 0x20;
constexpr size_t kEncryptionHeaderSize = 12;

// Little-endian record builder.
class Record {
  public:
    Record& U16(uint16_t v) {
        bytes_.push_back(static_cast<uint8_t>(v));
        bytes_.push_back(static_cast<uint8_t>(v >> 8));
        return *this;
    }
    Record& U32(uint32_t v) {
        return U16(static_cast<uint16_t>(v)).U16(static_cast<uint16_t>(v >> 16));
    }
    Record& Text(const std::string& s) {
        bytes_.insert(bytes_.end(), s.begin(), s.end());
        return *this;
    }
    std::span<const uint8_t> Bytes() const { return bytes_; }

  private:
    std::vector<uint8_t> bytes_;
};

uint32_t Checked32(uint64_t value, const char* what) {
    if (value > std::numeric_limits<uint32_t>::max()) {
        throw std::runtime_error(std::string(what) + " does not fit a ZIP archive without ZIP64");
    }
    return static_cast<uint32_t>(value);
}

}  // namespace

void FileSink::Write(std::span<const uint8_t> bytes) {
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) {
        throw std::runtime_error(name_ + ": cannot write: " + std::strerror(errno));
    }
}

std::vector<uint8_t> Deflate(std::span<const uint8_t> data) {
    z_stream zs{};
    if (deflateInit2(&zs, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 9, Z_DEFAULT_STRATEGY) !=
        Z_OK) {
        throw std::runtime_error("zlib: deflateInit2 failed");
    }
    std::vector<uint8_t> out(deflateBound(&zs, static_cast<uLong>(data.size())));
    zs.next_in = const_cast<Bytef*>(data.data());  // zlib's API is not const-correct
    zs.avail_in = static_cast<uInt>(data.size());
    zs.next_out = out.data();
    zs.avail_out = static_cast<uInt>(out.size());
    const int status = deflate(&zs, Z_FINISH);
    const size_t produced = zs.total_out;
    deflateEnd(&zs);
    if (status != Z_STREAM_END) throw std::runtime_error("zlib: deflate did not finish");
    out.resize(produced);
    return out;
}

ZipWriter::ZipWriter(ByteSink& sink, uint32_t seed, uint16_t dosTime, uint16_t dosDate)
    : sink_(sink), random_(seed), dosTime_(dosTime), dosDate_(dosDate) {}

std::pair<uint16_t, uint16_t> ZipWriter::DosNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const int year = local.tm_year + 1900 < 1980 ? 1980 : local.tm_year + 1900;
    const auto time =
        static_cast<uint16_t>((local.tm_hour << 11) | (local.tm_min << 5) | (local.tm_sec / 2));
    const auto date =
        static_cast<uint16_t>(((year - 1980) << 9) | ((local.tm_mon + 1) << 5) | local.tm_mday);
    return {time, date};
}

void ZipWriter::Put(std::span<const uint8_t> bytes) {
    sink_.Write(bytes);
    offset_ += bytes.size();
}

void ZipWriter::Add(const std::string& name, std::span<const uint8_t> data,
                    const MemberOptions& options) {
    if (finished_) throw std::logic_error("ZipWriter::Add after Finish");
    if (name.empty() || name.size() > std::numeric_limits<uint16_t>::max()) {
        throw std::invalid_argument("member name length out of range");
    }
    if (entries_.size() == std::numeric_limits<uint16_t>::max()) {
        throw std::runtime_error("too many members for a ZIP archive without ZIP64");
    }

    Entry entry{};
    entry.name = name;
    entry.method = options.deflate ? kDeflated : kStored;
    entry.flags = options.deflate ? kFlagMaximumCompression : 0;
    entry.crc = Crc32::Of(data);
    entry.uncompressedSize = Checked32(data.size(), "a member");
    entry.localOffset = Checked32(offset_, "the archive");

    std::vector<uint8_t> payload =
        options.deflate ? Deflate(data) : std::vector<uint8_t>(data.begin(), data.end());
    std::vector<uint8_t> header;
    if (options.encrypt) {
        entry.flags |= kFlagEncrypted;
        // Eleven random bytes and the CRC's top byte, which readers use to
        // reject a wrong password before decoding anything.
        header.resize(kEncryptionHeaderSize);
        for (size_t i = 0; i + 1 < kEncryptionHeaderSize; ++i) {
            header[i] = static_cast<uint8_t>(random_() >> 24);
        }
        header.back() = static_cast<uint8_t>(entry.crc >> 24);
        TraditionalEncryptor cipher(options.password);
        cipher.Encrypt(header);
        cipher.Encrypt(payload);
    }
    entry.compressedSize = Checked32(header.size() + payload.size(), "a member");

    Record local;
    local.U32(0x04034B50)
        .U16(kVersion20)
        .U16(entry.flags)
        .U16(entry.method)
        .U16(dosTime_)
        .U16(dosDate_)
        .U32(entry.crc)
        .U32(entry.compressedSize)
        .U32(entry.uncompressedSize)
        .U16(static_cast<uint16_t>(name.size()))
        .U16(0)
        .Text(name);
    Put(local.Bytes());
    Put(header);
    Put(payload);
    entries_.push_back(std::move(entry));
}

void ZipWriter::Finish() {
    if (finished_) return;
    finished_ = true;
    const uint32_t directoryOffset = Checked32(offset_, "the archive");
    for (const Entry& e : entries_) {
        Record central;
        central.U32(0x02014B50)
            .U16(kVersion20)  // made by: MS-DOS, 2.0
            .U16(kVersion20)
            .U16(e.flags)
            .U16(e.method)
            .U16(dosTime_)
            .U16(dosDate_)
            .U32(e.crc)
            .U32(e.compressedSize)
            .U32(e.uncompressedSize)
            .U16(static_cast<uint16_t>(e.name.size()))
            .U16(0)  // extra field
            .U16(0)  // comment
            .U16(0)  // disk number start
            .U16(0)  // internal attributes
            .U32(kArchiveAttribute)
            .U32(e.localOffset)
            .Text(e.name);
        Put(central.Bytes());
    }
    const uint32_t directorySize = Checked32(offset_ - directoryOffset, "the directory");
    const auto count = static_cast<uint16_t>(entries_.size());
    Record end;
    end.U32(0x06054B50)
        .U16(0)
        .U16(0)
        .U16(count)
        .U16(count)
        .U32(directorySize)
        .U32(directoryOffset)
        .U16(0);
    Put(end.Bytes());
}

}  // namespace hk::pack
