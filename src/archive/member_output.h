#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "archive/errors.h"

namespace hk::archive {

// No member may decode to more than this: a crafted archive must not exhaust
// memory. Reaching it ends the member as damaged data.
inline constexpr size_t kMemberCeiling = size_t{256} << 20;

// The decoded bytes of one member, kept whole in memory. Because everything a
// member produced stays here, it doubles as the decoders' sliding window:
// copyBack reads from the bytes already written. Distances that reach before
// the member's first byte read zeros, as a fresh window would hold.
class MemberOutput {
public:
    explicit MemberOutput(std::vector<uint8_t>& sink, size_t ceiling = kMemberCeiling)
        : sink_(sink), start_(sink.size()), ceiling_(ceiling) {}

    // A hint from the header; capped so a lying header cannot make us reserve gigabytes.
    void expect(size_t bytes) {
        const size_t capped = bytes < ceiling_ ? bytes : ceiling_;
        if (capped > size_t{64} << 20) return;
        sink_.reserve(start_ + capped);
    }

    size_t size() const { return sink_.size() - start_; }
    bool full() const { return size() >= ceiling_; }

    void put(uint8_t byte) {
        ensureRoom(1);
        sink_.push_back(byte);
    }

    void append(const uint8_t* bytes, size_t count) {
        ensureRoom(count);
        sink_.insert(sink_.end(), bytes, bytes + count);
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
        const size_t to = sink_.size();
        sink_.resize(to + length);
        uint8_t* data = sink_.data();
        if (from + length <= to) {
            std::memcpy(data + to, data + from, length);
        } else {
            for (size_t i = 0; i < length; ++i) data[to + i] = data[from + i];
        }
    }

    // The byte `distance` back from the end (0 before the member's first byte).
    uint8_t back(size_t distance) const {
        return distance > size() ? 0 : sink_[sink_.size() - distance];
    }

private:
    void ensureRoom(size_t count) {
        if (count > ceiling_ - std::min(size(), ceiling_)) throw DecodeError(ErrorCode::BadBlock);
    }

    std::vector<uint8_t>& sink_;
    size_t start_;
    size_t ceiling_;
};

}  // namespace hk::archive
