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

// Method 1: dynamic LZW with partial clearing.
void Unshrink(std::span<const uint8_t> input, MemberOutput& out);

// Methods 2-5 (factor = method - 1, 1..4): probabilistic followers plus LZ77.
void Unreduce(std::span<const uint8_t> input, int factor, uint32_t uncompressedSize,
              MemberOutput& out);

// Method 6: Shannon-Fano coded LZ77. Flag bit 1 selects the 8 KiB window, bit 2
// the literal tree.
void Explode(std::span<const uint8_t> input, uint16_t generalPurposeFlags,
             uint32_t uncompressedSize, MemberOutput& out);

}  // namespace hk::archive
