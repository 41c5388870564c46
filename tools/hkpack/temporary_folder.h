#pragma once

#include <filesystem>
#include <memory>
#include <string_view>

#include "interrupt_cleanup.h"

namespace hk::pack {

// A folder made beside `target` that becomes `target` only when committed;
// otherwise it is removed with its contents, also when SIGINT, SIGTERM or
// SIGHUP stops the process. Failures are reported under the target's name,
// the one the user gave, never the temporary one that will be gone.
class TemporaryFolder {
  public:
    explicit TemporaryFolder(const std::filesystem::path& target);  // throws std::runtime_error
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }

    // Creates the folder `relative` inside; throws std::runtime_error.
    void MakeFolder(const std::filesystem::path& relative);

    // Writes `bytes` to the file `relative` inside; throws std::runtime_error
    // naming target/relative and the system's reason.
    void Write(const std::filesystem::path& relative, std::string_view bytes);

    // Renames the folder to the target; an empty folder there is replaced.
    void CommitAs(const std::filesystem::path& target);

  private:
    std::filesystem::path target_;
    std::filesystem::path path_;
    bool committed_ = false;
    std::unique_ptr<InterruptCleanup> cleanup_;
};

}  // namespace hk::pack
