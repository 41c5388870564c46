#pragma once

#include <cstddef>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "progress_line.h"

namespace hk::pack {

// A database that cannot be written out as sources `hkpack build` would turn
// back into the same members; the message starts with the member's name.
class UnpackError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct UnpackResult {
    size_t games = 0;
    size_t texts = 0;
};

// Writes the database at `archive` out as a source folder at `dir`: index.tsv
// and texts/MEMBER, UTF-8 with LF line ends, from which `hkpack build` makes a
// database with the same members, byte for byte after extraction. Every
// member is read as the viewer reads it and must extract cleanly.
//
// `dir` must not exist or must be an empty folder. The sources are written to
// a temporary folder beside it, read back through the build's own reader and
// only then renamed into place, so `dir` appears whole or not at all.
// Throws UnpackError for a database that cannot be represented and
// std::runtime_error when the archive or the folder cannot be used.
// `progress`, when given, hears of the games read so far.
UnpackResult Unpack(const std::string& archive, const std::filesystem::path& dir,
                    const ProgressReport& progress = {});

}  // namespace hk::pack
