// Methods 2-5, "reduced": bytes are coded against a follower set of the byte
// before them, and the byte stream so produced carries LZ77 matches escaped
// by the byte 144.
#include <algorithm>
#include <array>
#include <stdexcept>

#include "archive/legacy_bits.h"
#include "archive/legacy_decoders.h"

namespace hk::archive {
namespace {

using legacy::BitReader;
using legacy::InputEnd;

constexpr uint8_t kDle = 144;
constexpr size_t kMaxFollowers = 32;
constexpr size_t kMinMatch = 3;

// Bits of a follower index for a set of `count` members (at least one bit).
int indexBits(size_t count) {
    int bits = 1;
    while ((size_t{1} << bits) < count) ++bits;
    return bits;
}

struct FollowerSet {
    uint8_t count = 0;
    int indexBits = 0;
    std::array<uint8_t, kMaxFollowers> bytes{};
};

class ReduceDecoder {
  public:
    ReduceDecoder(std::span<const uint8_t> input, int factor, uint32_t size, MemberOutput& out)
        : in_(input), factor_(factor), size_(size), out_(out) {}

    void run() {
        try {
            readFollowerSets();
            decode();
        } catch (const InputEnd&) {
            // Short input: what was decoded stays, the CRC check judges it.
        }
    }

  private:
    // Sets are stored from byte 255 down to byte 0.
    void readFollowerSets() {
        for (int byte = 255; byte >= 0; --byte) {
            FollowerSet& set = sets_[byte];
            const uint32_t count = in_.bits(6);
            // A 6-bit count can say 63, but no encoder keeps more than 32 followers.
            if (count > kMaxFollowers) throw DecodeError(ErrorCode::BadBlock);
            set.count = static_cast<uint8_t>(count);
            set.indexBits = indexBits(count);
            for (uint32_t i = 0; i < count; ++i) set.bytes[i] = static_cast<uint8_t>(in_.bits(8));
        }
    }

    // The size from the header ends the member: the last byte's padding bits
    // would otherwise decode as bytes that were never compressed.
    void decode() {
        const uint32_t lengthMask = 0xFFu >> factor_;
        while (out_.size() < size_) {
            const uint8_t byte = next();
            if (byte != kDle) {
                out_.put(byte);
                continue;
            }
            const uint8_t code = next();
            if (code == 0) {
                out_.put(kDle);
                continue;
            }
            size_t length = code & lengthMask;
            if (length == lengthMask) length += next();
            length += kMinMatch;
            const size_t distance = (static_cast<size_t>(code >> (8 - factor_)) << 8) + next() + 1;
            out_.copyBack(distance, std::min(length, size_ - out_.size()));
        }
    }

    uint8_t next() {
        const FollowerSet& set = sets_[last_];
        if (set.count == 0 || in_.bits(1) == 1) {
            last_ = static_cast<uint8_t>(in_.bits(8));
        } else {
            const uint32_t index = in_.bits(set.indexBits);
            if (index >= set.count) throw DecodeError(ErrorCode::BadBlock);
            last_ = set.bytes[index];
        }
        return last_;
    }

    BitReader in_;
    int factor_;
    size_t size_;
    MemberOutput& out_;
    std::array<FollowerSet, 256> sets_{};
    uint8_t last_ = 0;
};

}  // namespace

void Unreduce(std::span<const uint8_t> input, int factor, uint32_t uncompressedSize,
              MemberOutput& out) {
    if (factor < 1 || factor > 4) throw std::invalid_argument("reduce factor must be 1 to 4");
    ReduceDecoder(input, factor, uncompressedSize, out).run();
}

}  // namespace hk::archive
