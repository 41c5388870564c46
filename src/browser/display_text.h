#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The codes view shows its lines through Qt's plain-text view, which lays out
// a whole paragraph at once and pays for every paragraph it holds: a megabyte
// in one line, or a mebi of lines, would freeze the window for a minute. So
// the view is given its text in display form, where no paragraph is long and
// there are not too many of them. Only the screen sees this form; the lines
// themselves (and so the print-out) stay as stored.
namespace hk::browser {

struct DisplayLimits {
    // A longer line continues on the next display line.
    size_t maxPiece = 1024;
    // A text of more display lines shares each paragraph among several.
    size_t maxParagraphs = 16384;
};

// Separates two display lines of one paragraph. A zero byte never occurs in a
// line (it ends the text), so the view can turn it into a line separator.
inline constexpr char kLineInParagraph = '\0';

// The display form of `lines`: paragraphs separated by '\n', the display
// lines of one paragraph by kLineInParagraph. A line longer than the limit is
// cut after the last blank of a piece where that keeps the piece at least half
// full, so that words stay whole, and otherwise at the limit.
std::string DisplayText(const std::vector<std::string>& lines, const DisplayLimits& limits = {});

}  // namespace hk::browser
