// Hand-made hostile archives for the bad-input catalogue: an LSB-first bit
// writer for compressed streams, a deflate stream that expands without end,
// and a ZIP layout whose directory entries may point anywhere.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace hk::hardening {

namespace fs = std::filesystem;

// Bits go out least significant first, as every ZIP method reads them.
class BitWriter {
  public:
    void put(uint32_t value, unsigned count) {
        for (unsigned i = 0; i < count; ++i) bit((value >> i) & 1);
    }
    // Huffman codes are sent from their most significant bit.
    void code(uint32_t value, unsigned count) {
        for (unsigned i = count; i-- > 0;) bit((value >> i) & 1);
    }
    std::vector<uint8_t> bytes() const {
        std::vector<uint8_t> out = bytes_;
        if (used_) out.push_back(partial_);
        return out;
    }

  private:
    void bit(uint32_t b) {
        partial_ = static_cast<uint8_t>(partial_ | (b << used_));
        if (++used_ == 8) {
            bytes_.push_back(partial_);
            partial_ = 0;
            used_ = 0;
        }
    }
    std::vector<uint8_t> bytes_;
    uint8_t partial_ = 0;
    unsigned used_ = 0;
};

// One dynamic deflate block that writes a zero byte and then `matches`
// copies of 258 bytes at distance 1, two bits each: length 285 has a 1-bit
// code, the single distance code another. A million matches fit in 260 KiB.
inline std::vector<uint8_t> DeflateZeros(size_t matches) {
    BitWriter w;
    w.put(1, 1);   // BFINAL
    w.put(2, 2);   // dynamic
    w.put(29, 5);  // 286 literal/length codes
    w.put(0, 5);   // 1 distance code
    w.put(14, 4);  // 18 code-length code lengths
    // In the order 16 17 18 0 8 7 9 6 10 5 11 4 12 3 13 2 14 1: only 18, 2 and 1 are used.
    const unsigned order[18] = {0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 2};
    for (unsigned len : order) w.put(len, 3);
    // Code-length codes: 18 -> "0", 1 -> "10", 2 -> "11".
    auto zeros = [&](unsigned run) {
        w.code(0, 1);
        w.put(run - 11, 7);
    };
    w.code(3, 2);  // literal 0: length 2
    zeros(138);
    zeros(117);    // literals 1..255
    w.code(3, 2);  // 256: length 2
    zeros(28);     // 257..284
    w.code(2, 2);  // 285: length 1
    w.code(2, 2);  // distance 0: length 1
    // Literal/length codes: 285 -> "0", 0 -> "10", 256 -> "11"; distance 0 -> "0".
    w.code(2, 2);
    for (size_t i = 0; i < matches; ++i) w.code(0, 2);
    w.code(3, 2);
    return w.bytes();
}

inline void put16(std::vector<uint8_t>& v, uint32_t x) {
    v.push_back(static_cast<uint8_t>(x));
    v.push_back(static_cast<uint8_t>(x >> 8));
}
inline void put32(std::vector<uint8_t>& v, uint32_t x) {
    put16(v, x & 0xFFFF);
    put16(v, x >> 16);
}

inline uint32_t Crc32(const std::string& bytes) {
    uint32_t crc = 0xFFFFFFFF;
    for (unsigned char b : bytes) {
        crc ^= b;
        for (int i = 0; i < 8; ++i) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

struct Member {
    std::string name;
    std::vector<uint8_t> data;  // as stored
    uint16_t method = 0;
    uint16_t flags = 0;
    uint32_t crc = 0;
    uint32_t size = 0;  // uncompressed
};

inline Member Stored(const std::string& name, const std::string& text) {
    return {name,        std::vector<uint8_t>(text.begin(), text.end()),
            0,           0,
            Crc32(text), static_cast<uint32_t>(text.size())};
}

inline Member Packed(const std::string& name, uint16_t method, std::vector<uint8_t> data,
                     uint32_t size, uint16_t flags = 0) {
    return {name, std::move(data), method, flags, 0, size};
}

// A directory entry: which local header it points at, under which name.
struct Entry {
    size_t member;
    std::string name;
};

// Local headers in order, then a directory of `entries` (by default one per
// member), then the end record.
inline std::vector<uint8_t> Zip(const std::vector<Member>& members, std::vector<Entry> entries = {},
                                const std::string& comment = "") {
    if (entries.empty())
        for (size_t i = 0; i < members.size(); ++i) entries.push_back({i, members[i].name});
    std::vector<uint8_t> out;
    std::vector<uint32_t> offsets;
    for (const Member& m : members) {
        offsets.push_back(static_cast<uint32_t>(out.size()));
        put32(out, 0x04034B50);
        put16(out, 20);
        put16(out, m.flags);
        put16(out, m.method);
        put16(out, 0x6000);
        put16(out, 0x5A21);
        put32(out, m.crc);
        put32(out, static_cast<uint32_t>(m.data.size()));
        put32(out, m.size);
        put16(out, static_cast<uint32_t>(m.name.size()));
        put16(out, 0);
        out.insert(out.end(), m.name.begin(), m.name.end());
        out.insert(out.end(), m.data.begin(), m.data.end());
    }
    const auto directory = static_cast<uint32_t>(out.size());
    for (const Entry& e : entries) {
        const Member& m = members.at(e.member);
        put32(out, 0x02014B50);
        put16(out, 20);
        put16(out, 20);
        put16(out, m.flags);
        put16(out, m.method);
        put16(out, 0x6000);
        put16(out, 0x5A21);
        put32(out, m.crc);
        put32(out, static_cast<uint32_t>(m.data.size()));
        put32(out, m.size);
        put16(out, static_cast<uint32_t>(e.name.size()));
        for (int i = 0; i < 4; ++i) put16(out, 0);
        put32(out, 0);
        put32(out, offsets[e.member]);
        out.insert(out.end(), e.name.begin(), e.name.end());
    }
    const auto size = static_cast<uint32_t>(out.size()) - directory;
    put32(out, 0x06054B50);
    put16(out, 0);
    put16(out, 0);
    put16(out, static_cast<uint32_t>(entries.size()));
    put16(out, static_cast<uint32_t>(entries.size()));
    put32(out, size);
    put32(out, directory);
    put16(out, static_cast<uint32_t>(comment.size()));
    out.insert(out.end(), comment.begin(), comment.end());
    return out;
}

// The four index members of a database of the given games (member, mode, title).
inline std::vector<Member> IndexMembers(const std::vector<std::vector<std::string>>& games,
                                        const std::string& version = "Hintkeeper v1.30\r\n") {
    std::string titles, files, pitches;
    for (const auto& g : games) {
        files += g.at(0) + "\r\n";
        pitches += g.at(1) + "\r\n";
        titles += g.at(2) + "\r\n";
    }
    return {Stored("games.txt", titles), Stored("files.txt", files), Stored("pitches.txt", pitches),
            Stored("version.txt", version)};
}

inline void WriteBytes(const fs::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

// A fresh folder, removed with its contents.
class Folder {
  public:
    Folder() {
        std::string pattern = (fs::temp_directory_path() / "hk-harden-XXXXXX").string();
        if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~Folder() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;
    const fs::path& path() const { return path_; }
    // The folder as the program sees it: with its trailing separator.
    std::string programFolder() const { return path_.string() + "/"; }
    fs::path operator/(const std::string& name) const { return path_ / name; }

    // Names of everything in the folder, to show that nothing was written.
    std::set<std::string> Listing() const {
        std::set<std::string> names;
        for (const auto& e : fs::recursive_directory_iterator(path_))
            names.insert(e.path().lexically_relative(path_).string());
        return names;
    }

  private:
    fs::path path_;
};

// A named pipe at `path` with a watchdog: should a reader block on it for
// half a minute, the watchdog opens the writing end so the reader can go on
// (and the test can fail instead of hanging). Released() tells whether it had to.
class PipeWatchdog {
  public:
    explicit PipeWatchdog(const fs::path& path) : path_(path) {
        if (::mkfifo(path.c_str(), 0600) != 0) throw std::runtime_error("mkfifo failed");
        thread_ = std::thread([this] {
            const auto start = std::chrono::steady_clock::now();
            while (!done_) {
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
                if (std::chrono::steady_clock::now() - start < std::chrono::seconds(30)) continue;
                // Succeeds only while a reader waits on the pipe.
                const int fd = ::open(path_.c_str(), O_WRONLY | O_NONBLOCK);
                if (fd >= 0) {
                    released_ = true;
                    ::close(fd);
                }
            }
        });
    }
    ~PipeWatchdog() {
        done_ = true;
        thread_.join();
    }
    PipeWatchdog(const PipeWatchdog&) = delete;
    PipeWatchdog& operator=(const PipeWatchdog&) = delete;
    bool Released() const { return released_; }

  private:
    fs::path path_;
    std::atomic<bool> done_{false}, released_{false};
    std::thread thread_;
};

}  // namespace hk::hardening
