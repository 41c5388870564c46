// Inflate on raw deflate streams, with one decoder reused across inputs as the
// reader reuses it across members. Input: 3 bytes of declared size, then the stream.
#include <cstdint>
#include <vector>

#include "archive/inflate.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static hk::archive::Inflater inflater;
    hk::fuzz::Params params(data, size);
    const size_t expected = params.take(3);
    // A small ceiling: a deflate bomb is expected to stop there, not to eat memory.
    constexpr size_t kCeiling = size_t{16} << 20;
    std::vector<uint8_t> sink = {'x'};  // output lands after what the stream already holds
    size_t reports = 0;
    try {
        inflater.inflate(
            params.rest(), sink, expected, [&](size_t) { return ++reports > 1000; }, kCeiling);
    } catch (const hk::archive::DecodeError&) {
    }
    if (sink.empty() || sink[0] != 'x' || sink.size() > kCeiling + 1) __builtin_trap();
    return 0;
}
