#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "archive/errors.h"
#include "archive/stream_bytes.h"

namespace hk::archive {

// No member may decode to more than this: a crafted archive must not exhaust
// memory. Reaching it ends the member as damaged data.
inline constexpr size_t kMemberCeiling = size_t{256} << 20;

// Thrown by MemberOutput when its progress callback asks to stop (the run was
// canceled); the member then ends with what it has, like input that ran out.
struct DecodingStopped {};

// The decoded bytes of one member, kept whole in memory. Because everything a
// member produced stays here, it doubles as the decoders' sliding window:
// copyBack reads from the bytes already written. Distances that reach before
// the member's first byte read zeros, as a fresh window would hold.
//
// Bytes are only ever appended, never zero-filled first; the vector's own
// growth doubles its room, so each byte is moved at most once per doubling.
class MemberOutput {
  public:
    // Called with the member's size so far after every 32 KiB of output;
    // returning true stops decoding (DecodingStopped).
    using Progress = std::function<bool(size_t produced)>;
    static constexpr size_t kProgressStep = 32768;

    explicit MemberOutput(StreamBytes& sink, size_t ceiling = kMemberCeiling,
                          Progress progress = {})
        : sink_(sink), start_(sink.size()), ceiling_(ceiling), progress_(std::move(progress)) {}

    size_t size() const { return sink_.size() - start_; }
    bool full() const { return size() >= ceiling_; }

    void put(uint8_t byte) {
        ensureRoom(1);
        sink_.push_back(byte);
        written();
    }

    void append(const uint8_t* bytes, size_t count) {
        ensureRoom(count);
        sink_.insert(sink_.end(), bytes, bytes + count);
        written();
    }

    // Copies `length` bytes starting `distance` bytes back; overlapping copies
    // repeat the pattern, as LZ77 requires.
    void copyBack(size_t distance, size_t length) {
        ensureRoom(length);
        const size_t produced = size();
        size_t from = sink_.size();
        if (distance > produced) {
            const size_t zeros = std::min(length, distance - produced);
            sink_.insert(sink_.end(), zeros, uint8_t{0});
            length -= zeros;
            from = start_;
        } else {
            from -= distance;
        }
        // With the room made first, appending cannot move the bytes being read.
        if (sink_.capacity() - sink_.size() < length)
            sink_.reserve(std::max(sink_.size() + length, sink_.capacity() * 2));
        for (size_t i = 0; i < length; ++i) sink_.push_back(sink_[from + i]);
        written();
    }

    // The byte `distance` back from the end (0 before the member's first byte).
    uint8_t back(size_t distance) const {
        return distance > size() ? 0 : sink_[sink_.size() - distance];
    }

  private:
    void ensureRoom(size_t count) {
        if (count > ceiling_ - std::min(size(), ceiling_)) throw DecodeError(ErrorCode::BadBlock);
    }

    void written() {
        if (size() < nextProgress_) return;
        nextProgress_ = (size() / kProgressStep + 1) * kProgressStep;
        if (progress_ && progress_(size())) throw DecodingStopped{};
    }

    StreamBytes& sink_;
    size_t start_;
    size_t ceiling_;
    Progress progress_;
    size_t nextProgress_ = kProgressStep;
};

}  // namespace hk::archive
