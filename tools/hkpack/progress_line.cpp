#include "progress_line.h"

#include <unistd.h>

#include <cstdio>

namespace hk::pack {

namespace {

constexpr auto kQuietSpan = std::chrono::seconds(1);
constexpr auto kRefresh = std::chrono::milliseconds(200);  // smooth enough, cheap to write

}  // namespace

ProgressLine::ProgressLine()
    : terminal_(isatty(STDERR_FILENO) == 1), next_(Clock::now() + kQuietSpan) {}

ProgressLine::~ProgressLine() {
    Clear();
}

void ProgressLine::Clear() {
    // Carriage return, then erase to the end of the line.
    if (shown_) std::fputs("\r\x1b[K", stderr);
    shown_ = false;
}

void ProgressLine::Update(size_t done, size_t total) {
    if (!terminal_) return;
    const Clock::time_point now = Clock::now();
    if (now < next_) return;
    next_ = now + kRefresh;
    shown_ = true;
    std::fprintf(stderr, "\r%zu of %zu games", done, total);
    std::fflush(stderr);
}

}  // namespace hk::pack
