#include "archive/zip_format.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace hk::archive {

ReadOnlyFile::~ReadOnlyFile() {
    if (fd_ >= 0) ::close(fd_);
}

bool ReadOnlyFile::open(const std::string& path) {
    if (fd_ >= 0) ::close(fd_);
    // Without O_NONBLOCK a named pipe at the path would wait for a writer
    // before the regular-file test below could refuse it.
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd_ < 0) return false;
    struct stat st {};
    if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd_);
        fd_ = -1;
        return false;
    }
    size_ = static_cast<uint64_t>(st.st_size);
    return true;
}

size_t ReadOnlyFile::readAt(uint64_t offset, void* buffer, size_t count) const {
    if (fd_ < 0 || offset >= size_) return 0;
    size_t done = 0;
    auto* out = static_cast<uint8_t*>(buffer);
    while (done < count) {
        const ssize_t n = ::pread(fd_, out + done, count - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    return done;
}

std::optional<size_t> findEndRecord(std::span<const uint8_t> tail) {
    if (tail.size() < kEndRecordSize) return std::nullopt;
    for (size_t pos = tail.size() - kEndRecordSize + 1; pos-- > 0;) {
        const uint8_t* p = tail.data() + pos;
        if (le32(p) == kEndSignature && pos + kEndRecordSize + le16(p + 20) == tail.size())
            return pos;
    }
    return std::nullopt;
}

namespace {

// Code page 866 bytes 0x80-0xFF in code page 1251. The box-drawing block has
// no counterpart there and becomes the nearest ASCII shape.
constexpr unsigned char kOemToAnsi[128] = {
    // 0x80-0x9F: А-Я
    0xC0, 0xC1, 0xC2, 0xC3, 0xC4, 0xC5, 0xC6, 0xC7, 0xC8, 0xC9, 0xCA, 0xCB, 0xCC, 0xCD, 0xCE, 0xCF,
    0xD0, 0xD1, 0xD2, 0xD3, 0xD4, 0xD5, 0xD6, 0xD7, 0xD8, 0xD9, 0xDA, 0xDB, 0xDC, 0xDD, 0xDE, 0xDF,
    // 0xA0-0xAF: а-п
    0xE0, 0xE1, 0xE2, 0xE3, 0xE4, 0xE5, 0xE6, 0xE7, 0xE8, 0xE9, 0xEA, 0xEB, 0xEC, 0xED, 0xEE, 0xEF,
    // 0xB0-0xDF: shades, lines, corners and blocks
    '#', '#', '#', '|', '+', '+', '+', '+', '+', '+', '|', '+', '+', '+', '+', '+',  //
    '+', '+', '+', '+', '-', '+', '+', '+', '+', '+', '+', '+', '+', '-', '+', '+',  //
    '+', '+', '+', '+', '+', '+', '+', '+', '+', '+', '+', '#', '#', '#', '#', '#',  //
    // 0xE0-0xEF: р-я
    0xF0, 0xF1, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7, 0xF8, 0xF9, 0xFA, 0xFB, 0xFC, 0xFD, 0xFE, 0xFF,
    // 0xF0-0xFF: Ё ё Є є Ї ї Ў ў ° ∙ · √ № ¤ ■ no-break space
    0xA8, 0xB8, 0xAA, 0xBA, 0xAF, 0xBF, 0xA1, 0xA2, 0xB0, 0x95, 0xB7, 'v', 0xB9, 0xA4, 0x95, 0xA0};

}  // namespace

void oemToAnsi(std::string& text) {
    for (char& c : text) c = static_cast<char>(oemToAnsi(static_cast<uint8_t>(c)));
}

uint8_t oemToAnsi(uint8_t byte) {
    return byte >= 0x80 ? kOemToAnsi[byte - 0x80] : byte;
}

}  // namespace hk::archive
