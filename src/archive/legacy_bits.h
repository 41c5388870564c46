#pragma once

#include <cstdint>
#include <span>

namespace hk::archive::legacy {

// Thrown inside the legacy decoders when the compressed data runs out. Each
// decoder catches it at its top: running out of input ends a member quietly and
// leaves the verdict to the CRC check.
struct InputEnd {};

// Least-significant-bit-first reader over a member's whole compressed data.
// Bits above the available count read as zero, so a table lookup near the end
// of the input may peek safely and then check how many bits were really there.
class BitReader {
  public:
    explicit BitReader(std::span<const uint8_t> input)
        : next_(input.data()), end_(input.data() + input.size()) {}

    // Tries to make `wanted` (at most 32) bits available; returns how many are.
    int fill(int wanted) {
        while (count_ < wanted && next_ != end_) {
            buffer_ |= uint64_t{*next_++} << count_;
            count_ += 8;
        }
        return count_;
    }

    uint32_t peek() const { return static_cast<uint32_t>(buffer_); }

    void drop(int count) {
        buffer_ >>= count;
        count_ -= count;
    }

    // The next `count` (1..16) bits; throws InputEnd when the input holds fewer.
    uint32_t bits(int count) {
        if (fill(count) < count) throw InputEnd{};
        const uint32_t value = peek() & ((uint32_t{1} << count) - 1);
        drop(count);
        return value;
    }

  private:
    const uint8_t* next_;
    const uint8_t* end_;
    uint64_t buffer_ = 0;
    int count_ = 0;
};

}  // namespace hk::archive::legacy
