#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <type_traits>
#include <vector>

#include "archive/member_output.h"

namespace hk::archive {

// A table-driven Huffman decoding table: a first level indexed by the next
// `rootBits` input bits, with second-level tables for longer codes.
struct HuffmanTable {
    std::vector<uint32_t> entries;
    unsigned rootBits = 0;
};

// An RFC 1951 decoder that writes straight into the storage of the extraction
// stream. Owns its tables, so nothing is rebuilt or reallocated between
// members but the dynamic tables of each block.
class Inflater {
  public:
    // Which build of the symbol loop decodes: the fastest one this processor
    // runs, or the one any processor runs (tests compare the two).
    enum class Instructions { Fastest, Baseline };
    explicit Inflater(Instructions instructions = Instructions::Fastest);
    // Whether Fastest means more than Baseline here.
    static bool bmi2Available();
    // Whether the last inflate decoded any block with the BMI2 build, which
    // a Baseline decoder must never do: it would die on older processors.
    bool ranBmi2Loop() const { return ranBmi2_; }

    // Called about every 32 KiB of output with the member's bytes so far;
    // returning true stops decoding (the cancel flag).
    using Progress = std::function<bool(size_t produced)>;

    // The storage one member is decoded into, seen from the member's first
    // byte. The decoder asks for room in growing steps (the new bytes need
    // not be cleared) and gives the unused tail back when it ends.
    class Output {
      public:
        // Makes the member's storage `bytes` long, keeping what it holds, and
        // returns its first byte.
        virtual uint8_t* grow(size_t bytes) = 0;
        // Cuts the member's storage to `bytes`.
        virtual void trim(size_t bytes) = 0;

      protected:
        ~Output() = default;
    };

    // Decodes `input` into `output`. Input that runs out ends decoding
    // quietly; damaged data throws DecodeError after trimming the output to
    // the bytes decoded so far. `expected` (the header's size) is only a hint
    // for reserving.
    void inflate(std::span<const uint8_t> input, Output& output, size_t expected,
                 const Progress& progress, size_t ceiling = kMemberCeiling);

    // The same, appending to a byte vector (anything with resize and data).
    template <class Bytes>
    requires(!std::is_base_of_v<Output, Bytes>) void inflate(std::span<const uint8_t> input,
                                                             Bytes& sink, size_t expected,
                                                             const Progress& progress,
                                                             size_t ceiling = kMemberCeiling) {
        AppendTo<Bytes> output(sink);
        inflate(input, static_cast<Output&>(output), expected, progress, ceiling);
    }

  private:
    template <class Bytes>
    class AppendTo final : public Output {
      public:
        explicit AppendTo(Bytes& bytes) : bytes_(bytes), start_(bytes.size()) {}
        uint8_t* grow(size_t bytes) override {
            bytes_.resize(start_ + bytes);
            return bytes_.data() + start_;
        }
        void trim(size_t bytes) override { bytes_.resize(start_ + bytes); }

      private:
        Bytes& bytes_;
        size_t start_;
    };

    bool bmi2_;
    bool ranBmi2_ = false;
    HuffmanTable fixedLengths_, fixedDistances_;
    HuffmanTable lengths_, distances_, codeLengths_;
};

}  // namespace hk::archive
