#include "atomic_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace hk::pack {

namespace {

std::runtime_error SystemError(const std::string& what, const std::string& path) {
    return std::runtime_error(what + " " + path + ": " + std::strerror(errno));
}

}  // namespace

AtomicFile::AtomicFile(std::string path) : path_(std::move(path)) {
    std::string pattern = path_ + ".tmpXXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    const int fd = mkstemp(buffer.data());
    if (fd < 0) throw SystemError("cannot create a temporary file for", path_);
    tempPath_ = buffer.data();
    // mkstemp makes the file private; a database is an ordinary readable file.
    fchmod(fd, 0644);
    file_ = fdopen(fd, "wb");
    if (!file_) {
        close(fd);
        unlink(tempPath_.c_str());
        throw SystemError("cannot open", tempPath_);
    }
}

AtomicFile::~AtomicFile() {
    if (file_) std::fclose(file_);
    if (!committed_) unlink(tempPath_.c_str());
}

void AtomicFile::Commit() {
    const bool flushed = std::fflush(file_) == 0 && fsync(fileno(file_)) == 0;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!flushed || !closed) throw SystemError("cannot write", tempPath_);
    if (std::rename(tempPath_.c_str(), path_.c_str()) != 0) {
        throw SystemError("cannot rename the temporary file to", path_);
    }
    committed_ = true;
}

}  // namespace hk::pack
