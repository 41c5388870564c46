#pragma once

// Shared by the fuzz targets: a byte cursor over the fuzz input, and a file
// that holds the input for the readers that only open paths.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

namespace hk::fuzz {

// Takes parameters off the front of the input; what is left is the stream.
class Params {
  public:
    Params(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint32_t take(int bytes) {
        uint32_t value = 0;
        for (int i = 0; i < bytes && size_ > 0; ++i, ++data_, --size_)
            value |= uint32_t{*data_} << (8 * i);
        return value;
    }
    std::span<const uint8_t> rest() const { return {data_, size_}; }

  private:
    const uint8_t* data_;
    size_t size_;
};

// An anonymous in-memory file reached through /proc/self/fd; rewritten for
// every input.
class MemoryFile {
  public:
    MemoryFile() : fd_(memfd_create("hk-fuzz", 0)) {
        if (fd_ < 0) abort();
        path_ = "/proc/self/fd/" + std::to_string(fd_);
    }
    ~MemoryFile() { close(fd_); }
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    const std::string& write(const uint8_t* data, size_t size) {
        if (ftruncate(fd_, 0) != 0) abort();
        for (size_t done = 0; done < size;) {
            const ssize_t n = pwrite(fd_, data + done, size - done, static_cast<off_t>(done));
            if (n <= 0) abort();
            done += static_cast<size_t>(n);
        }
        return path_;
    }

  private:
    int fd_;
    std::string path_;
};

}  // namespace hk::fuzz
