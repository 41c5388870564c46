#pragma once

namespace hk::browser {

// Counts one running piece of work (an extraction, a view) for as long as it
// runs, however it ends. A count rather than a flag: a run nested in another
// must not clear the outer one's mark when it ends.
class DepthSpan {
  public:
    explicit DepthSpan(int& depth) : depth_(depth) { ++depth_; }
    ~DepthSpan() { --depth_; }
    DepthSpan(const DepthSpan&) = delete;
    DepthSpan& operator=(const DepthSpan&) = delete;

  private:
    int& depth_;
};

}  // namespace hk::browser
