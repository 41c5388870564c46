// Helpers shared by the archive reader's tests: a scratch folder, a small
// hand-made ZIP writer for archives no tool would write, and a one-call
// extraction.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "archive/TUnZip.h"

namespace hk::archive::test {

namespace fs = std::filesystem;

inline std::vector<uint8_t> readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeFile(const fs::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

inline void writeText(const fs::path& path, const std::string& text) {
    writeFile(path, std::vector<uint8_t>(text.begin(), text.end()));
}

inline std::vector<uint8_t> bytesOf(const std::string& s) {
    return {s.begin(), s.end()};
}

inline uint32_t referenceCrc(const std::vector<uint8_t>& bytes) {
    uint32_t crc = 0xFFFFFFFF;
    for (uint8_t b : bytes) {
        crc ^= b;
        for (int i = 0; i < 8; ++i) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

// A fresh folder per test, removed afterwards.
class ScratchDir {
  public:
    ScratchDir() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = fs::temp_directory_path() / ("hk-archive-" + std::string(info->test_suite_name()) +
                                             "-" + info->name() + "-" + std::to_string(::getpid()));
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~ScratchDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    const fs::path& path() const { return path_; }
    fs::path operator/(const std::string& name) const { return path_ / name; }

    // Runs a shell command inside the folder; true when it succeeded.
    bool run(const std::string& command) const {
        const std::string line = "cd '" + path_.string() + "' && (" + command + ") >/dev/null 2>&1";
        return std::system(line.c_str()) == 0;
    }

  private:
    fs::path path_;
};

inline bool haveTool(const std::string& tool) {
    return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

// Extraction result as a caller sees it.
struct Extracted {
    int count = 0;
    TDecompMemoryStream stream;
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (int i = 0; i < stream.MemberCount(); ++i) {
            const auto& r = stream.MemberInfo(i);
            out.emplace_back(reinterpret_cast<const char*>(r.name + 1), r.name[0]);
        }
        return out;
    }
    std::string member(int i) const {
        const auto& r = stream.MemberInfo(i);
        const size_t end =
            i + 1 < stream.MemberCount() ? stream.MemberInfo(i + 1).streamPosition : stream.Size();
        return std::string(stream.Bytes().begin() + r.streamPosition, stream.Bytes().begin() + end);
    }
};

inline Extracted extract(TUnZip& zip, const std::string& pattern,
                         const std::vector<std::string>& passwords = {}) {
    Extracted e;
    zip.FileSpec() = {pattern};
    zip.Passwords() = passwords;
    e.count = zip.ExtractToMemory(&e.stream);
    return e;
}

inline void put16(std::vector<uint8_t>& v, uint32_t x) {
    v.push_back(static_cast<uint8_t>(x));
    v.push_back(static_cast<uint8_t>(x >> 8));
}
inline void put32(std::vector<uint8_t>& v, uint32_t x) {
    put16(v, x & 0xFFFF);
    put16(v, x >> 16);
}

// Writes archives member by member, with full control over every field.
struct RawMember {
    std::string name;
    std::vector<uint8_t> data;  // as stored (already compressed / encrypted)
    uint16_t method = 0;
    uint16_t flags = 0;
    uint16_t time = 0x6000;
    uint32_t crc = 0;
    uint32_t uncompressedSize = 0;
    uint32_t externalAttributes = 0;
    bool zeroLocalSizes = false;  // as a streaming writer leaves them
    bool zip64Sizes = false;      // 0xFFFFFFFF in both headers, the sizes in no extra field
};

inline RawMember storedMember(const std::string& name, const std::string& text) {
    RawMember m;
    m.name = name;
    m.data = bytesOf(text);
    m.crc = referenceCrc(m.data);
    m.uncompressedSize = static_cast<uint32_t>(text.size());
    return m;
}

inline std::vector<uint8_t> buildZip(const std::vector<RawMember>& members,
                                     const std::string& comment = "",
                                     std::vector<uint32_t>* localOffsets = nullptr) {
    std::vector<uint8_t> out, central;
    for (const RawMember& m : members) {
        const auto offset = static_cast<uint32_t>(out.size());
        if (localOffsets) localOffsets->push_back(offset);
        put32(out, 0x04034B50);
        put16(out, 20);
        put16(out, m.flags);
        put16(out, m.method);
        put16(out, m.time);
        put16(out, 0x5A21);
        put32(out, m.zeroLocalSizes ? 0 : m.crc);
        put32(out, m.zip64Sizes       ? 0xFFFFFFFF
                   : m.zeroLocalSizes ? 0
                                      : static_cast<uint32_t>(m.data.size()));
        put32(out, m.zip64Sizes ? 0xFFFFFFFF : m.zeroLocalSizes ? 0 : m.uncompressedSize);
        put16(out, static_cast<uint32_t>(m.name.size()));
        put16(out, 0);
        out.insert(out.end(), m.name.begin(), m.name.end());
        out.insert(out.end(), m.data.begin(), m.data.end());
        if (m.zeroLocalSizes) {
            put32(out, 0x08074B50);
            put32(out, m.crc);
            put32(out, static_cast<uint32_t>(m.data.size()));
            put32(out, m.uncompressedSize);
        }
        put32(central, 0x02014B50);
        put16(central, 20);
        put16(central, 20);
        put16(central, m.flags);
        put16(central, m.method);
        put16(central, m.time);
        put16(central, 0x5A21);
        put32(central, m.crc);
        put32(central, m.zip64Sizes ? 0xFFFFFFFF : static_cast<uint32_t>(m.data.size()));
        put32(central, m.zip64Sizes ? 0xFFFFFFFF : m.uncompressedSize);
        put16(central, static_cast<uint32_t>(m.name.size()));
        put16(central, 0);
        put16(central, 0);
        put16(central, 0);
        put16(central, 0);
        put32(central, m.externalAttributes);
        put32(central, offset);
        central.insert(central.end(), m.name.begin(), m.name.end());
    }
    const auto dirOffset = static_cast<uint32_t>(out.size());
    out.insert(out.end(), central.begin(), central.end());
    put32(out, 0x06054B50);
    put16(out, 0);
    put16(out, 0);
    put16(out, static_cast<uint32_t>(members.size()));
    put16(out, static_cast<uint32_t>(members.size()));
    put32(out, static_cast<uint32_t>(central.size()));
    put32(out, dirOffset);
    put16(out, static_cast<uint32_t>(comment.size()));
    out.insert(out.end(), comment.begin(), comment.end());
    return out;
}

// Traditional PKWARE encryption of `plain` under `password`, with the
// 12-byte header in front whose last byte is `check`.
inline std::vector<uint8_t> encryptTraditional(const std::vector<uint8_t>& plain,
                                               const std::string& password, uint8_t check) {
    auto crcByte = [](uint32_t crc, uint8_t b) {
        crc ^= b;
        for (int i = 0; i < 8; ++i) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
        return crc;
    };
    uint32_t k0 = 0x12345678, k1 = 0x23456789, k2 = 0x34567890;
    auto update = [&](uint8_t b) {
        k0 = crcByte(k0, b);
        k1 = (k1 + (k0 & 0xFF)) * 134775813u + 1;
        k2 = crcByte(k2, static_cast<uint8_t>(k1 >> 24));
    };
    for (char c : password) update(static_cast<uint8_t>(c));
    std::vector<uint8_t> header(11, 0x5A);
    header.push_back(check);
    header.insert(header.end(), plain.begin(), plain.end());
    for (uint8_t& b : header) {
        const uint32_t t = (k2 & 0xFFFF) | 2;
        const uint8_t p = b;
        b = static_cast<uint8_t>(p ^ ((t * (t ^ 1)) >> 8));
        update(p);
    }
    return header;
}

}  // namespace hk::archive::test
