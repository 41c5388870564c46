// Unshrink on raw streams: any input ends in bytes or a DecodeError.
#include <cstdint>
#include <vector>

#include "archive/legacy_decoders.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    hk::archive::StreamBytes sink;
    hk::archive::MemberOutput out(sink);
    try {
        hk::archive::Unshrink({data, size}, out);
    } catch (const hk::archive::DecodeError&) {
    }
    // Every code takes at least 9 bits and spells at most 8192 bytes.
    if (sink.size() > (size * 8 / 9 + 1) * 8192) __builtin_trap();
    return 0;
}
