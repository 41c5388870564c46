// The deflate decoder on streams built bit by bit, and on zlib's output.
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "archive/inflate.h"

namespace hk::archive {
namespace {

// Writes an LSB-first bit stream; Huffman codes go most significant bit first.
class BitWriter {
  public:
    void bits(uint32_t value, unsigned count) {
        for (unsigned i = 0; i < count; ++i) bit((value >> i) & 1);
    }
    void code(uint32_t code, unsigned length) {
        for (unsigned i = length; i-- > 0;) bit((code >> i) & 1);
    }
    void alignAndBytes(const std::vector<uint8_t>& raw) {
        used_ = 0;
        out_.insert(out_.end(), raw.begin(), raw.end());
    }
    std::vector<uint8_t> bytes() const { return out_; }

  private:
    void bit(unsigned b) {
        if (used_ == 0) out_.push_back(0);
        out_.back() |= static_cast<uint8_t>(b << used_);
        used_ = (used_ + 1) % 8;
    }
    std::vector<uint8_t> out_;
    unsigned used_ = 0;
};

// Fixed literal/length codes of RFC 1951, 3.2.6.
void fixedSymbol(BitWriter& w, unsigned symbol) {
    if (symbol < 144)
        w.code(0x30 + symbol, 8);
    else if (symbol < 256)
        w.code(0x190 + symbol - 144, 9);
    else if (symbol < 280)
        w.code(symbol - 256, 7);
    else
        w.code(0xC0 + symbol - 280, 8);
}

std::string inflateToString(const std::vector<uint8_t>& stream, size_t ceiling = kMemberCeiling) {
    Inflater inflater;
    std::vector<uint8_t> out;
    inflater.inflate(stream, out, 0, nullptr, ceiling);
    return std::string(out.begin(), out.end());
}

ErrorCode failureOf(const std::vector<uint8_t>& stream) {
    try {
        inflateToString(stream);
    } catch (const DecodeError& e) {
        return e.code();
    }
    return ErrorCode{};
}

std::vector<uint8_t> zlibDeflate(const std::vector<uint8_t>& data, int level, int strategy) {
    z_stream z{};
    EXPECT_EQ(deflateInit2(&z, level, Z_DEFLATED, -15, 8, strategy), Z_OK);
    std::vector<uint8_t> out(deflateBound(&z, data.size()) + 16);
    z.next_in = const_cast<uint8_t*>(data.data());
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

std::vector<uint8_t> sampleText(size_t size, unsigned seed) {
    std::mt19937 rng(seed);
    const char* words[] = {"IDDQD ", "level ", "password ", "\r\n", "god mode ", "7 ", "ammo "};
    std::vector<uint8_t> out;
    while (out.size() < size) {
        const std::string w = words[rng() % 7];
        out.insert(out.end(), w.begin(), w.end());
        if (rng() % 40 == 0) out.push_back(static_cast<uint8_t>(rng()));
    }
    out.resize(size);
    return out;
}

// Memory whose readable part ends at an unreadable page: a stream placed at
// its very end makes any read past the stream stop the test, whatever slack
// an allocator would have left behind a buffer.
class GuardedBytes {
  public:
    explicit GuardedBytes(size_t capacity) {
        const auto page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
        readable_ = (capacity + page - 1) / page * page;
        void* map = mmap(nullptr, readable_ + page, PROT_READ | PROT_WRITE,
                         MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (map == MAP_FAILED) throw std::runtime_error("mmap failed");
        base_ = static_cast<uint8_t*>(map);
        if (mprotect(base_ + readable_, page, PROT_NONE) != 0)
            throw std::runtime_error("mprotect failed");
        mapped_ = readable_ + page;
    }
    ~GuardedBytes() { munmap(base_, mapped_); }
    GuardedBytes(const GuardedBytes&) = delete;
    GuardedBytes& operator=(const GuardedBytes&) = delete;

    std::span<const uint8_t> place(const uint8_t* bytes, size_t size) {
        uint8_t* at = base_ + readable_ - size;
        std::copy_n(bytes, size, at);
        return {at, size};
    }

  private:
    uint8_t* base_ = nullptr;
    size_t readable_ = 0, mapped_ = 0;
};

TEST(InflateBlocks, EmptyFinalStoredBlockYieldsNothing) {
    EXPECT_EQ(inflateToString({0x01, 0x00, 0x00, 0xFF, 0xFF}), "");
}

TEST(InflateBlocks, StoredBlocksCopyTheirBytes) {
    BitWriter w;
    w.bits(0, 1);
    w.bits(0, 2);
    w.alignAndBytes({3, 0, 0xFC, 0xFF, 'a', 'b', 'c'});
    w.bits(1, 1);
    w.bits(0, 2);
    w.alignAndBytes({1, 0, 0xFE, 0xFF, 'd'});
    EXPECT_EQ(inflateToString(w.bytes()), "abcd");

    // LEN and NLEN disagree.
    EXPECT_EQ(failureOf({0x01, 0x03, 0x00, 0xFC, 0xFE, 'a', 'b', 'c'}), ErrorCode::BadBlock);
}

TEST(InflateBlocks, FixedCodesWithOverlappingMatch) {
    BitWriter w;
    w.bits(1, 1);
    w.bits(1, 2);
    for (char c : std::string("abc")) fixedSymbol(w, static_cast<uint8_t>(c));
    fixedSymbol(w, 260);  // length 6
    w.code(2, 5);         // distance 3
    fixedSymbol(w, 256);
    EXPECT_EQ(inflateToString(w.bytes()), "abcabcabc");
}

TEST(InflateBlocks, ReservedCodesInFixedBlocksAreBadBlocks) {
    for (unsigned reserved : {286u, 287u}) {
        BitWriter w;
        w.bits(1, 1);
        w.bits(1, 2);
        fixedSymbol(w, 'a');
        fixedSymbol(w, reserved);
        EXPECT_EQ(failureOf(w.bytes()), ErrorCode::BadBlock) << reserved;
    }
    BitWriter w;
    w.bits(1, 1);
    w.bits(1, 2);
    fixedSymbol(w, 'a');
    fixedSymbol(w, 257);
    w.code(30, 5);  // distance code 30 does not exist
    EXPECT_EQ(failureOf(w.bytes()), ErrorCode::BadBlock);
}

TEST(InflateBlocks, BlockTypeThreeIsABadBlock) {
    EXPECT_EQ(failureOf({0x07, 0, 0}), ErrorCode::BadBlock);
}

// A dynamic block declaring all 288 literal/length and 32 distance codes:
// symbols 0-223 get 8-bit codes, 224-287 9-bit codes, distances 5 bits.
BitWriter dynamicHeader288() {
    BitWriter w;
    w.bits(1, 1);
    w.bits(2, 2);
    w.bits(31, 5);  // HLIT: 288
    w.bits(31, 5);  // HDIST: 32
    w.bits(6, 4);   // HCLEN: 10 code-length code lengths
    // Order 16 17 18 0 8 7 9 6 10 5: only 8 (1 bit), 9 and 5 (2 bits) are used.
    for (unsigned len : {0, 0, 0, 0, 1, 0, 2, 0, 0, 2}) w.bits(len, 3);
    for (int i = 0; i < 224; ++i) w.code(0, 1);  // length 8
    for (int i = 0; i < 64; ++i) w.code(3, 2);   // length 9
    for (int i = 0; i < 32; ++i) w.code(2, 2);   // length 5
    return w;
}

void dynamicSymbol(BitWriter& w, unsigned symbol) {
    if (symbol < 224)
        w.code(symbol, 8);
    else
        w.code(448 + symbol - 224, 9);
}

TEST(InflateBlocks, DynamicBlockWith288And32CodesIsAccepted) {
    BitWriter w = dynamicHeader288();
    dynamicSymbol(w, 'A');
    dynamicSymbol(w, 250);
    dynamicSymbol(w, 257);  // length 3
    w.code(0, 5);           // distance 1
    dynamicSymbol(w, 256);
    EXPECT_EQ(inflateToString(w.bytes()), "A\xFA\xFA\xFA\xFA");

    BitWriter bad = dynamicHeader288();
    dynamicSymbol(bad, 'A');
    dynamicSymbol(bad, 287);
    EXPECT_EQ(failureOf(bad.bytes()), ErrorCode::IncompleteCodeSet);
}

TEST(InflateBlocks, BrokenCodeLengthsAreIncompleteCodeSets) {
    {  // the code-length code has one 2-bit code only
        BitWriter w;
        w.bits(1, 1);
        w.bits(2, 2);
        w.bits(0, 5);
        w.bits(0, 5);
        w.bits(0, 4);
        for (unsigned len : {0, 0, 0, 2}) w.bits(len, 3);
        EXPECT_EQ(failureOf(w.bytes()), ErrorCode::IncompleteCodeSet);
    }
    {  // a repeat running past HLIT + HDIST
        BitWriter w;
        w.bits(1, 1);
        w.bits(2, 2);
        w.bits(0, 5);                                      // 257
        w.bits(0, 5);                                      // 1
        w.bits(0, 4);                                      // 4 code-length lengths: 16 17 18 0
        for (unsigned len : {0, 0, 1, 1}) w.bits(len, 3);  // 18 -> "1", 0 -> "0"
        w.code(1, 1);
        w.bits(127, 7);  // 138 zeros
        w.code(1, 1);
        w.bits(127, 7);  // 138 more: past 258
        EXPECT_EQ(failureOf(w.bytes()), ErrorCode::IncompleteCodeSet);
    }
    {  // literal/length lengths over-subscribed: three 1-bit codes
        BitWriter w;
        w.bits(1, 1);
        w.bits(2, 2);
        w.bits(0, 5);
        w.bits(0, 5);
        w.bits(14, 4);  // 18 code-length lengths, up to symbol 1
        // 16 17 18 0 8 7 9 6 10 5 11 4 12 3 13 2 14 1
        for (unsigned len : {0, 0, 2, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}) w.bits(len, 3);
        // code-length codes: 1 -> "0", 0 -> "10", 18 -> "11"
        for (int i = 0; i < 3; ++i) w.code(0, 1);
        w.code(3, 2);
        w.bits(127, 7);  // 138 zeros
        w.code(3, 2);
        w.bits(106, 7);  // 117 zeros: 258 lengths in all
        EXPECT_EQ(failureOf(w.bytes()), ErrorCode::IncompleteCodeSet);
    }
}

TEST(InflateBlocks, RepeatAfterAZeroRunRepeatsZero) {
    // 'A' and 'B' get 2-bit codes and the end of block a 1-bit code; the lengths
    // between run 2 2 | 17 | 16, where 16 copies the 0 that 17 wrote, not the 2.
    BitWriter w;
    w.bits(1, 1);
    w.bits(2, 2);
    w.bits(0, 5);   // HLIT: 257
    w.bits(1, 5);   // HDIST: 2
    w.bits(14, 4);  // HCLEN: 18, up to the length of symbol 1
    // 16 17 18 0 8 7 9 6 10 5 11 4 12 3 13 2 14 1
    for (unsigned len : {2, 3, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 2}) w.bits(len, 3);
    // Code-length codes: 1 -> 00, 2 -> 01, 16 -> 10, 17 -> 110, 18 -> 111.
    w.code(7, 3);
    w.bits(54, 7);  // 65 zeros: 0-64
    w.code(1, 2);
    w.code(1, 2);  // 'A', 'B': 2
    w.code(6, 3);
    w.bits(0, 3);  // 3 zeros: 67-69
    w.code(2, 2);
    w.bits(0, 2);  // 3 more of the previous length: 70-72
    w.code(7, 3);
    w.bits(127, 7);  // 138 zeros: 73-210
    w.code(7, 3);
    w.bits(34, 7);  // 45 zeros: 211-255
    w.code(0, 2);   // end of block: 1
    w.code(0, 2);
    w.code(0, 2);  // two distances: 1
    w.code(2, 2);  // 'A'
    w.code(3, 2);  // 'B'
    w.code(0, 1);  // end of block
    EXPECT_EQ(inflateToString(w.bytes()), "AB");
}

TEST(InflateBlocks, DistancesBeforeTheFirstByteReadZeros) {
    BitWriter w;
    w.bits(1, 1);
    w.bits(1, 2);
    fixedSymbol(w, 'x');
    fixedSymbol(w, 257);  // length 3
    w.code(2, 5);         // distance 3: two bytes before the start, then 'x'
    fixedSymbol(w, 256);
    Inflater inflater;
    std::vector<uint8_t> out{'P', 'R', 'E'};  // an earlier member's bytes are not the window
    inflater.inflate(w.bytes(), out, 0, nullptr);
    EXPECT_EQ(std::string(out.begin(), out.end()), std::string("PREx\0\0x", 7));
}

TEST(InflateBlocks, DistancesBeforeTheFirstByteReadZerosAlsoInLongBlocks) {
    // A match reaching before the start with plenty of input behind it, then
    // one reaching far back into it.
    BitWriter w;
    w.bits(1, 1);
    w.bits(1, 2);
    fixedSymbol(w, 'x');
    fixedSymbol(w, 284);  // length 227 + 5 extra bits
    w.bits(30, 5);        // 257
    w.code(12, 5);        // distance 65 + 5 extra bits
    w.bits(3, 5);         // 68
    for (int i = 0; i < 300; ++i) fixedSymbol(w, 'y');
    fixedSymbol(w, 267);  // length 15 + 1 extra bit
    w.bits(1, 1);         // 16
    w.code(16, 5);        // distance 257 + 7 extra bits
    w.bits(66, 7);        // 323
    fixedSymbol(w, 256);

    std::vector<uint8_t> expected = {'x'};
    auto copy = [&](size_t distance, size_t length) {
        for (size_t i = 0; i < length; ++i) {
            const size_t at = expected.size();
            expected.push_back(distance > at ? 0 : expected[at - distance]);
        }
    };
    copy(68, 257);
    expected.insert(expected.end(), 300, 'y');
    copy(323, 16);
    EXPECT_EQ(inflateToString(w.bytes()), std::string(expected.begin(), expected.end()));
}

TEST(InflateAgainstZlib, EveryLevelAndStrategyRoundTrips) {
    std::mt19937 rng(7);
    std::vector<uint8_t> noise(100000);
    for (auto& b : noise) b = static_cast<uint8_t>(rng());
    const std::vector<std::vector<uint8_t>> inputs = {{},
                                                      {'a'},
                                                      sampleText(70000, 1),
                                                      sampleText(1 << 20, 2),
                                                      noise,
                                                      std::vector<uint8_t>(300000, 'z')};
    // Both builds of the symbol loop, where this processor has two.
    std::vector<Inflater::Instructions> builds = {Inflater::Instructions::Baseline};
    if (Inflater::bmi2Available()) builds.push_back(Inflater::Instructions::Fastest);
    for (const auto& data : inputs) {
        for (int level : {0, 1, 6, 9}) {
            for (int strategy : {Z_DEFAULT_STRATEGY, Z_FILTERED, Z_HUFFMAN_ONLY, Z_RLE, Z_FIXED}) {
                const auto packed = zlibDeflate(data, level, strategy);
                for (auto build : builds) {
                    Inflater inflater(build);
                    std::vector<uint8_t> out;
                    inflater.inflate(packed, out, data.size(), nullptr);
                    ASSERT_EQ(out, data)
                        << "size " << data.size() << " level " << level << " strategy " << strategy
                        << " build " << static_cast<int>(build);
                    // Otherwise the two builds compared would be one.
                    if (build == Inflater::Instructions::Baseline) {
                        ASSERT_FALSE(inflater.ranBmi2Loop());
                    }
                }
            }
        }
    }
    Inflater fastest;
    std::vector<uint8_t> out;
    fastest.inflate(zlibDeflate(inputs[2], 6, Z_DEFAULT_STRATEGY), out, 0, nullptr);
    EXPECT_EQ(fastest.ranBmi2Loop(), Inflater::bmi2Available());
}

// Short repeat distances take their own copy path, and rare symbols get codes
// longer than the first table level; both run mostly in the unchecked loop.
TEST(InflateAgainstZlib, ShortPeriodsAndLongCodesRoundTrip) {
    std::mt19937 rng(11);
    std::vector<uint8_t> periods;
    for (unsigned round = 0; round < 20; ++round) {
        for (size_t period = 1; period <= 9; ++period) {
            std::vector<uint8_t> unit(period);
            for (auto& b : unit) b = static_cast<uint8_t>(rng());
            for (size_t i = 0; i < 200 + rng() % 300; ++i) periods.push_back(unit[i % period]);
            const auto text = sampleText(50 + rng() % 100, round);
            periods.insert(periods.end(), text.begin(), text.end());
        }
    }
    std::vector<uint8_t> skewed(300000);
    for (auto& b : skewed) b = rng() % 1000 == 0 ? static_cast<uint8_t>(rng()) : 'a' + rng() % 3;
    for (const auto* data : {&periods, &skewed}) {
        for (int strategy : {Z_DEFAULT_STRATEGY, Z_RLE, Z_HUFFMAN_ONLY}) {
            const auto packed = zlibDeflate(*data, 9, strategy);
            Inflater inflater;
            std::vector<uint8_t> out;
            inflater.inflate(packed, out, data->size(), nullptr);
            ASSERT_EQ(out, *data) << "size " << data->size() << " strategy " << strategy;
        }
    }
}

TEST(InflateAgainstZlib, EveryTruncationDecodesAPrefixQuietly) {
    const auto data = sampleText(6000, 3);
    for (int strategy : {Z_DEFAULT_STRATEGY, Z_FIXED}) {
        for (int level : {0, 9}) {
            const auto packed = zlibDeflate(data, level, strategy);
            for (size_t cut = 0; cut < packed.size(); ++cut) {
                std::vector<uint8_t> part(packed.begin(), packed.begin() + static_cast<long>(cut));
                Inflater inflater;
                std::vector<uint8_t> out;
                ASSERT_NO_THROW(inflater.inflate(part, out, data.size(), nullptr)) << cut;
                ASSERT_LE(out.size(), data.size());
                ASSERT_TRUE(std::equal(out.begin(), out.end(), data.begin())) << cut;
            }
        }
    }
}

// The unchecked loop runs only while every load it makes stays inside the
// input: streams that end at an unreadable page, whole or cut off anywhere
// in their last bytes, in both builds.
TEST(InflateLimits, NothingIsReadPastTheEndOfTheInput) {
    const auto text = sampleText(100000, 5);
    GuardedBytes memory(1 << 20);
    std::vector<Inflater::Instructions> builds = {Inflater::Instructions::Baseline};
    if (Inflater::bmi2Available()) builds.push_back(Inflater::Instructions::Fastest);
    for (int level : {1, 9}) {
        for (int strategy : {Z_DEFAULT_STRATEGY, Z_FIXED}) {
            const auto packed = zlibDeflate(text, level, strategy);
            for (auto build : builds) {
                Inflater inflater(build);
                std::vector<uint8_t> out;
                // No size hint: room for output then never ends the fast loop first.
                inflater.inflate(memory.place(packed.data(), packed.size()), out, 0, nullptr);
                ASSERT_EQ(out, text) << level << " " << strategy;
                for (size_t cut = packed.size() - 40; cut < packed.size(); ++cut) {
                    out.clear();
                    inflater.inflate(memory.place(packed.data(), cut), out, 0, nullptr);
                    ASSERT_TRUE(std::equal(out.begin(), out.end(), text.begin())) << cut;
                }
            }
        }
    }
}

TEST(InflateLimits, OutputStopsAtTheCeiling) {
    const std::vector<uint8_t> data(5000, 'q');
    for (int level : {0, 9}) {
        const auto packed = zlibDeflate(data, level, Z_DEFAULT_STRATEGY);
        EXPECT_EQ(inflateToString(packed, 5000).size(), 5000u);  // exactly at it is fine
        Inflater inflater;
        std::vector<uint8_t> out;
        try {
            inflater.inflate(packed, out, 0, nullptr, 4999);
            ADD_FAILURE() << "no error past the ceiling";
        } catch (const DecodeError& e) {
            EXPECT_EQ(e.code(), ErrorCode::BadBlock);
        }
        EXPECT_LE(out.size(), 4999u);
        EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](uint8_t b) { return b == 'q'; }));
    }
}

// Storage seen through the decoder's output interface, counting what it is asked for.
class CountingOutput : public Inflater::Output {
  public:
    uint8_t* grow(size_t bytes) override {
        ++grows;
        largest = std::max(largest, bytes);
        bytes_.resize(bytes);
        return bytes_.data();
    }
    void trim(size_t bytes) override { bytes_.resize(bytes); }
    std::vector<uint8_t> bytes() const { return bytes_; }

    int grows = 0;
    size_t largest = 0;

  private:
    std::vector<uint8_t> bytes_;
};

TEST(InflateLimits, StorageGrowsOnlyForOutputThatComes) {
    const auto data = sampleText(1 << 20, 5);
    for (int level : {0, 6}) {
        const auto packed = zlibDeflate(data, level, Z_DEFAULT_STRATEGY);
        {  // the declared size is the real one: one request, a little over it
            Inflater inflater;
            CountingOutput output;
            inflater.inflate(packed, output, data.size(), nullptr);
            EXPECT_EQ(output.bytes(), data);
            EXPECT_EQ(output.grows, 1) << level;
            EXPECT_LT(output.largest, data.size() + 4096) << level;
        }
        {  // a header that says far too little: the storage doubles as it goes
            Inflater inflater;
            CountingOutput output;
            inflater.inflate(packed, output, 10, nullptr);
            EXPECT_EQ(output.bytes(), data);
            EXPECT_LE(output.grows, 6) << level;
            EXPECT_LT(output.largest, 2 * data.size() + 4096) << level;
        }
    }
}

TEST(InflateLimits, ProgressIsCoarseAndCanStop) {
    const auto data = sampleText(1 << 20, 4);
    const auto packed = zlibDeflate(data, 6, Z_DEFAULT_STRATEGY);
    Inflater inflater;
    std::vector<uint8_t> out;
    std::vector<size_t> calls;
    inflater.inflate(packed, out, data.size(), [&](size_t produced) {
        calls.push_back(produced);
        return false;
    });
    EXPECT_EQ(out, data);
    EXPECT_GE(calls.size(), 16u);
    EXPECT_LE(calls.size(), 33u);
    for (size_t i = 1; i < calls.size(); ++i) EXPECT_GE(calls[i] - calls[i - 1], 32768u - 258);

    out.clear();
    inflater.inflate(packed, out, data.size(), [](size_t) { return true; });
    EXPECT_LT(out.size(), 40000u);
    EXPECT_TRUE(std::equal(out.begin(), out.end(), data.begin()));
}

}  // namespace
}  // namespace hk::archive
