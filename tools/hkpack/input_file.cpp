#include "input_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace hk::pack {

namespace {

[[noreturn]] void Fail(const std::string& path, const std::string& why) {
    throw std::runtime_error(path + ": " + why);
}

[[noreturn]] void FailSystem(const std::string& path, const std::string& what) {
    Fail(path, what + ": " + std::strerror(errno));
}

std::string KindOf(mode_t mode) {
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISFIFO(mode)) return "a FIFO";
    if (S_ISCHR(mode)) return "a character device";
    if (S_ISBLK(mode)) return "a block device";
    if (S_ISSOCK(mode)) return "a socket";
    return "not a file";
}

class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return fd_; }

  private:
    int fd_;
};

// Opens `path` for reading without blocking on a FIFO and returns its
// descriptor once fstat has shown a regular file.
int OpenRegular(const std::string& path, struct stat& info) {
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) FailSystem(path, "cannot open");
    if (fstat(fd, &info) != 0) {
        const int saved = errno;
        close(fd);
        errno = saved;
        FailSystem(path, "cannot read");
    }
    if (!S_ISREG(info.st_mode)) {
        close(fd);
        Fail(path, "is " + KindOf(info.st_mode) + ", not a regular file");
    }
    return fd;
}

}  // namespace

std::string ReadRegularFile(const std::string& path, size_t limit) {
    struct stat info {};
    const Descriptor fd(OpenRegular(path, info));
    const auto tooLarge = [&] {
        Fail(path, "is larger than " + std::to_string(limit >> 20) + " MiB, the most hkpack reads");
    };
    if (static_cast<unsigned long long>(info.st_size) > limit) tooLarge();
    std::string bytes(static_cast<size_t>(info.st_size), '\0');
    size_t got = 0;
    // A file that grows while it is read is read up to the limit and no further.
    for (;;) {
        if (got == bytes.size()) {
            if (bytes.size() > limit) tooLarge();
            bytes.resize(std::min(limit + 1, bytes.size() + 65536));
        }
        const ssize_t n = read(fd.Get(), bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) FailSystem(path, "cannot read");
        if (n == 0) break;
        got += static_cast<size_t>(n);
    }
    bytes.resize(got);
    return bytes;
}

void CheckInputFile(const std::string& path) {
    struct stat info {};
    close(OpenRegular(path, info));
}

}  // namespace hk::pack
