#include "browser/display_text.h"

#include <algorithm>
#include <string_view>

namespace hk::browser {

namespace {

void AppendPieces(std::string_view line, size_t maxPiece, std::vector<std::string_view>& pieces) {
    while (line.size() > maxPiece) {
        size_t cut = maxPiece;
        const size_t blank = line.find_last_of(' ', maxPiece - 1);
        if (blank != std::string_view::npos && blank + 1 >= maxPiece / 2) cut = blank + 1;
        pieces.push_back(line.substr(0, cut));
        line.remove_prefix(cut);
    }
    pieces.push_back(line);
}

}  // namespace

std::string DisplayText(const std::vector<std::string>& lines, const DisplayLimits& limits) {
    std::vector<std::string_view> pieces;
    pieces.reserve(lines.size());
    const size_t maxPiece = std::max<size_t>(limits.maxPiece, 1);
    size_t total = 0;
    for (const auto& line : lines) {
        total += line.size() + 1;
        AppendPieces(line, maxPiece, pieces);
    }
    // The view pays for each paragraph; past the limit, consecutive display
    // lines share one, so that there are never more however many lines the
    // text has.
    const size_t maxParagraphs = std::max<size_t>(limits.maxParagraphs, 1);
    const size_t perParagraph = (pieces.size() + maxParagraphs - 1) / maxParagraphs;
    std::string text;
    text.reserve(total + pieces.size());
    for (size_t i = 0; i < pieces.size(); ++i) {
        if (i) text += i % perParagraph ? kLineInParagraph : '\n';
        text += pieces[i];
    }
    return text;
}

}  // namespace hk::browser
