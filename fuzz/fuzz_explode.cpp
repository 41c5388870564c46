// Explode on raw streams. Input: 2 flag bytes, 3 size bytes, then the stream.
#include <cstdint>
#include <vector>

#include "archive/legacy_decoders.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    hk::fuzz::Params params(data, size);
    const auto flags = static_cast<uint16_t>(params.take(2));
    const uint32_t expected =
        params.take(3) & 0x1FFFF;  // 128 KiB: well past the window, still fast
    hk::archive::StreamBytes sink;
    hk::archive::MemberOutput out(sink);
    try {
        hk::archive::Explode(params.rest(), flags, expected, out);
    } catch (const hk::archive::DecodeError&) {
    }
    if (sink.size() > expected) __builtin_trap();
    return 0;
}
