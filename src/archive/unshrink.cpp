// Method 1, "shrunk": LZW whose codes grow from 9 to 13 bits on request and
// whose table is partially cleared on request instead of being reset.
#include <algorithm>
#include <array>
#include <bit>
#include <memory>
#include <vector>

#include "archive/legacy_bits.h"
#include "archive/legacy_decoders.h"

namespace hk::archive {
namespace {

using legacy::BitReader;
using legacy::InputEnd;

constexpr int kCodeCount = 8192;
constexpr uint32_t kControlCode = 256;
constexpr uint32_t kFirstFreeCode = 257;
constexpr int kFirstCodeSize = 9;
constexpr int kLastCodeSize = 13;
// The longest string a code may stand for; longer chains only arise from a
// table that hostile input bent into a loop.
constexpr size_t kStackSize = 8192;

class ShrinkDecoder {
  public:
    ShrinkDecoder(std::span<const uint8_t> input, MemberOutput& out) : in_(input), out_(out) {
        for (uint32_t code = kFirstFreeCode; code < kCodeCount; ++code) {
            freeBits_[code / 64] |= uint64_t{1} << (code % 64);
            ++freeCount_;
        }
    }

    void run() {
        // No data at all is an empty member, not a damaged one.
        if (in_.fill(1) == 0) return;
        uint32_t previous = 0;
        try {
            previous = in_.bits(codeSize_);
        } catch (const InputEnd&) {
            throw DecodeError(ErrorCode::BadBlock);
        }
        // The encoder starts with a single byte, so the first code must be one.
        if (previous >= kControlCode) throw DecodeError(ErrorCode::BadBlock);
        out_.put(static_cast<uint8_t>(previous));

        try {
            for (;;) {
                const uint32_t code = in_.bits(codeSize_);
                if (code == kControlCode) {
                    control(in_.bits(codeSize_));
                    continue;
                }
                const uint8_t first = emit(code, previous);
                addEntry(previous, first);
                previous = code;
            }
        } catch (const InputEnd&) {
            // The stream has no end marker: it ends with its data.
        }
    }

  private:
    void control(uint32_t subcode) {
        if (subcode == 1) {
            if (codeSize_ == kLastCodeSize) throw DecodeError(ErrorCode::BadBlock);
            ++codeSize_;
        } else if (subcode == 2) {
            partialClear();
        } else {
            throw DecodeError(ErrorCode::BadBlock);
        }
    }

    // Writes the string of `code` and returns its first byte. A code that is not
    // in the table yet is the one the encoder is defining right now: the
    // previous string followed by its own first byte.
    uint8_t emit(uint32_t code, uint32_t previous) {
        if (code >= kFirstFreeCode && !used_[code]) {
            const size_t start = spell(previous, kStackSize - 1);
            stack_[kStackSize - 1] = stack_[start];
            out_.append(stack_.data() + start, kStackSize - start);
            return stack_[start];
        }
        const size_t start = spell(code, kStackSize);
        out_.append(stack_.data() + start, kStackSize - start);
        return stack_[start];
    }

    // Spells `code` backwards into the stack ending at `end`; returns where it starts.
    size_t spell(uint32_t code, size_t end) {
        size_t at = end;
        while (code >= kControlCode) {
            if (at == 0) throw DecodeError(ErrorCode::StackOverflow);
            stack_[--at] = suffix_[code];
            code = prefix_[code];
        }
        if (at == 0) throw DecodeError(ErrorCode::StackOverflow);
        stack_[--at] = static_cast<uint8_t>(code);
        return at;
    }

    // The new code is the lowest free one: that is the order the encoder
    // reuses codes in after a partial clear.
    void addEntry(uint32_t prefix, uint8_t suffix) {
        if (freeCount_ == 0) return;
        size_t word = lowestFree_ / 64;
        while (freeBits_[word] == 0) ++word;
        const auto code = static_cast<uint16_t>(word * 64 + std::countr_zero(freeBits_[word]));
        freeBits_[word] &= freeBits_[word] - 1;
        --freeCount_;
        lowestFree_ = code;
        prefix_[code] = static_cast<uint16_t>(prefix);
        suffix_[code] = suffix;
        used_[code] = true;
        ++children_[prefix];
        if (children_[code] == 0) markLeaf(code);
    }

    // Frees every code that no other code builds on. Codes that become leaves
    // only because of this clear stay until the next one. Leaves are tracked
    // as they appear, so a clear costs what it frees, not the table's size:
    // a stream of nothing but clears must not take quadratic time.
    void partialClear() {
        std::vector<uint16_t> freed;
        for (uint16_t code : leaves_) {
            listed_[code] = false;
            if (used_[code] && children_[code] == 0) freed.push_back(code);
        }
        leaves_.clear();
        for (uint16_t code : freed) {
            used_[code] = false;
            freeBits_[code / 64] |= uint64_t{1} << (code % 64);
            ++freeCount_;
            lowestFree_ = std::min<size_t>(lowestFree_, code);
            const uint16_t prefix = prefix_[code];
            if (--children_[prefix] == 0 && used_[prefix]) markLeaf(prefix);
        }
    }

    void markLeaf(uint16_t code) {
        if (listed_[code]) return;
        listed_[code] = true;
        leaves_.push_back(code);
    }

    BitReader in_;
    MemberOutput& out_;
    int codeSize_ = kFirstCodeSize;
    std::array<uint16_t, kCodeCount> prefix_{};
    std::array<uint8_t, kCodeCount> suffix_{};
    std::array<bool, kCodeCount> used_{};
    // How many codes in use have this code as their prefix.
    std::array<uint16_t, kCodeCount> children_{};
    // Codes in use that may have no children, for the next clear to check.
    std::vector<uint16_t> leaves_;
    std::array<bool, kCodeCount> listed_{};
    std::array<uint64_t, kCodeCount / 64> freeBits_{};
    size_t freeCount_ = 0;
    size_t lowestFree_ = kFirstFreeCode;
    std::array<uint8_t, kStackSize> stack_{};
};

}  // namespace

void Unshrink(std::span<const uint8_t> input, MemberOutput& out) {
    std::make_unique<ShrinkDecoder>(input, out)->run();
}

}  // namespace hk::archive
