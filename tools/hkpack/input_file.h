#pragma once

#include <cstddef>
#include <string>

namespace hk::pack {

// The largest text `hkpack build` reads.
inline constexpr size_t kMaxSourceFileSize = size_t{256} << 20;

// The bytes of the regular file at `path` (links followed). Anything else, a
// FIFO, a device, a folder, or a file larger than `limit`, is refused without
// reading it: the file is opened non-blocking and judged by its descriptor,
// so a FIFO cannot hang the caller. Throws std::runtime_error whose message
// names `path` and the reason ("No such file or directory", "is a FIFO, not
// a regular file").
std::string ReadRegularFile(const std::string& path, size_t limit = kMaxSourceFileSize);

// Throws std::runtime_error naming `path` and the reason when there is no
// regular file to read there, so that a missing database is reported as
// missing rather than as an archive the reader does not recognise.
void CheckInputFile(const std::string& path);

}  // namespace hk::pack
