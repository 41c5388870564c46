#include "temporary_folder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>

#include "write_all.h"

namespace hk::pack {

namespace fs = std::filesystem;

namespace {

[[noreturn]] void FailSystem(const fs::path& path, const std::string& what) {
    throw std::runtime_error(path.string() + ": " + what + ": " + std::strerror(errno));
}

}  // namespace

TemporaryFolder::TemporaryFolder(const fs::path& target) : target_(target) {
    const fs::path parent = target.parent_path().empty() ? "." : target.parent_path();
    std::string pattern = (parent / (target.filename().string() + ".tmpXXXXXX")).string();
    {
        const InterruptsHeld held;
        if (!mkdtemp(pattern.data())) {
            FailSystem(target, "cannot create a temporary folder beside it");
        }
        path_ = pattern;
        cleanup_ = std::make_unique<InterruptCleanup>(pattern, true);
    }
    // mkdtemp makes the folder private; sources are ordinary files.
    const mode_t mask = umask(0);
    umask(mask);
    chmod(path_.c_str(), 0777 & ~mask);
}

TemporaryFolder::~TemporaryFolder() {
    std::error_code ignored;
    if (!committed_) fs::remove_all(path_, ignored);
}

void TemporaryFolder::MakeFolder(const fs::path& relative) {
    if (mkdir((path_ / relative).c_str(), 0777) != 0) {
        FailSystem(target_ / relative, "cannot create");
    }
}

void TemporaryFolder::Write(const fs::path& relative, std::string_view bytes) {
    const fs::path path = path_ / relative;
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) FailSystem(target_ / relative, "cannot create");
    const bool written =
        WriteAll(fd, std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
    const int writeErrno = errno;
    const bool closed = close(fd) == 0;
    if (!written) errno = writeErrno;
    if (!written || !closed) FailSystem(target_ / relative, "cannot write");
}

void TemporaryFolder::CommitAs(const fs::path& target) {
    if (std::rename(path_.c_str(), target.c_str()) != 0) {
        FailSystem(target, "cannot be put in place");
    }
    committed_ = true;
    cleanup_.reset();
}

}  // namespace hk::pack
