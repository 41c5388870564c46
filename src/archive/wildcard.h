#pragma once

#include <string_view>

namespace hk::archive {

// Whether a member name (folders separated by "\") fits a FileSpec pattern:
// folder parts are compared only when the pattern names a folder, then the
// extensions, then the file names. "?" and "*" are wildcards on either side;
// only the letters a-z fold to upper case.
bool wildcardMatch(std::string_view name, std::string_view pattern);

}  // namespace hk::archive
