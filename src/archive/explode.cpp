// Method 6, "imploded": LZ77 over a 4 or 8 KiB window whose literals, match
// lengths and distance high bits are Shannon-Fano coded.
#include <algorithm>
#include <vector>

#include "archive/legacy_bits.h"
#include "archive/legacy_decoders.h"

namespace hk::archive {
namespace {

using legacy::BitReader;
using legacy::InputEnd;

constexpr int kMaxCodeLength = 16;
constexpr uint16_t kBigWindowFlag = 0x02;
constexpr uint16_t kLiteralTreeFlag = 0x04;
constexpr uint32_t kLongLength = 63;  // a length code that takes 8 more bits

// A decode table indexed by as many next input bits as the longest code has.
// Codes travel most significant bit first while the reader hands out the least
// significant bit first, so a code of length n owns every index whose low n
// bits are its reversed code. An entry is (length << 8) | symbol; 0 is a hole.
class ShannonFanoTable {
  public:
    // Reads the run-length coded bit lengths of `symbols` codes: a count byte
    // (entries - 1), then per entry (repeats - 1) << 4 | (bit length - 1).
    void read(BitReader& in, size_t symbols) {
        std::vector<uint8_t> lengths;
        lengths.reserve(symbols);
        const uint32_t entries = in.bits(8) + 1;
        for (uint32_t i = 0; i < entries; ++i) {
            const uint32_t entry = in.bits(8);
            const size_t repeats = (entry >> 4) + 1;
            if (lengths.size() + repeats > symbols) throw DecodeError(ErrorCode::BadBlock);
            lengths.insert(lengths.end(), repeats, static_cast<uint8_t>((entry & 15) + 1));
        }
        if (lengths.size() != symbols) throw DecodeError(ErrorCode::BadBlock);
        build(lengths);
    }

    uint8_t decode(BitReader& in) const {
        const int available = in.fill(bits_);
        const uint16_t entry = entries_[in.peek() & mask_];
        const int length = entry >> 8;
        if (entry == 0 || length > available) {
            if (available < bits_) throw InputEnd{};
            throw DecodeError(ErrorCode::AmbiguousTree);
        }
        in.drop(length);
        return static_cast<uint8_t>(entry);
    }

  private:
    // Codes are dealt out from the longest (code 0) towards the shortest, each
    // a step of 2^(16 - length) above the one before, ties taken from the
    // highest symbol down. A step beyond 16 bits means the lengths describe
    // more codes than a tree holds.
    void build(const std::vector<uint8_t>& lengths) {
        std::vector<uint16_t> order(lengths.size());
        for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<uint16_t>(i);
        std::stable_sort(order.begin(), order.end(),
                         [&](uint16_t a, uint16_t b) { return lengths[a] < lengths[b]; });
        bits_ = *std::max_element(lengths.begin(), lengths.end());
        mask_ = (uint32_t{1} << bits_) - 1;
        entries_.assign(size_t{1} << bits_, 0);
        uint32_t code = 0;
        uint32_t step = 0;
        int lastLength = 0;
        for (auto it = order.rbegin(); it != order.rend(); ++it) {
            const int length = lengths[*it];
            code += step;
            if (length != lastLength) {
                lastLength = length;
                step = uint32_t{1} << (kMaxCodeLength - length);
            }
            if (code > 0xFFFF) throw DecodeError(ErrorCode::BadBlock);
            place(code >> (kMaxCodeLength - length), length, static_cast<uint8_t>(*it));
        }
    }

    void place(uint32_t code, int length, uint8_t symbol) {
        uint32_t reversed = 0;
        for (int i = 0; i < length; ++i) reversed |= ((code >> i) & 1) << (length - 1 - i);
        const uint16_t entry = static_cast<uint16_t>(length << 8 | symbol);
        for (uint32_t index = reversed; index <= mask_; index += uint32_t{1} << length) {
            // Lengths whose codes are not prefix-free: one code sits inside another.
            if (entries_[index] != 0) throw DecodeError(ErrorCode::AmbiguousTree);
            entries_[index] = entry;
        }
    }

    int bits_ = 0;
    uint32_t mask_ = 0;
    std::vector<uint16_t> entries_;
};

class ExplodeDecoder {
  public:
    ExplodeDecoder(std::span<const uint8_t> input, uint16_t flags, uint32_t size, MemberOutput& out)
        : in_(input),
          literalTree_((flags & kLiteralTreeFlag) != 0),
          distanceLowBits_((flags & kBigWindowFlag) != 0 ? 7 : 6),
          minMatch_(literalTree_ ? 3 : 2),
          size_(size),
          out_(out) {}

    void run() {
        try {
            if (literalTree_) literals_.read(in_, 256);
            lengths_.read(in_, 64);
            distances_.read(in_, 64);
            decode();
        } catch (const InputEnd&) {
            // Short input: what was decoded stays, the CRC check judges it.
        }
    }

  private:
    void decode() {
        while (out_.size() < size_) {
            if (in_.bits(1) == 1) {
                out_.put(literalTree_ ? literals_.decode(in_) : static_cast<uint8_t>(in_.bits(8)));
                continue;
            }
            const uint32_t low = in_.bits(distanceLowBits_);
            const size_t distance =
                ((size_t{distances_.decode(in_)} << distanceLowBits_) | low) + 1;
            size_t length = lengths_.decode(in_);
            if (length == kLongLength) length += in_.bits(8);
            length += minMatch_;
            out_.copyBack(distance, std::min(length, size_ - out_.size()));
        }
    }

    BitReader in_;
    bool literalTree_;
    int distanceLowBits_;
    size_t minMatch_;
    size_t size_;
    MemberOutput& out_;
    ShannonFanoTable literals_;
    ShannonFanoTable lengths_;
    ShannonFanoTable distances_;
};

}  // namespace

void Explode(std::span<const uint8_t> input, uint16_t generalPurposeFlags,
             uint32_t uncompressedSize, MemberOutput& out) {
    ExplodeDecoder(input, generalPurposeFlags, uncompressedSize, out).run();
}

}  // namespace hk::archive
