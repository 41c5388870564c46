#include "archive/inflate.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace hk::archive {

namespace {

// A table entry packs three fields: bits 0-7 the code bits to drop, bits 8-15
// what the entry is, bits 16-31 its value. Kinds below 16 are a base value
// followed by that many extra bits (lengths and distances).
constexpr uint32_t kLiteral = 16;  // value: the byte (or code-length symbol)
constexpr uint32_t kEndOfBlock = 32;
constexpr uint32_t kLink = 64;      // value: second-level offset; low bits: its index width
constexpr uint32_t kInvalid = 128;  // a code the format reserves or the lengths left unused

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
            if (symbol < 256) return entry(bits, kLiteral, symbol);
            if (symbol == 256) return entry(bits, kEndOfBlock, 0);
            if (symbol <= 285)
                return entry(bits, kLengthExtra[symbol - 257], kLengthBase[symbol - 257]);
            return entry(bits, kInvalid, 0);
        case Alphabet::Distance:
            if (symbol < 30) return entry(bits, kDistanceExtra[symbol], kDistanceBase[symbol]);
            return entry(bits, kInvalid, 0);
        case Alphabet::CodeLength:
            return entry(bits, kLiteral, symbol);
    }
    return entry(bits, kInvalid, 0);
}

unsigned reverseBits(unsigned code, unsigned length) {
    unsigned r = 0;
    for (unsigned i = 0; i < length; ++i, code >>= 1) r = (r << 1) | (code & 1);
    return r;
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
    table.entries.assign(size_t{1} << rootBits, entry(1, kInvalid, 0));
    if (longest == 0) return Build::Empty;

    unsigned nextCode[16] = {};
    for (unsigned len = 1, code = 0; len <= 15; ++len) {
        code = (code + perLength[len - 1]) << 1;
        nextCode[len] = code;
    }
    const unsigned rootMask = (1u << rootBits) - 1;

    // First pass: the longest code under each first-level slot sizes its second level.
    uint8_t subLongest[1u << 10] = {};
    {
        unsigned probe[16];
        std::copy(std::begin(nextCode), std::end(nextCode), probe);
        for (unsigned s = 0; s < count; ++s) {
            const unsigned len = lengths[s];
            if (len == 0) continue;
            const unsigned code = probe[len]++;
            if (len <= rootBits) continue;
            const unsigned slot = reverseBits(code, len) & rootMask;
            subLongest[slot] = static_cast<uint8_t>(std::max<unsigned>(subLongest[slot], len));
        }
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
        uint32_t link = table.entries[slot];
        if ((kindOf(link) & kLink) == 0) {
            const size_t offset = table.entries.size();
            table.entries.resize(offset + (size_t{1} << subBits), entry(1, kInvalid, 0));
            link = entry(rootBits, kLink | subBits, static_cast<uint32_t>(offset));
            table.entries[slot] = link;
        }
        const uint32_t leaf = leafFor(alphabet, s, len - rootBits);
        const size_t base = valueOf(link);
        for (unsigned i = reversed >> rootBits; i < (1u << subBits); i += 1u << (len - rootBits))
            table.entries[base + i] = leaf;
    }
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
            uint64_t word;
            std::memcpy(&word, next, 8);
            if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap64(word);
            buffer |= word << count;
            next += (63 - count) >> 3;
            count |= 56;
        } else {
            refillSlowly();
        }
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

// Output goes straight into the sink vector. The vector is grown ahead in
// steps with slack after the write position, so the hot loop needs no bounds
// test but one comparison against `limit`.
constexpr size_t kSlack = 258 + 16;
constexpr size_t kProgressStep = 32768;

class Run {
  public:
    Run(std::span<const uint8_t> input, std::vector<uint8_t>& sink, size_t expected, size_t ceiling,
        const Inflater::Progress& progress)
        : sink_(sink), start_(sink.size()), ceiling_(ceiling), progress_(progress) {
        in_.next = input.data();
        in_.end = input.data() + input.size();
        // A lying header must not make us allocate much: no deflate stream
        // expands more than about 1032:1.
        const size_t plausible = std::min({expected, input.size() * 1032 + 1024, ceiling_});
        reserveTo(std::max<size_t>(plausible, 65536));
        nextProgress_ = kProgressStep;
    }

    BitReader in_;
    uint8_t* out_ = nullptr;
    uint8_t* limit_ = nullptr;
    bool stopped_ = false;

    uint8_t* base() { return sink_.data() + start_; }
    size_t produced(const uint8_t* out) { return static_cast<size_t>(out - base()); }
    size_t ceiling() const { return ceiling_; }

    // Called whenever the write position reaches `limit`: reports progress,
    // grows the vector and enforces the ceiling. Returns the new write position.
    uint8_t* atLimit(uint8_t* out) {
        const size_t done = produced(out);
        if (done > ceiling_) {
            out_ = base() + ceiling_;
            throw DecodeError(ErrorCode::BadBlock);
        }
        if (done >= nextProgress_) {
            nextProgress_ = (done / kProgressStep + 1) * kProgressStep;
            if (progress_ && progress_(done)) stopped_ = true;
        }
        if (done >= usable()) reserveTo(std::min(std::max(usable() * 2, done + 1), ceiling_ + 1));
        out = base() + done;
        setLimit(out);
        return out;
    }

    // The limit always lies beyond the write position: before the end of the
    // usable room, the next progress step, and the ceiling (reaching it
    // exactly is allowed, one byte more is not).
    void setLimit(uint8_t* out) {
        const size_t done = produced(out);
        const size_t lim =
            std::min({usable(), nextProgress_, done < ceiling_ ? ceiling_ : ceiling_ + 1});
        limit_ = base() + lim;
    }

    void finish() { sink_.resize(start_ + produced(out_)); }

    void start() {
        out_ = base();
        setLimit(out_);
    }

  private:
    size_t usable() const { return sink_.size() - start_ - kSlack; }
    void reserveTo(size_t bytes) { sink_.resize(start_ + bytes + kSlack); }

    std::vector<uint8_t>& sink_;
    size_t start_;
    size_t ceiling_;
    const Inflater::Progress& progress_;
    size_t nextProgress_ = 0;
};

}  // namespace

Inflater::Inflater() {
    uint8_t lengths[288];
    std::fill(lengths, lengths + 144, 8);
    std::fill(lengths + 144, lengths + 256, 9);
    std::fill(lengths + 256, lengths + 280, 7);
    std::fill(lengths + 280, lengths + 288, 8);
    buildTable(fixedLengths_, lengths, 288, 9, Alphabet::LiteralLength);
    std::fill(lengths, lengths + 32, 5);
    buildTable(fixedDistances_, lengths, 32, 5, Alphabet::Distance);
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

// Decodes the symbols of one Huffman-coded block. `invalid` is the error a
// reserved or unused code raises in this block.
BlockEnd decodeCodes(Run& run, const HuffmanTable& lengths, const HuffmanTable& distances,
                     ErrorCode invalid) {
    BitReader in = run.in_;
    uint8_t* out = run.out_;
    uint8_t* limit = run.limit_;
    const uint32_t* lit = lengths.entries.data();
    const uint32_t* dist = distances.entries.data();
    const unsigned litRoot = lengths.rootBits;
    const unsigned distRoot = distances.rootBits;
    const uint32_t litMask = (1u << litRoot) - 1;
    const uint32_t distMask = (1u << distRoot) - 1;
    BlockEnd result = BlockEnd::Next;

    auto fail = [&](ErrorCode code) {
        run.out_ = out;
        throw DecodeError(code);
    };

    for (;;) {
        in.refill();
        uint32_t e = lit[in.buffer & litMask];
        if (kindOf(e) & kLink) {
            in.drop(litRoot);
            e = lit[valueOf(e) + in.peek(kindOf(e) & 15)];
        }
        in.drop(bitsOf(e));
        uint32_t kind = kindOf(e);
        if (kind == kLiteral) {
            if (in.overrun()) {
                result = BlockEnd::Stop;
                break;
            }
            *out++ = static_cast<uint8_t>(valueOf(e));
            if (out >= limit) {
                out = run.atLimit(out);
                limit = run.limit_;
                if (run.stopped_) {
                    result = BlockEnd::Stop;
                    break;
                }
            }
            continue;
        }
        if (kind == kEndOfBlock) {
            if (in.overrun()) result = BlockEnd::Stop;
            break;
        }
        if (kind >= 16) {
            if (in.overrun()) {
                result = BlockEnd::Stop;
                break;
            }
            fail(invalid);
        }
        const size_t length = valueOf(e) + in.take(kind);
        e = dist[in.buffer & distMask];
        if (kindOf(e) & kLink) {
            in.drop(distRoot);
            e = dist[valueOf(e) + in.peek(kindOf(e) & 15)];
        }
        in.drop(bitsOf(e));
        kind = kindOf(e);
        if (in.overrun()) {
            result = BlockEnd::Stop;
            break;
        }
        if (kind >= 16) fail(invalid);
        const size_t distance = valueOf(e) + in.take(kind);
        if (in.overrun()) {
            result = BlockEnd::Stop;
            break;
        }
        uint8_t* base = run.base();
        if (length > run.ceiling() - static_cast<size_t>(out - base)) fail(ErrorCode::BadBlock);
        if (distance > static_cast<size_t>(out - base)) {
            out = copyFromBeforeStart(out, base, distance, length);
        } else {
            const uint8_t* from = out - distance;
            if (distance >= 8) {
                // Eight bytes at a time: every chunk's source was written
                // before it is read. The tail may spill into the slack.
                uint8_t* to = out;
                uint8_t* stop = out + length;
                do {
                    std::memcpy(to, from, 8);
                    to += 8;
                    from += 8;
                } while (to < stop);
                out = stop;
            } else if (distance == 1) {
                std::memset(out, out[-1], length);
                out += length;
            } else {
                for (size_t i = 0; i < length; ++i) out[i] = from[i];
                out += length;
            }
        }
        if (out >= limit) {
            out = run.atLimit(out);
            limit = run.limit_;
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
    if (buildTable(codeLengths, clLengths, 19, 7, Alphabet::CodeLength) != Build::Complete)
        throw DecodeError(ErrorCode::IncompleteCodeSet);

    uint8_t all[288 + 32] = {};
    const unsigned total = literalCount + distanceCount;
    unsigned previous = 0;
    for (unsigned n = 0; n < total;) {
        in.refill();
        const uint32_t e = codeLengths.entries[in.peek(7)];
        in.drop(bitsOf(e));
        if (in.overrun()) return false;
        if (kindOf(e) != kLiteral) throw DecodeError(ErrorCode::IncompleteCodeSet);
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
    if (buildTable(lengths, all, literalCount, 10, Alphabet::LiteralLength) != Build::Complete)
        throw DecodeError(ErrorCode::IncompleteCodeSet);
    const Build d = buildTable(distances, all + literalCount, distanceCount, 8, Alphabet::Distance);
    // A block of literals only may leave every distance length at zero.
    if (d != Build::Complete && d != Build::Empty) throw DecodeError(ErrorCode::IncompleteCodeSet);
    return true;
}

}  // namespace

void Inflater::inflate(std::span<const uint8_t> input, std::vector<uint8_t>& sink, size_t expected,
                       const Progress& progress, size_t ceiling) {
    Run run(input, sink, expected, ceiling, progress);
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
                end = decodeCodes(run, fixedLengths_, fixedDistances_, ErrorCode::BadBlock);
            } else if (type == 2) {
                if (!readDynamicTables(in, codeLengths_, lengths_, distances_)) break;
                end = decodeCodes(run, lengths_, distances_, ErrorCode::IncompleteCodeSet);
            } else {
                throw DecodeError(ErrorCode::BadBlock);
            }
            if (end == BlockEnd::Stop || final) break;
        }
    } catch (...) {
        // Whatever was decoded before the damage stays.
        run.finish();
        throw;
    }
    run.finish();
}

}  // namespace hk::archive
