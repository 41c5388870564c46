// Inflate on raw deflate streams, with decoders reused across inputs as the
// reader reuses one across members. Input: 3 bytes of declared size, then the
// stream. Where the processor has a faster build of the symbol loop, both
// builds decode every input and must agree byte for byte and on the error.
#include <cstdint>
#include <optional>
#include <vector>

#include "archive/inflate.h"
#include "fuzz_input.h"

namespace {

struct Outcome {
    std::vector<uint8_t> sink;
    std::optional<hk::archive::ErrorCode> error;
    size_t reports = 0;
};

Outcome run(hk::archive::Inflater& inflater, std::span<const uint8_t> stream, size_t expected) {
    // A small ceiling: a deflate bomb is expected to stop there, not to eat memory.
    constexpr size_t kCeiling = size_t{16} << 20;
    Outcome o;
    o.sink = {'x'};  // output lands after what the stream already holds
    try {
        inflater.inflate(
            stream, o.sink, expected, [&](size_t) { return ++o.reports > 1000; }, kCeiling);
    } catch (const hk::archive::DecodeError& e) {
        o.error = e.code();
    }
    if (o.sink.empty() || o.sink[0] != 'x' || o.sink.size() > kCeiling + 1) __builtin_trap();
    return o;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using hk::archive::Inflater;
    static Inflater fastest(Inflater::Instructions::Fastest);
    static Inflater baseline(Inflater::Instructions::Baseline);
    hk::fuzz::Params params(data, size);
    const size_t expected = params.take(3);
    const Outcome a = run(fastest, params.rest(), expected);
    if (!Inflater::bmi2Available()) return 0;
    const Outcome b = run(baseline, params.rest(), expected);
    if (a.sink != b.sink || a.error != b.error || a.reports != b.reports) __builtin_trap();
    return 0;
}
