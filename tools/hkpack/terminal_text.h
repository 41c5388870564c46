#pragma once

#include <string>
#include <string_view>

namespace hk::pack {

// `text` made safe for a terminal: a control character (C0, DEL, C1) or a
// byte that is not part of well-formed UTF-8 becomes a visible escape such as
// "\x1b" or "\u009b", so a name or title from an archive or a source folder can
// neither move the cursor nor retitle the window. Everything else, Cyrillic
// included, passes unchanged; an already escaped text comes back the same.
std::string TerminalText(std::string_view text);

}  // namespace hk::pack
