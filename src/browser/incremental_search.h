#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

// The search box's matching rule: it never filters, it only moves the
// selection, extending a matched prefix keystroke by keystroke. The two
// counters remember how far the previous keystrokes got.
namespace hk::browser {

class IncrementalSearch {
  public:
    // Upper-cases one Windows-1251 text the way the code page does.
    using UpperCase = std::function<std::string(const std::string&)>;

    explicit IncrementalSearch(UpperCase upper);

    // The game list in order (Windows-1251). Kept upper-cased, so that a
    // keystroke only compares.
    void SetTitles(const std::vector<std::string>& titles);

    // One change of the search text (Windows-1251). Returns the list index to
    // select, or nothing when the selection stays.
    std::optional<int> Change(const std::string& text);

    // After a successful selection the caller reports the text length it was
    // made for (it is recorded by Change itself; this is for resets).
    void Reset(int previousTextLength, int bestMatchLength);

    int PreviousTextLength() const { return previousTextLength_; }
    int BestMatchLength() const { return bestMatchLength_; }

  private:
    UpperCase upper_;
    // The upper-cased titles one after another, and where each one ends: one
    // buffer for the whole list rather than a string per game.
    std::string upperTitles_;
    std::vector<size_t> titleEnds_;
    int previousTextLength_ = 0;
    int bestMatchLength_ = 0;
};

}  // namespace hk::browser
