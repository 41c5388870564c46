#include "atomic_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace hk::pack {

namespace {

// Messages name the file the user gave: the temporary one is gone by the
// time anyone reads them.
std::runtime_error SystemError(const std::string& path, const std::string& what) {
    return std::runtime_error(path + ": " + what + ": " + std::strerror(errno));
}

mode_t ModeFor(const std::string& path) {
    struct stat existing {};
    if (stat(path.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) {
        return existing.st_mode & 07777;
    }
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

}  // namespace

AtomicFile::AtomicFile(std::string path) : path_(std::move(path)) {
    std::string pattern = path_ + ".tmpXXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    int fd = -1;
    {
        const InterruptsHeld held;
        fd = mkstemp(buffer.data());
        if (fd < 0) throw SystemError(path_, "cannot create a temporary file beside it");
        tempPath_ = buffer.data();
        cleanup_ = std::make_unique<InterruptCleanup>(tempPath_, false);
    }
    // mkstemp makes the file private; the database gets the mode the file it
    // replaces had, or an ordinary new file's.
    fchmod(fd, ModeFor(path_));
    file_ = fdopen(fd, "wb");
    if (!file_) {
        const int saved = errno;
        close(fd);
        unlink(tempPath_.c_str());
        errno = saved;
        throw SystemError(path_, "cannot write");
    }
}

AtomicFile::~AtomicFile() {
    if (file_) std::fclose(file_);
    if (!committed_) unlink(tempPath_.c_str());
}

void AtomicFile::Commit() {
    const bool flushed = std::fflush(file_) == 0 && fsync(fileno(file_)) == 0;
    const int flushErrno = errno;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!flushed) errno = flushErrno;
    if (!flushed || !closed) throw SystemError(path_, "cannot write");
    if (std::rename(tempPath_.c_str(), path_.c_str()) != 0) {
        throw SystemError(path_, "cannot put the new file in place");
    }
    committed_ = true;
    cleanup_.reset();
}

}  // namespace hk::pack
