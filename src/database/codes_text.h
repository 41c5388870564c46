#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Turning a member's bytes into display lines. Text is Windows-1251 bytes throughout.
namespace hk::database {

// Splits a member's bytes into lines: CR, LF and CR LF end a line (the end is
// not kept), a zero byte ends the text, a last line without an end still
// counts, and a trailing line end adds no empty line.
std::vector<std::string> SplitLines(std::span<const uint8_t> bytes);
std::vector<std::string> SplitLines(std::string_view text);

// Replaces every TAB by the 1 to 8 spaces that reach the next 8-column stop,
// counting columns in bytes of the line as expanded so far.
std::string ExpandTabs(std::string_view line);

// 1-based position of the first online-only marker in `line`, 0 when absent.
size_t OnlineMarkerPosition(std::string_view line);

// The vendor-site identifier of an online-only entry: everything after the
// marker, untrimmed. Nothing when `line` does not begin with the marker.
std::optional<std::string> OnlineIdentifier(std::string_view line);

}  // namespace hk::database
