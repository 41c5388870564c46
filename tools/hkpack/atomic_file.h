#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "interrupt_cleanup.h"

namespace hk::pack {

// A file that appears under its final name only when complete: the bytes go
// to a temporary file beside it, which Commit renames into place. A file
// never committed is removed, also when SIGINT, SIGTERM or SIGHUP stops the
// process, so a failed run leaves the old file untouched. A file replaced
// keeps its permission bits; a new one gets 0666 less the umask, as any
// file a program creates.
class AtomicFile {
  public:
    explicit AtomicFile(std::string path);  // throws std::runtime_error
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    std::FILE* Stream() { return file_; }
    const std::string& Path() const { return path_; }
    void Commit();  // throws std::runtime_error

  private:
    std::string path_;
    std::string tempPath_;
    std::FILE* file_ = nullptr;
    bool committed_ = false;
    std::unique_ptr<InterruptCleanup> cleanup_;
};

}  // namespace hk::pack
