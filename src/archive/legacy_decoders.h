#pragma once

#include <cstdint>
#include <span>

#include "archive/member_output.h"

namespace hk::archive {

// The three pre-deflate compression methods of early PKZIP releases. Each call
// decodes one member completely; all state lives on the call's stack.
//
// `input` is the member's whole compressed data, already decrypted (the
// encryption header removed). Damaged data throws DecodeError; input that runs
// out ends decoding quietly, so the CRC check reports the shortfall.

// Method 1: dynamic LZW with partial clearing. An unknown control subcode, a
// code size past 13 bits or a first code cut short throw BadBlock (no data at
// all is an empty member); a string longer than 8192 bytes (only a table bent
// into a loop makes one) throws StackOverflow.
void Unshrink(std::span<const uint8_t> input, MemberOutput& out);

// Methods 2-5 (factor = method - 1, 1..4): probabilistic followers plus LZ77.
// Decoding stops once `uncompressedSize` bytes exist. A follower set of more
// than 32 bytes, or an index past the end of its set, throws BadBlock.
void Unreduce(std::span<const uint8_t> input, int factor, uint32_t uncompressedSize,
              MemberOutput& out);

// Method 6: Shannon-Fano coded LZ77. Flag bit 1 selects the 8 KiB window, bit 2
// the literal tree. Decoding stops once `uncompressedSize` bytes exist. Trees
// whose bit lengths do not fit a code tree throw BadBlock before any byte is
// written (a caller that wants to name the tree too may report AmbiguousTree
// first); codes that overlap, or a code without a symbol, throw AmbiguousTree.
void Explode(std::span<const uint8_t> input, uint16_t generalPurposeFlags,
             uint32_t uncompressedSize, MemberOutput& out);

}  // namespace hk::archive
