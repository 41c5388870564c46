#include "browser/incremental_search.h"

#include <algorithm>
#include <string_view>
#include <utility>

namespace hk::browser {

IncrementalSearch::IncrementalSearch(UpperCase upper) : upper_(std::move(upper)) {}

void IncrementalSearch::Reset(int previousTextLength, int bestMatchLength) {
    previousTextLength_ = previousTextLength;
    bestMatchLength_ = bestMatchLength;
}

void IncrementalSearch::SetTitles(const std::vector<std::string>& titles) {
    size_t total = 0;
    for (const auto& t : titles) total += t.size();
    upperTitles_.clear();
    upperTitles_.reserve(total);
    titleEnds_.clear();
    titleEnds_.reserve(titles.size());
    for (const auto& t : titles) {
        upperTitles_ += upper_(t);
        titleEnds_.push_back(upperTitles_.size());
    }
}

std::optional<int> IncrementalSearch::Change(const std::string& text) {
    if (text.empty()) return std::nullopt;
    const int length = static_cast<int>(text.size());
    // Deleting back to (or below) the length of the last choice lowers the bar,
    // so the first title matching the whole remaining text wins again.
    if (length <= previousTextLength_) bestMatchLength_ = length - 1;

    // The typed text is upper-cased character by character; in a single-byte
    // code page that is the same as upper-casing it whole.
    const std::string typed = upper_(text);
    for (size_t k = 0, start = 0; k < titleEnds_.size(); start = titleEnds_[k++]) {
        const std::string_view title(upperTitles_.data() + start, titleEnds_[k] - start);
        const size_t limit = std::min(title.size(), typed.size());
        size_t matched = 0;
        while (matched < limit && title[matched] == typed[matched]) ++matched;
        if (static_cast<int>(matched) > bestMatchLength_) {
            bestMatchLength_ = static_cast<int>(matched);
            previousTextLength_ = length;
            return static_cast<int>(k);
        }
    }
    return std::nullopt;
}

}  // namespace hk::browser
