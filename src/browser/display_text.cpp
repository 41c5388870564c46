#include "browser/display_text.h"

#include <algorithm>
#include <string_view>

namespace hk::browser {

namespace {

// Calls `piece` with each display line of `line`, in order.
template <class F>
void ForEachPiece(std::string_view line, size_t maxPiece, F&& piece) {
    while (line.size() > maxPiece) {
        size_t cut = maxPiece;
        const size_t blank = line.find_last_of(' ', maxPiece - 1);
        if (blank != std::string_view::npos && blank + 1 >= maxPiece / 2) cut = blank + 1;
        piece(line.substr(0, cut));
        line.remove_prefix(cut);
    }
    piece(line);
}

}  // namespace

std::string DisplayText(const std::vector<std::string>& lines, const DisplayLimits& limits) {
    const size_t maxPiece = std::max<size_t>(limits.maxPiece, 1);
    size_t pieces = 0, total = 0;
    for (const auto& line : lines) {
        total += line.size() + 1;
        ForEachPiece(line, maxPiece, [&pieces](std::string_view) { ++pieces; });
    }
    // The view pays for each paragraph; past the limit, consecutive display
    // lines share one, so that there are never more however many lines the
    // text has.
    const size_t maxParagraphs = std::max<size_t>(limits.maxParagraphs, 1);
    const size_t perParagraph = (pieces + maxParagraphs - 1) / maxParagraphs;
    std::string text;
    text.reserve(total + pieces);
    size_t i = 0;
    for (const auto& line : lines) {
        ForEachPiece(line, maxPiece, [&](std::string_view piece) {
            if (i) text += i % perParagraph ? kLineInParagraph : '\n';
            text += piece;
            ++i;
        });
    }
    return text;
}

}  // namespace hk::browser
