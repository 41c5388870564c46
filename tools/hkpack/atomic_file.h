#pragma once

#include <cstdio>
#include <string>

namespace hk::pack {

// A file that appears under its final name only when complete: the bytes go
// to a temporary file beside it, which Commit renames into place. A file
// never committed is removed, so a failed run leaves the old file untouched.
class AtomicFile {
  public:
    explicit AtomicFile(std::string path);  // throws std::runtime_error
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    std::FILE* Stream() { return file_; }
    void Commit();  // throws std::runtime_error

  private:
    std::string path_;
    std::string tempPath_;
    std::FILE* file_ = nullptr;
    bool committed_ = false;
};

}  // namespace hk::pack
