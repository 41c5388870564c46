#pragma once

#include <chrono>
#include <cstddef>
#include <functional>

namespace hk::pack {

// Called with the games done so far and the games in all.
using ProgressReport = std::function<void(size_t done, size_t total)>;

// "N of M games" on standard error, rewritten in place, for work that runs
// past a second, and only when standard error is a terminal: a script that
// captures it gets nothing but the errors. The line is wiped when the object
// goes, so whatever is printed next starts on a clean line.
class ProgressLine {
  public:
    ProgressLine();
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    void Update(size_t done, size_t total);
    // Wipes the line, if shown, so that a message can start on a clean line;
    // the next Update draws it again.
    void Clear();
    ProgressReport Report() {
        return [this](size_t done, size_t total) { Update(done, total); };
    }

  private:
    using Clock = std::chrono::steady_clock;
    bool terminal_;
    bool shown_ = false;
    Clock::time_point next_;  // no line before this moment
};

}  // namespace hk::pack
