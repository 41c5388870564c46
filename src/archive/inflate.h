#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "archive/member_output.h"

namespace hk::archive {

// A table-driven Huffman decoding table: a first level indexed by the next
// `rootBits` input bits, with second-level tables for longer codes.
struct HuffmanTable {
    std::vector<uint32_t> entries;
    unsigned rootBits = 0;
};

// An RFC 1951 decoder that writes straight into the growing byte vector of
// the extraction stream. Owns its tables, so nothing is rebuilt or
// reallocated between members but the dynamic tables of each block.
class Inflater {
  public:
    Inflater();

    // Called about every 32 KiB of output with the member's bytes so far;
    // returning true stops decoding (the cancel flag).
    using Progress = std::function<bool(size_t produced)>;

    // Decodes `input` and appends the result to `sink`. Input that runs out
    // ends decoding quietly; damaged data throws DecodeError after trimming
    // `sink` to the bytes decoded so far. `expected` (the header's size) is
    // only a hint for reserving.
    void inflate(std::span<const uint8_t> input, std::vector<uint8_t>& sink, size_t expected,
                 const Progress& progress, size_t ceiling = kMemberCeiling);

  private:
    HuffmanTable fixedLengths_, fixedDistances_;
    HuffmanTable lengths_, distances_, codeLengths_;
};

}  // namespace hk::archive
