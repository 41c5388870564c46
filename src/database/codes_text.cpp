#include "database/codes_text.h"

#include <algorithm>

#include "database/database_constants.h"

namespace hk::database {

std::vector<std::string> SplitLines(std::string_view text) {
    // A zero byte ends the text as if the member stopped there.
    text = text.substr(0, std::min(text.find('\0'), text.size()));
    std::vector<std::string> lines;
    // The index members hold a line per game: one allocation for the whole
    // list instead of a doubling through twice its size. (CR LF counts twice;
    // the room never written costs nothing.)
    lines.reserve(static_cast<size_t>(std::count(text.begin(), text.end(), '\n') +
                                      std::count(text.begin(), text.end(), '\r')) +
                  1);
    // The next CR and the next LF are each found by a vector search and kept
    // until passed: find_first_of would test the two bytes one text byte at a
    // time, which on a line of megabytes is most of a second.
    const auto next = [text](char c, size_t from) {
        return std::min(text.find(c, from), text.size());
    };
    size_t start = 0, cr = next('\r', 0), lf = next('\n', 0);
    while (start < text.size()) {
        const size_t end = std::min(cr, lf);
        lines.emplace_back(text.substr(start, end - start));
        if (end == text.size()) break;
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
        if (cr < start) cr = next('\r', start);
        if (lf < start) lf = next('\n', start);
    }
    return lines;
}

std::vector<std::string> SplitLines(std::span<const uint8_t> bytes) {
    return SplitLines(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

std::string ExpandTabs(std::string_view line) {
    std::string out;
    out.reserve(line.size() + 8 * static_cast<size_t>(std::count(line.begin(), line.end(), '\t')));
    for (const char c : line) {
        if (c == '\t') {
            out.append(8 - out.size() % 8, ' ');
        } else {
            out.push_back(c);
        }
    }
    return out;
}

size_t OnlineMarkerPosition(std::string_view line) {
    const size_t at = line.find(kOnlineMarker);
    return at == std::string_view::npos ? 0 : at + 1;
}

std::optional<std::string> OnlineIdentifier(std::string_view line) {
    if (!line.starts_with(kOnlineMarker)) return std::nullopt;
    return std::string(line.substr(kOnlineMarker.size()));
}

}  // namespace hk::database
