#include "archive/inflate.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace hk::archive {

namespace {

// A table entry packs three fields: bits 0-7 how many input bits the entry
// consumes, bits 8-15 what it is, bits 16-31 its value.
//  - kLiteral: value the byte; with kPair two bytes (the first in the low
//    half) whose codes both fit the first level. The low four kind bits hold
//    the first literal's code length.
//  - a length or distance (kind below 16): value the base, kind the code
//    length; the entry consumes the code and its extra bits together.
//  - kLink: value the offset of a second-level table, low four kind bits its
//    index width; consumes the first-level bits.
//  - kEndOfBlock, kInvalid (a code the format reserves or the lengths left
//    unused).
constexpr uint32_t kLiteral = 0x80;
constexpr uint32_t kPair = 0x40;
constexpr uint32_t kSpecial = 0x30;
constexpr uint32_t kLink = 0x10;
constexpr uint32_t kEndOfBlock = 0x20;
constexpr uint32_t kInvalid = 0x30;

constexpr uint32_t entry(uint32_t bits, uint32_t kind, uint32_t value) {
    return bits | (kind << 8) | (value << 16);
}
constexpr uint32_t bitsOf(uint32_t e) {
    return e & 0xFF;
}
constexpr uint32_t kindOf(uint32_t e) {
    return (e >> 8) & 0xFF;
}
constexpr uint32_t valueOf(uint32_t e) {
    return e >> 16;
}
constexpr uint32_t codeBitsOf(uint32_t e) {
    return (e >> 8) & 15;
}
constexpr bool isLiteral(uint32_t e) {
    return e & (kLiteral << 8);
}
constexpr bool isSpecial(uint32_t e) {
    return e & (kSpecial << 8);
}
constexpr bool isLink(uint32_t e) {
    return (kindOf(e) & kSpecial) == kLink;
}

// First-level widths. The literal/length table of a dynamic block is wide
// enough that most pairs of short literal codes share one entry.
constexpr unsigned kDynamicLengthBits = 11;
constexpr unsigned kDynamicDistanceBits = 8;
constexpr unsigned kFixedLengthBits = 9;
constexpr unsigned kFixedDistanceBits = 5;
constexpr unsigned kCodeLengthBits = 7;
constexpr unsigned kMostRootBits =
    std::max({kDynamicLengthBits, kDynamicDistanceBits, kFixedLengthBits, kFixedDistanceBits,
              kCodeLengthBits});

constexpr uint16_t kLengthBase[29] = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                      15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                      67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr uint8_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                      2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr uint16_t kDistanceBase[30] = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr uint8_t kDistanceExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                        6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
constexpr uint8_t kCodeLengthOrder[19] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                          11, 4,  12, 3, 13, 2, 14, 1, 15};

enum class Alphabet { LiteralLength, Distance, CodeLength };

// What decoding a symbol of each alphabet means, as a table entry.
uint32_t leafFor(Alphabet alphabet, unsigned symbol, unsigned bits) {
    switch (alphabet) {
        case Alphabet::LiteralLength:
            if (symbol < 256) return entry(bits, kLiteral | bits, symbol);
            if (symbol == 256) return entry(bits, kEndOfBlock, 0);
            if (symbol <= 285)
                return entry(bits + kLengthExtra[symbol - 257], bits, kLengthBase[symbol - 257]);
            return entry(bits, kInvalid, 0);
        case Alphabet::Distance:
            if (symbol < 30)
                return entry(bits + kDistanceExtra[symbol], bits, kDistanceBase[symbol]);
            return entry(bits, kInvalid, 0);
        case Alphabet::CodeLength:
            return entry(bits, kLiteral | bits, symbol);
    }
    return entry(bits, kInvalid, 0);
}

constexpr std::array<uint8_t, 256> kReversedBytes = [] {
    std::array<uint8_t, 256> t{};
    for (unsigned b = 0; b < 256; ++b) {
        unsigned r = 0;
        for (unsigned i = 0; i < 8; ++i) r |= ((b >> i) & 1) << (7 - i);
        t[b] = static_cast<uint8_t>(r);
    }
    return t;
}();

// Codes are stored most significant bit first but read least significant
// first; a code of at most 15 bits, mirrored.
unsigned reverseBits(unsigned code, unsigned length) {
    const unsigned mirrored = (kReversedBytes[code & 0xFF] << 8) | kReversedBytes[code >> 8];
    return mirrored >> (16 - length);
}

// Where a literal's code leaves room in the first level for a second
// literal's, one entry yields both. Walking down keeps every entry read
// (always at a lower index) in its one-literal form.
void pairLiterals(HuffmanTable& table) {
    uint32_t* t = table.entries.data();
    for (size_t i = size_t{1} << table.rootBits; i-- > 0;) {
        const uint32_t first = t[i];
        if (!isLiteral(first)) continue;
        const uint32_t second = t[i >> bitsOf(first)];
        if (!isLiteral(second) || bitsOf(first) + bitsOf(second) > table.rootBits) continue;
        t[i] = entry(bitsOf(first) + bitsOf(second), kindOf(first) | kPair,
                     valueOf(first) | (valueOf(second) << 8));
    }
}

enum class Build { Complete, Incomplete, Empty, Oversubscribed };

// Builds a canonical Huffman decoding table from code lengths (RFC 1951,
// 3.2.2). Codes up to `rootBits` long fill the first level directly; longer
// ones share a second-level table per first-level slot, sized for the longest
// code under that slot. Slots no code reaches decode as invalid.
Build buildTable(HuffmanTable& table, const uint8_t* lengths, unsigned count, unsigned rootBits,
                 Alphabet alphabet) {
    unsigned perLength[16] = {};
    for (unsigned s = 0; s < count; ++s) ++perLength[lengths[s]];
    perLength[0] = 0;
    int left = 1;
    unsigned longest = 0;
    for (unsigned len = 1; len <= 15; ++len) {
        left = (left << 1) - static_cast<int>(perLength[len]);
        if (left < 0) return Build::Oversubscribed;
        if (perLength[len]) longest = len;
    }

    table.rootBits = rootBits;
    // A complete code reaches every slot of both levels, so only an
    // incomplete one needs the unused slots marked (a table is built per block).
    if (left == 0) {
        table.entries.resize(size_t{1} << rootBits);
    } else {
        table.entries.assign(size_t{1} << rootBits, entry(1, kInvalid, 0));
    }
    if (longest == 0) return Build::Empty;

    unsigned nextCode[16] = {};
    for (unsigned len = 1, code = 0; len <= 15; ++len) {
        code = (code + perLength[len - 1]) << 1;
        nextCode[len] = code;
    }
    const unsigned rootMask = (1u << rootBits) - 1;

    // First pass: the longest code under each first-level slot sizes its second level.
    uint8_t subLongest[1u << kMostRootBits] = {};
    uint16_t linkedSlots[288];
    unsigned linkedCount = 0;
    {
        unsigned probe[16];
        std::copy(std::begin(nextCode), std::end(nextCode), probe);
        for (unsigned s = 0; s < count; ++s) {
            const unsigned len = lengths[s];
            if (len == 0) continue;
            const unsigned code = probe[len]++;
            if (len <= rootBits) continue;
            const unsigned slot = reverseBits(code, len) & rootMask;
            if (subLongest[slot] == 0) linkedSlots[linkedCount++] = static_cast<uint16_t>(slot);
            subLongest[slot] = static_cast<uint8_t>(std::max<unsigned>(subLongest[slot], len));
        }
    }
    // Second levels are laid out before any leaf is written: the first level
    // may still hold the previous block's links.
    for (unsigned i = 0; i < linkedCount; ++i) {
        const unsigned slot = linkedSlots[i];
        const unsigned subBits = subLongest[slot] - rootBits;
        const size_t offset = table.entries.size();
        table.entries.resize(offset + (size_t{1} << subBits), entry(1, kInvalid, 0));
        table.entries[slot] = entry(rootBits, kLink | subBits, static_cast<uint32_t>(offset));
    }

    for (unsigned s = 0; s < count; ++s) {
        const unsigned len = lengths[s];
        if (len == 0) continue;
        const unsigned reversed = reverseBits(nextCode[len]++, len);
        if (len <= rootBits) {
            const uint32_t leaf = leafFor(alphabet, s, len);
            for (unsigned i = reversed; i <= rootMask; i += 1u << len) table.entries[i] = leaf;
            continue;
        }
        const unsigned slot = reversed & rootMask;
        const unsigned subBits = subLongest[slot] - rootBits;
        const uint32_t link = table.entries[slot];
        const uint32_t leaf = leafFor(alphabet, s, len - rootBits);
        const size_t base = valueOf(link);
        for (unsigned i = reversed >> rootBits; i < (1u << subBits); i += 1u << (len - rootBits))
            table.entries[base + i] = leaf;
    }
    if (alphabet == Alphabet::LiteralLength) pairLiterals(table);
    // A lone code of one bit is a legal way to say "one symbol" (encoders emit
    // it for a single distance); any other gap is an incomplete code set.
    if (left > 0 && !(longest == 1 && perLength[1] == 1)) return Build::Incomplete;
    return Build::Complete;
}

// LSB-first bit reader over the member's whole input with a 64-bit buffer.
// Past the end it feeds zero bytes and counts them, so decoding can tell when
// a symbol leaned on bits the input does not have.
struct BitReader {
    const uint8_t* next;
    const uint8_t* end;
    uint64_t buffer = 0;
    unsigned count = 0;
    size_t padding = 0;

    void refill() {
        if (end - next >= 8) {
            refillByWord();
        } else {
            refillSlowly();
        }
    }
    // Tops the buffer up to 56 bits or more with one 8-byte load; the caller
    // knows that 8 bytes of input are left. Bits above `count` may already
    // hold the next input bits, which the next refill ORs in again.
    void refillByWord() {
        uint64_t word;
        std::memcpy(&word, next, 8);
        if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap64(word);
        buffer |= word << count;
        next += (63 - count) >> 3;
        count |= 56;
    }
    void refillSlowly() {
        while (count <= 56) {
            uint64_t byte = 0;
            if (next < end) {
                byte = *next++;
            } else {
                ++padding;
            }
            buffer |= byte << count;
            count += 8;
        }
    }
    uint32_t peek(unsigned bits) const {
        return static_cast<uint32_t>(buffer & ((uint64_t{1} << bits) - 1));
    }
    void drop(unsigned bits) {
        buffer >>= bits;
        count -= bits;
    }
    uint32_t take(unsigned bits) {
        const uint32_t v = peek(bits);
        drop(bits);
        return v;
    }
    // The base of a length or distance entry plus its extra bits, which
    // follow the entry's code in the buffer; consumes both.
    uint32_t takeValue(uint32_t e) {
        const uint32_t v = valueOf(e) + (peek(bitsOf(e)) >> codeBitsOf(e));
        drop(bitsOf(e));
        return v;
    }
    // The entry for the next code: a first-level lookup, and the second level
    // behind a link.
    template <unsigned kRootBits>
    uint32_t lookup(const uint32_t* entries) {
        uint32_t e = entries[buffer & ((1u << kRootBits) - 1)];
        if (isLink(e)) {
            drop(kRootBits);
            e = entries[valueOf(e) + peek(codeBitsOf(e))];
        }
        return e;
    }
    // True once a bit beyond the real input has been consumed.
    bool overrun() const { return padding != 0 && padding * 8 > count; }

    // Drops the bits of a partial byte and hands the whole bytes still held
    // in the buffer back to the input; false when the input is overrun.
    bool alignToByte() {
        drop(count & 7);
        const size_t held = count / 8;
        if (padding > held) return false;
        next -= held - padding;
        buffer = 0;
        count = 0;
        padding = 0;
        return true;
    }
};

// Output goes straight into the member's storage, grown ahead in steps with
// slack after the usable room, so the hot loops need no bounds test but
// comparisons against `limit`, and matches may be copied in whole words that
// run a little past their end.
constexpr size_t kMostOvershoot = 24;  // a match copy writes up to this far past its end...
constexpr size_t kSlack = 258 + kMostOvershoot + 8;  // ...and may start just before the limit
constexpr size_t kProgressStep = 32768;

class Run {
  public:
    Run(std::span<const uint8_t> input, Inflater::Output& output, size_t expected, size_t ceiling,
        const Inflater::Progress& progress)
        : output_(output), ceiling_(ceiling), progress_(progress) {
        in_.next = input.data();
        in_.end = input.data() + input.size();
        // A lying header must not make us allocate much: no deflate stream
        // expands more than about 1032:1. One byte more than the member
        // needs keeps its last symbol from reaching the limit, which would
        // grow the storage for output that never comes.
        const size_t plausible = std::min({expected, input.size() * 1032 + 1024, ceiling_});
        reserveTo(std::max<size_t>(plausible + 1, 65536));
        nextProgress_ = kProgressStep;
    }

    BitReader in_;
    uint8_t* out_ = nullptr;
    uint8_t* limit_ = nullptr;
    bool stopped_ = false;
    bool bmi2Loop_ = false;  // some block went through the BMI2 build

    uint8_t* base() const { return base_; }
    size_t produced(const uint8_t* out) const { return static_cast<size_t>(out - base_); }
    size_t ceiling() const { return ceiling_; }

    // Called whenever the write position reaches `limit`: reports progress,
    // grows the storage and enforces the ceiling. Returns the new write position.
    uint8_t* atLimit(uint8_t* out) {
        const size_t done = produced(out);
        if (done > ceiling_) {
            out_ = base_ + ceiling_;
            throw DecodeError(ErrorCode::BadBlock);
        }
        if (done >= nextProgress_) {
            nextProgress_ = (done / kProgressStep + 1) * kProgressStep;
            if (progress_ && progress_(done)) stopped_ = true;
        }
        if (done >= usable_) reserveTo(std::min(std::max(usable_ * 2, done + 1), ceiling_ + 1));
        out = base_ + done;
        setLimit(out);
        return out;
    }

    // The limit always lies beyond the write position: before the end of the
    // usable room, the next progress step, and the ceiling (reaching it
    // exactly is allowed, one byte more is not).
    void setLimit(uint8_t* out) {
        const size_t done = produced(out);
        const size_t lim =
            std::min({usable_, nextProgress_, done < ceiling_ ? ceiling_ : ceiling_ + 1});
        limit_ = base_ + lim;
    }

    void finish() { output_.trim(produced(out_)); }

    void start() {
        out_ = base_;
        setLimit(out_);
    }

  private:
    void reserveTo(size_t bytes) {
        base_ = output_.grow(bytes + kSlack);
        usable_ = bytes;
    }

    Inflater::Output& output_;
    uint8_t* base_ = nullptr;
    size_t usable_ = 0;
    size_t ceiling_;
    const Inflater::Progress& progress_;
    size_t nextProgress_ = 0;
};

}  // namespace

bool Inflater::bmi2Available() {
#if defined(__x86_64__)
    return __builtin_cpu_supports("bmi2");
#else
    return false;
#endif
}

Inflater::Inflater(Instructions instructions)
    : bmi2_(instructions == Instructions::Fastest && bmi2Available()) {
    uint8_t lengths[288];
    std::fill(lengths, lengths + 144, 8);
    std::fill(lengths + 144, lengths + 256, 9);
    std::fill(lengths + 256, lengths + 280, 7);
    std::fill(lengths + 280, lengths + 288, 8);
    buildTable(fixedLengths_, lengths, 288, kFixedLengthBits, Alphabet::LiteralLength);
    std::fill(lengths, lengths + 32, 5);
    buildTable(fixedDistances_, lengths, 32, kFixedDistanceBits, Alphabet::Distance);
}

namespace {

enum class BlockEnd { Next, Stop };

// Copies a match whose distance reaches before the member's first byte:
// those positions read as zeros, as a fresh window would hold.
uint8_t* copyFromBeforeStart(uint8_t* out, uint8_t* base, size_t distance, size_t length) {
    const size_t done = static_cast<size_t>(out - base);
    for (size_t i = 0; i < length; ++i, ++out) {
        const size_t pos = done + i;
        *out = distance > pos ? 0 : out[-static_cast<ptrdiff_t>(distance)];
    }
    return out;
}

inline void copyWord(uint8_t* to, const uint8_t* from) {
    std::memcpy(to, from, 8);
}

// Copies a match from within the member's output in whole 8-byte words; it
// may write up to kMostOvershoot bytes past the match's end. Every word's
// source was written before it is read: at distances of 8 or more the words
// follow each other; a shorter distance first writes eight bytes one by one
// and then repeats that word, which holds whole periods of the pattern, at
// steps of a multiple of the period.
inline uint8_t* copyMatch(uint8_t* out, size_t distance, size_t length) {
    uint8_t* const end = out + length;
    const uint8_t* from = out - distance;
    if (distance >= 8) {
        copyWord(out, from);
        copyWord(out + 8, from + 8);
        copyWord(out + 16, from + 16);
        if (length > 24) {
            out += 24;
            from += 24;
            do {
                copyWord(out, from);
                out += 8;
                from += 8;
            } while (out < end);
        }
        return end;
    }
    uint64_t word;
    size_t step = 8;
    if (distance == 1) {
        word = from[0] * 0x0101010101010101u;
    } else {
        constexpr uint8_t kWholePeriods[8] = {0, 8, 8, 6, 8, 5, 6, 7};
        for (size_t i = 0; i < 8; ++i) out[i] = from[i];
        std::memcpy(&word, out, 8);
        step = kWholePeriods[distance];
        out += step;
    }
    for (; out < end; out += step) std::memcpy(out, &word, 8);
    return end;
}

// The most one trip of the fast loop writes: a longest match, or three
// literal entries of two bytes.
constexpr size_t kMostPerFastStep = 258;
// The most input one trip reads: one refill, an 8-byte load from where the
// trip starts (and one more on entry).
constexpr size_t kMostInputPerFastStep = 16;

// Writes a literal entry's one or two bytes (always two, in one store);
// returns how many it stands for.
inline size_t putLiterals(uint8_t* out, uint32_t e) {
    uint16_t both = static_cast<uint16_t>(valueOf(e));
    if constexpr (std::endian::native == std::endian::big) both = __builtin_bswap16(both);
    std::memcpy(out, &both, 2);
    return 1 + ((e >> 14) & 1);
}

// Leaves the write position where the damage was found and throws.
[[noreturn]] void failAt(Run& run, uint8_t* out, ErrorCode code) {
    run.out_ = out;
    throw DecodeError(code);
}

uint8_t* fastOutputEnd(uint8_t* base, uint8_t* limit) {
    return static_cast<size_t>(limit - base) > kMostPerFastStep ? limit - kMostPerFastStep : base;
}

// Decodes the symbols of one Huffman-coded block. `invalid` is the error a
// reserved or unused code raises in this block.
//
// The fast loop runs while its input and output cannot run short: every bit
// it reads is real input and every symbol it writes stays below the limit, so
// it needs neither the overrun tests nor the limit tests. Near either end the
// careful loop takes over for one symbol at a time.
template <unsigned kLengthBits, unsigned kDistanceBits>
[[gnu::always_inline]] inline BlockEnd decodeCodes(Run& run, const HuffmanTable& lengths,
                                                   const HuffmanTable& distances,
                                                   ErrorCode invalid) {
    BitReader in = run.in_;
    uint8_t* out = run.out_;
    uint8_t* limit = run.limit_;
    uint8_t* base = run.base();
    const uint32_t* lit = lengths.entries.data();
    const uint32_t* dist = distances.entries.data();
    constexpr uint32_t litMask = (1u << kLengthBits) - 1;
    const uint8_t* const fastInputEnd =
        in.end - in.next > static_cast<ptrdiff_t>(kMostInputPerFastStep)
            ? in.end - kMostInputPerFastStep
            : in.next;
    uint8_t* fastEnd = fastOutputEnd(base, limit);
    BlockEnd result = BlockEnd::Next;

    for (;;) {
        // Each trip starts with at least 28 bits in the buffer (a length
        // code with its extra bits and a first-level distance lookup) and
        // with the entry for the next code already looked up. Refills come
        // while a table lookup is under way, and the lookup for the next
        // trip while a match is copied.
        uint32_t e = 0;
        if (out < fastEnd && in.next < fastInputEnd) {
            in.refillByWord();
            e = lit[in.buffer & litMask];
        }
        while (out < fastEnd && in.next < fastInputEnd) {
            if (isLiteral(e)) {
                // Up to three literal entries of at most the first-level
                // width each: one before the refill, two after.
                in.drop(bitsOf(e));
                out += putLiterals(out, e);
                e = lit[in.buffer & litMask];
                in.refillByWord();
                if (isLiteral(e)) {
                    in.drop(bitsOf(e));
                    out += putLiterals(out, e);
                    e = lit[in.buffer & litMask];
                    if (isLiteral(e)) {
                        in.drop(bitsOf(e));
                        out += putLiterals(out, e);
                        e = lit[in.buffer & litMask];
                    }
                }
                continue;
            }
            if (isSpecial(e)) {
                if (isLink(e)) {
                    in.drop(kLengthBits);
                    e = lit[valueOf(e) + in.peek(codeBitsOf(e))];
                    if (isLiteral(e)) {
                        in.drop(codeBitsOf(e));
                        *out++ = static_cast<uint8_t>(valueOf(e));
                        in.refillByWord();
                        e = lit[in.buffer & litMask];
                        continue;
                    }
                }
                if (isSpecial(e)) {
                    in.drop(bitsOf(e));
                    if (kindOf(e) == kEndOfBlock) {
                        run.in_ = in;
                        run.out_ = out;
                        return BlockEnd::Next;
                    }
                    failAt(run, out, invalid);
                }
            }
            const size_t length = in.takeValue(e);
            e = dist[in.buffer & ((1u << kDistanceBits) - 1)];
            in.refillByWord();
            if (isSpecial(e)) {
                if (isLink(e)) {
                    in.drop(kDistanceBits);
                    e = dist[valueOf(e) + in.peek(codeBitsOf(e))];
                }
                if (isSpecial(e)) {
                    in.drop(bitsOf(e));
                    failAt(run, out, invalid);
                }
            }
            const size_t distance = in.takeValue(e);
            e = lit[in.buffer & litMask];
            if (distance > static_cast<size_t>(out - base)) {
                out = copyFromBeforeStart(out, base, distance, length);
            } else {
                out = copyMatch(out, distance, length);
            }
        }

        // One symbol with every test.
        in.refill();
        e = in.template lookup<kLengthBits>(lit);
        if (isLiteral(e)) {
            in.drop(codeBitsOf(e));  // the first literal of a pair only
            if (in.overrun()) {
                result = BlockEnd::Stop;
                break;
            }
            *out++ = static_cast<uint8_t>(valueOf(e));
            if (out >= limit) {
                out = run.atLimit(out);
                limit = run.limit_;
                base = run.base();
                fastEnd = fastOutputEnd(base, limit);
                if (run.stopped_) {
                    result = BlockEnd::Stop;
                    break;
                }
            }
            continue;
        }
        if (isSpecial(e)) {
            in.drop(bitsOf(e));
            if (in.overrun()) {
                result = BlockEnd::Stop;
                break;
            }
            if (kindOf(e) == kEndOfBlock) break;
            failAt(run, out, invalid);
        }
        const size_t length = in.takeValue(e);
        e = in.template lookup<kDistanceBits>(dist);
        if (isSpecial(e)) {
            in.drop(bitsOf(e));
            if (in.overrun()) {
                result = BlockEnd::Stop;
                break;
            }
            failAt(run, out, invalid);
        }
        const size_t distance = in.takeValue(e);
        if (in.overrun()) {
            result = BlockEnd::Stop;
            break;
        }
        if (length > run.ceiling() - static_cast<size_t>(out - base))
            failAt(run, out, ErrorCode::BadBlock);
        if (distance > static_cast<size_t>(out - base)) {
            out = copyFromBeforeStart(out, base, distance, length);
        } else {
            out = copyMatch(out, distance, length);
        }
        if (out >= limit) {
            out = run.atLimit(out);
            limit = run.limit_;
            base = run.base();
            fastEnd = fastOutputEnd(base, limit);
            if (run.stopped_) {
                result = BlockEnd::Stop;
                break;
            }
        }
    }
    run.in_ = in;
    run.out_ = out;
    return result;
}

// The symbol loop as compiled for any x86-64 (or other) processor.
template <unsigned kLengthBits, unsigned kDistanceBits>
BlockEnd decodeCodesBaseline(Run& run, const HuffmanTable& lengths, const HuffmanTable& distances,
                             ErrorCode invalid) {
    return decodeCodes<kLengthBits, kDistanceBits>(run, lengths, distances, invalid);
}

#if defined(__x86_64__)
// The same loop where BMI2 is there: its shifts and masks by a register
// amount (shrx, bzhi) take one instruction each and leave the flags alone,
// and the loop is mostly such shifts.
template <unsigned kLengthBits, unsigned kDistanceBits>
[[gnu::target("bmi2")]] BlockEnd decodeCodesBmi2(Run& run, const HuffmanTable& lengths,
                                                 const HuffmanTable& distances, ErrorCode invalid) {
    run.bmi2Loop_ = true;
    return decodeCodes<kLengthBits, kDistanceBits>(run, lengths, distances, invalid);
}
#endif

template <unsigned kLengthBits, unsigned kDistanceBits>
BlockEnd decodeCodesWith(bool bmi2, Run& run, const HuffmanTable& lengths,
                         const HuffmanTable& distances, ErrorCode invalid) {
#if defined(__x86_64__)
    if (bmi2) return decodeCodesBmi2<kLengthBits, kDistanceBits>(run, lengths, distances, invalid);
#else
    (void)bmi2;
#endif
    return decodeCodesBaseline<kLengthBits, kDistanceBits>(run, lengths, distances, invalid);
}

BlockEnd copyStoredBlock(Run& run) {
    BitReader& in = run.in_;
    if (!in.alignToByte()) return BlockEnd::Stop;
    if (in.end - in.next < 4) {
        in.next = in.end;
        return BlockEnd::Stop;
    }
    const unsigned length = in.next[0] | (in.next[1] << 8);
    const unsigned complement = in.next[2] | (in.next[3] << 8);
    in.next += 4;
    if (length != (~complement & 0xFFFF)) throw DecodeError(ErrorCode::BadBlock);
    size_t left = length;
    bool shortInput = false;
    if (static_cast<size_t>(in.end - in.next) < left) {
        left = static_cast<size_t>(in.end - in.next);
        shortInput = true;
    }
    while (left > 0) {
        size_t room = static_cast<size_t>(run.limit_ - run.out_);
        if (room == 0) {
            run.out_ = run.atLimit(run.out_);
            if (run.stopped_) return BlockEnd::Stop;
            room = static_cast<size_t>(run.limit_ - run.out_);
        }
        const size_t n = std::min(room, left);
        std::memcpy(run.out_, in.next, n);
        run.out_ += n;
        in.next += n;
        left -= n;
    }
    if (run.out_ >= run.limit_) {
        run.out_ = run.atLimit(run.out_);
        if (run.stopped_) return BlockEnd::Stop;
    }
    return shortInput ? BlockEnd::Stop : BlockEnd::Next;
}

// Reads a dynamic block's code lengths and builds its two tables (RFC 1951,
// 3.2.7). Returns false when the input ran out inside the header.
bool readDynamicTables(BitReader& in, HuffmanTable& codeLengths, HuffmanTable& lengths,
                       HuffmanTable& distances) {
    in.refill();
    const unsigned literalCount = in.take(5) + 257;
    const unsigned distanceCount = in.take(5) + 1;
    const unsigned codeLengthCount = in.take(4) + 4;
    uint8_t clLengths[19] = {};
    for (unsigned i = 0; i < codeLengthCount; ++i) {
        in.refill();
        clLengths[kCodeLengthOrder[i]] = static_cast<uint8_t>(in.take(3));
    }
    if (in.overrun()) return false;
    if (buildTable(codeLengths, clLengths, 19, kCodeLengthBits, Alphabet::CodeLength) !=
        Build::Complete)
        throw DecodeError(ErrorCode::IncompleteCodeSet);

    uint8_t all[288 + 32] = {};
    const unsigned total = literalCount + distanceCount;
    unsigned previous = 0;
    for (unsigned n = 0; n < total;) {
        in.refill();
        const uint32_t e = codeLengths.entries[in.peek(kCodeLengthBits)];
        in.drop(bitsOf(e));
        if (in.overrun()) return false;
        if (!isLiteral(e)) throw DecodeError(ErrorCode::IncompleteCodeSet);
        const unsigned symbol = valueOf(e);
        if (symbol < 16) {
            all[n++] = static_cast<uint8_t>(symbol);
            previous = symbol;
            continue;
        }
        unsigned repeat;
        unsigned value = 0;
        if (symbol == 16) {
            repeat = 3 + in.take(2);
            value = previous;
        } else if (symbol == 17) {
            repeat = 3 + in.take(3);
            previous = 0;
        } else {
            repeat = 11 + in.take(7);
            previous = 0;
        }
        if (in.overrun()) return false;
        if (repeat > total - n) throw DecodeError(ErrorCode::IncompleteCodeSet);
        std::fill(all + n, all + n + repeat, static_cast<uint8_t>(value));
        n += repeat;
    }
    if (buildTable(lengths, all, literalCount, kDynamicLengthBits, Alphabet::LiteralLength) !=
        Build::Complete)
        throw DecodeError(ErrorCode::IncompleteCodeSet);
    const Build d = buildTable(distances, all + literalCount, distanceCount, kDynamicDistanceBits,
                               Alphabet::Distance);
    // A block of literals only may leave every distance length at zero.
    if (d != Build::Complete && d != Build::Empty) throw DecodeError(ErrorCode::IncompleteCodeSet);
    return true;
}

}  // namespace

void Inflater::inflate(std::span<const uint8_t> input, Output& output, size_t expected,
                       const Progress& progress, size_t ceiling) {
    Run run(input, output, expected, ceiling, progress);
    run.start();
    BitReader& in = run.in_;
    try {
        for (;;) {
            in.refill();
            const uint32_t header = in.take(3);
            if (in.overrun()) break;
            const bool final = header & 1;
            const unsigned type = header >> 1;
            BlockEnd end = BlockEnd::Next;
            if (type == 0) {
                end = copyStoredBlock(run);
            } else if (type == 1) {
                end = decodeCodesWith<kFixedLengthBits, kFixedDistanceBits>(
                    bmi2_, run, fixedLengths_, fixedDistances_, ErrorCode::BadBlock);
            } else if (type == 2) {
                if (!readDynamicTables(in, codeLengths_, lengths_, distances_)) break;
                end = decodeCodesWith<kDynamicLengthBits, kDynamicDistanceBits>(
                    bmi2_, run, lengths_, distances_, ErrorCode::IncompleteCodeSet);
            } else {
                throw DecodeError(ErrorCode::BadBlock);
            }
            if (end == BlockEnd::Stop || final) break;
        }
    } catch (...) {
        // Whatever was decoded before the damage stays.
        ranBmi2_ = run.bmi2Loop_;
        run.finish();
        throw;
    }
    ranBmi2_ = run.bmi2Loop_;
    run.finish();
}

}  // namespace hk::archive
