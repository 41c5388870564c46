// The legacy decoders on streams built here: round trips through small
// encoders for the variants no sample archive covers, and hostile input.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <random>
#include <vector>

#include "archive/legacy_decoders.h"

namespace hk::archive {
namespace {

class BitWriter {
  public:
    void put(uint32_t value, int count) {
        for (int i = 0; i < count; ++i) bit((value >> i) & 1);
    }
    // Most significant bit first, as Shannon-Fano codes travel.
    void code(uint32_t value, int length) {
        for (int i = length - 1; i >= 0; --i) bit((value >> i) & 1);
    }
    std::vector<uint8_t> bytes() const { return bytes_; }

  private:
    void bit(uint32_t b) {
        if (used_ % 8 == 0) bytes_.push_back(0);
        bytes_.back() |= static_cast<uint8_t>(b << (used_ % 8));
        ++used_;
    }
    std::vector<uint8_t> bytes_;
    size_t used_ = 0;
};

// Text with long and short repeats, far and near, runs of zeros and of the
// escape byte 144, and stretches of noise.
std::vector<uint8_t> sampleData(size_t size) {
    std::mt19937 random(7);
    std::vector<uint8_t> data(40, 0);
    const std::string words[] = {"cheat ", "code ", "IDDQD ", "level ", "\x90\x90", "warp\n"};
    while (data.size() < size) {
        const uint32_t pick = random() % 10;
        if (pick < 6) {
            data.insert(data.end(), words[pick].begin(), words[pick].end());
        } else if (pick < 8 && data.size() > 9000) {
            const size_t from = data.size() - 1 - random() % 9000, length = 3 + random() % 400;
            for (size_t i = 0; i < length; ++i) data.push_back(data[from + i]);
        } else if (pick == 8) {
            data.insert(data.end(), random() % 700, static_cast<uint8_t>(random()));
        } else {
            for (int i = random() % 30; i > 0; --i) data.push_back(static_cast<uint8_t>(random()));
        }
    }
    data.resize(size);
    return data;
}

struct Match {
    size_t length = 0, distance = 0;
};

// Longest match at `at` within `window` bytes, bytes before the start counting
// as zeros; candidates come from the last few places the next 3 bytes occurred.
class MatchFinder {
  public:
    MatchFinder(const std::vector<uint8_t>& data, size_t window, size_t maxLength)
        : data_(data), window_(window), maxLength_(maxLength) {}
    Match find(size_t at) {
        Match best;
        auto tryDistance = [&](size_t distance) {
            size_t length = 0;
            while (at + length < data_.size() && length < maxLength_ &&
                   byteAt(at + length - distance) == data_[at + length]) {
                ++length;
            }
            if (length > best.length) best = {length, distance};
        };
        tryDistance(1);
        if (at + 3 <= data_.size()) {
            for (size_t from : recent_[key(at)]) {
                if (at - from <= window_) tryDistance(at - from);
            }
        }
        return best;
    }
    void insert(size_t at) {
        if (at + 3 > data_.size()) return;
        std::vector<size_t>& places = recent_[key(at)];
        places.insert(places.begin(), at);
        if (places.size() > 8) places.pop_back();
    }

  private:
    uint8_t byteAt(size_t position) const {
        return position >= data_.size() ? 0 : data_[position];  // wrapped below zero
    }
    uint32_t key(size_t at) const { return data_[at] << 16 | data_[at + 1] << 8 | data_[at + 2]; }
    const std::vector<uint8_t>& data_;
    size_t window_, maxLength_;
    std::map<uint32_t, std::vector<size_t>> recent_;
};

int followerIndexBits(size_t count) {
    return count <= 2 ? 1 : count <= 4 ? 2 : count <= 8 ? 3 : count <= 16 ? 4 : 5;
}

std::vector<uint8_t> reduce(const std::vector<uint8_t>& data, int factor) {
    const size_t lengthMask = 0xFFu >> factor;
    std::vector<uint8_t> escaped;  // the byte stream before follower coding
    MatchFinder finder(data, size_t{256} << factor, lengthMask + 255 + 3);
    for (size_t at = 0; at < data.size();) {
        const Match m = finder.find(at);
        const size_t high = (m.distance - 1) >> 8, code = std::min(m.length - 3, lengthMask);
        // A code byte of 0 would read as a literal 144, so such matches are not sent.
        if (m.length >= 3 && (high != 0 || code != 0)) {
            escaped.push_back(144);
            escaped.push_back(static_cast<uint8_t>(high << (8 - factor) | code));
            if (code == lengthMask)
                escaped.push_back(static_cast<uint8_t>(m.length - 3 - lengthMask));
            escaped.push_back(static_cast<uint8_t>(m.distance - 1));
        } else {
            escaped.push_back(data[at]);
            if (data[at] == 144) escaped.push_back(0);
        }
        const size_t step = m.length >= 3 && (high != 0 || code != 0) ? m.length : 1;
        for (size_t i = 0; i < step; ++i) finder.insert(at + i);
        at += step;
    }
    // Followers of each byte, most frequent first; the set sizes vary with the
    // byte so every index width gets used, empty sets included.
    std::array<std::map<uint8_t, size_t>, 256> counts;
    for (size_t i = 1; i < escaped.size(); ++i) ++counts[escaped[i - 1]][escaped[i]];
    std::array<std::vector<uint8_t>, 256> sets;
    BitWriter out;
    for (int byte = 255; byte >= 0; --byte) {
        std::vector<std::pair<size_t, uint8_t>> ranked;
        for (auto [follower, n] : counts[byte]) ranked.push_back({n, follower});
        std::sort(ranked.rbegin(), ranked.rend());
        ranked.resize(std::min<size_t>(ranked.size(), byte % 33));
        out.put(static_cast<uint32_t>(ranked.size()), 6);
        for (auto [n, follower] : ranked) {
            sets[byte].push_back(follower);
            out.put(follower, 8);
        }
    }
    uint8_t last = 0;
    for (uint8_t byte : escaped) {
        const std::vector<uint8_t>& set = sets[last];
        const auto found = std::find(set.begin(), set.end(), byte);
        if (!set.empty()) out.put(found == set.end() ? 1 : 0, 1);
        if (found == set.end()) {
            out.put(byte, 8);
        } else {
            out.put(static_cast<uint32_t>(found - set.begin()), followerIndexBits(set.size()));
        }
        last = byte;
    }
    return out.bytes();
}

// Code lengths from symbol frequencies (Huffman, flattened until no code is
// longer than 16 bits), every symbol getting a code.
std::vector<int> codeLengths(std::vector<size_t> frequencies) {
    for (;;) {
        std::vector<std::pair<size_t, std::vector<size_t>>> nodes;
        for (size_t s = 0; s < frequencies.size(); ++s) nodes.push_back({frequencies[s] + 1, {s}});
        std::vector<int> lengths(frequencies.size(), 0);
        while (nodes.size() > 1) {
            std::sort(nodes.begin(), nodes.end(),
                      [](auto& a, auto& b) { return a.first > b.first; });
            auto a = nodes.back();
            nodes.pop_back();
            auto& b = nodes.back();
            b.first += a.first;
            b.second.insert(b.second.end(), a.second.begin(), a.second.end());
            for (size_t s : b.second) ++lengths[s];
        }
        if (*std::max_element(lengths.begin(), lengths.end()) <= 16) return lengths;
        for (size_t& f : frequencies) f /= 2;
    }
}

struct Tree {
    std::vector<int> lengths;
    std::vector<uint32_t> codes;
};

// Longest codes take the lowest values, ties from the highest symbol down;
// the description is run-length coded in (repeats - 1, length - 1) nibbles.
Tree makeTree(const std::vector<size_t>& frequencies, BitWriter& out) {
    Tree tree{codeLengths(frequencies), std::vector<uint32_t>(frequencies.size())};
    uint32_t next = 0;
    for (int length = 16; length >= 1; --length) {
        for (size_t s = frequencies.size(); s-- > 0;) {
            if (tree.lengths[s] == length) tree.codes[s] = next++;
        }
        next >>= 1;
    }
    std::vector<uint8_t> runs;
    for (size_t s = 0; s < tree.lengths.size();) {
        size_t n = 1;
        while (s + n < tree.lengths.size() && n < 16 && tree.lengths[s + n] == tree.lengths[s]) ++n;
        runs.push_back(static_cast<uint8_t>((n - 1) << 4 | (tree.lengths[s] - 1)));
        s += n;
    }
    out.put(static_cast<uint32_t>(runs.size() - 1), 8);
    for (uint8_t r : runs) out.put(r, 8);
    return tree;
}

std::vector<uint8_t> implode(const std::vector<uint8_t>& data, uint16_t flags) {
    const bool literalTree = flags & 4;
    const int lowBits = flags & 2 ? 7 : 6;
    const size_t minMatch = literalTree ? 3 : 2;
    MatchFinder finder(data, size_t{64} << lowBits, minMatch + 63 + 255);
    std::vector<Match> tokens;  // length 0: literal
    for (size_t at = 0; at < data.size();) {
        Match m = finder.find(at);
        if (m.length < minMatch) m = {};
        tokens.push_back(m);
        for (size_t i = 0; i < std::max<size_t>(m.length, 1); ++i) finder.insert(at + i);
        at += std::max<size_t>(m.length, 1);
    }
    std::vector<size_t> literals(256), lengths(64), distances(64);
    for (size_t at = 0; const Match& t : tokens) {
        if (t.length == 0) ++literals[data[at]];
        if (t.length != 0) ++lengths[std::min<size_t>(t.length - minMatch, 63)];
        if (t.length != 0) ++distances[(t.distance - 1) >> lowBits];
        at += std::max<size_t>(t.length, 1);
    }
    BitWriter out;
    const Tree literalCodes = literalTree ? makeTree(literals, out) : Tree{};
    const Tree lengthCodes = makeTree(lengths, out), distanceCodes = makeTree(distances, out);
    for (size_t at = 0; const Match& t : tokens) {
        out.put(t.length == 0 ? 1 : 0, 1);
        if (t.length == 0 && literalTree) {
            out.code(literalCodes.codes[data[at]], literalCodes.lengths[data[at]]);
        } else if (t.length == 0) {
            out.put(data[at], 8);
        } else {
            const size_t d = t.distance - 1, l = std::min<size_t>(t.length - minMatch, 63);
            out.put(d & ((1u << lowBits) - 1), lowBits);
            out.code(distanceCodes.codes[d >> lowBits], distanceCodes.lengths[d >> lowBits]);
            out.code(lengthCodes.codes[l], lengthCodes.lengths[l]);
            if (l == 63) out.put(static_cast<uint32_t>(t.length - minMatch - 63), 8);
        }
        at += std::max<size_t>(t.length, 1);
    }
    return out.bytes();
}

std::vector<uint8_t> unreduce(const std::vector<uint8_t>& in, int factor, uint32_t size) {
    hk::archive::StreamBytes sink;
    MemberOutput out(sink);
    Unreduce(in, factor, size, out);
    return {sink.begin(), sink.end()};
}

std::vector<uint8_t> explode(const std::vector<uint8_t>& in, uint16_t flags, uint32_t size) {
    hk::archive::StreamBytes sink;
    MemberOutput out(sink);
    Explode(in, flags, size, out);
    return {sink.begin(), sink.end()};
}

std::vector<uint8_t> unshrink(const std::vector<uint8_t>& in) {
    hk::archive::StreamBytes sink;
    MemberOutput out(sink);
    Unshrink(in, out);
    return {sink.begin(), sink.end()};
}

ErrorCode failure(auto decode) {
    try {
        decode();
    } catch (const DecodeError& e) {
        return e.code();
    }
    return ErrorCode::WriteError;  // stands for "no error" here
}

TEST(LegacyRoundTrip, ReduceEveryFactor) {
    const std::vector<uint8_t> data = sampleData(30000);
    for (int factor = 1; factor <= 4; ++factor) {
        SCOPED_TRACE(factor);
        const std::vector<uint8_t> packed = reduce(data, factor);
        EXPECT_LT(packed.size(), data.size());
        EXPECT_EQ(unreduce(packed, factor, static_cast<uint32_t>(data.size())), data);
        // The declared size ends the member even where padding bits could go on.
        EXPECT_EQ(unreduce(packed, factor, 1000), std::vector(data.begin(), data.begin() + 1000));
    }
}

TEST(LegacyRoundTrip, ImplodeEveryWindowAndTreeCount) {
    const std::vector<uint8_t> data = sampleData(30000);
    for (uint16_t flags : {0, 2, 4, 6}) {
        SCOPED_TRACE(flags);
        const std::vector<uint8_t> packed = implode(data, flags);
        EXPECT_LT(packed.size(), data.size());
        EXPECT_EQ(explode(packed, flags, static_cast<uint32_t>(data.size())), data);
        // Other flag bits (encryption, descriptors) do not change the stream.
        EXPECT_EQ(explode(packed, flags | 0x09, static_cast<uint32_t>(data.size())), data);
    }
}

// Cut anywhere, a stream ends quietly with a prefix of its content.
TEST(LegacyRoundTrip, TruncatedStreamsYieldPrefixes) {
    const std::vector<uint8_t> data = sampleData(3000);
    auto isPrefix = [&](const std::vector<uint8_t>& part) {
        return part.size() <= data.size() && std::equal(part.begin(), part.end(), data.begin());
    };
    for (int factor = 1; factor <= 4; ++factor) {
        const std::vector<uint8_t> packed = reduce(data, factor);
        for (size_t cut = 0; cut < packed.size(); ++cut) {
            const std::vector<uint8_t> part(packed.begin(), packed.begin() + cut);
            ASSERT_TRUE(isPrefix(unreduce(part, factor, 3000))) << factor << " cut " << cut;
        }
    }
    for (uint16_t flags : {0, 6}) {
        const std::vector<uint8_t> packed = implode(data, flags);
        for (size_t cut = 0; cut < packed.size(); ++cut) {
            const std::vector<uint8_t> part(packed.begin(), packed.begin() + cut);
            ASSERT_TRUE(isPrefix(explode(part, flags, 3000))) << flags << " cut " << cut;
        }
    }
}

TEST(LegacyShrink, DamagedControlCodesAreBadBlocks) {
    BitWriter badSubcode;
    badSubcode.put('A', 9), badSubcode.put(256, 9), badSubcode.put(3, 9), badSubcode.put('B', 9);
    EXPECT_EQ(failure([&] { unshrink(badSubcode.bytes()); }), ErrorCode::BadBlock);

    BitWriter tooWide;
    tooWide.put('A', 9);
    for (int size = 9; size <= 13; ++size) tooWide.put(256, size), tooWide.put(1, size);
    EXPECT_EQ(failure([&] { unshrink(tooWide.bytes()); }), ErrorCode::BadBlock);

    BitWriter controlFirst;
    controlFirst.put(256, 9), controlFirst.put(1, 9);
    EXPECT_EQ(failure([&] { unshrink(controlFirst.bytes()); }), ErrorCode::BadBlock);
    EXPECT_EQ(failure([&] { unshrink({0x41}); }), ErrorCode::BadBlock);  // no whole first code
    EXPECT_TRUE(unshrink({}).empty());                                   // an empty member
}

TEST(LegacyShrink, GrowthClearingAndKwKwK) {
    BitWriter in;
    in.put('a', 9), in.put('b', 9);  // 257 = "ab"
    in.put(257, 9);                  // 258 = "ba"
    in.put(259, 9);                  // being defined: "ab" + 'a'; 259 = "aba"
    in.put(256, 9), in.put(1, 9);    // codes now take 10 bits
    in.put(259, 10);                 // 260 = "abaa"
    in.put(256, 10), in.put(2, 10);  // frees the leaves 258 and 260; 257 and 259 stay
    in.put('c', 10);                 // 258 = "abac", the lowest free code
    in.put(258, 10);                 // 260 = "ca"
    in.put(259, 10);                 // still "aba"
    const std::string expected =
        "ab"
        "ab"
        "aba"
        "aba"
        "c"
        "abac"
        "aba";
    EXPECT_EQ(unshrink(in.bytes()), std::vector<uint8_t>(expected.begin(), expected.end()));
}

// A clear frees only what is a leaf when it starts; codes it exposes go at the next one.
TEST(LegacyShrink, RepeatedClearsPeelLeaves) {
    BitWriter in;
    in.put('a', 9), in.put('b', 9);  // 257 = "ab"
    in.put(257, 9), in.put(258, 9);  // 258 = "ba", 259 = "abb"
    in.put(256, 9), in.put(2, 9);    // frees 258 and 259; 257 stays
    in.put(256, 9), in.put(2, 9);    // now 257 goes too
    in.put('c', 9);                  // 257 = "ba" + 'c', from 258's old entry
    in.put(257, 9);
    const std::string expected =
        "ab"
        "ab"
        "ba"
        "c"
        "bac";
    EXPECT_EQ(unshrink(in.bytes()), std::vector<uint8_t>(expected.begin(), expected.end()));
}

// After a partial clear a freed previous code can become its own prefix; using
// it must stop at the stack's end instead of looping.
TEST(LegacyShrink, SelfReferenceOverflowsStack) {
    BitWriter in;
    in.put('A', 9), in.put('B', 9), in.put(257, 9);  // 257 = "AB", 258 = "BA"
    in.put(256, 9), in.put(2, 9);                    // both are leaves: freed
    in.put('A', 9);                                  // 257 = (257, 'A')
    in.put(257, 9);
    EXPECT_EQ(failure([&] { unshrink(in.bytes()); }), ErrorCode::StackOverflow);
}

TEST(LegacyReduce, FollowerSetsBeyondTheirSizeAreBadBlocks) {
    BitWriter tooMany;
    tooMany.put(33, 6);
    EXPECT_EQ(failure([&] { unreduce(tooMany.bytes(), 4, 100); }), ErrorCode::BadBlock);

    BitWriter badIndex;
    for (int byte = 255; byte > 0; --byte) badIndex.put(0, 6);
    badIndex.put(3, 6), badIndex.put('x', 8), badIndex.put('y', 8), badIndex.put('z', 8);
    badIndex.put(0, 1), badIndex.put(3, 2);  // index 3 of a 3-byte set
    EXPECT_EQ(failure([&] { unreduce(badIndex.bytes(), 1, 100); }), ErrorCode::BadBlock);
}

// Two trees (length, distance) of 64 codes each, then the given payload bits.
std::vector<uint8_t> twoTrees(std::vector<uint8_t> lengthRuns, std::vector<uint8_t> payload) {
    std::vector<uint8_t> in = {static_cast<uint8_t>(lengthRuns.size() - 1)};
    in.insert(in.end(), lengthRuns.begin(), lengthRuns.end());
    in.push_back(static_cast<uint8_t>(lengthRuns.size() - 1));
    in.insert(in.end(), lengthRuns.begin(), lengthRuns.end());
    in.insert(in.end(), payload.begin(), payload.end());
    return in;
}

TEST(LegacyImplode, UnreadableTreesWriteNothing) {
    const std::vector<uint8_t> payload(8, 0xFF);
    // 64 one-bit codes: far more than a tree holds.
    EXPECT_EQ(failure([&] {
                  explode(twoTrees({0xF0, 0xF0, 0xF0, 0xF0}, payload), 0, 50);
              }),
              ErrorCode::BadBlock);
    // 48 lengths, or 80, for a 64-code tree.
    EXPECT_EQ(failure([&] {
                  explode(twoTrees({0xF5, 0xF5, 0xF5}, payload), 0, 50);
              }),
              ErrorCode::BadBlock);
    EXPECT_EQ(failure([&] {
                  explode(twoTrees({0xF6, 0xF6, 0xF6, 0xF6, 0xF6}, payload), 0, 50);
              }),
              ErrorCode::BadBlock);
    // One 1-bit code after 63 7-bit ones: the short code's slot is already taken.
    EXPECT_EQ(failure([&] {
                  explode(twoTrees({0x00, 0xF6, 0xF6, 0xF6, 0xE6}, payload), 0, 50);
              }),
              ErrorCode::AmbiguousTree);
}

TEST(LegacyImplode, CodeOutsideAnIncompleteTreeIsAmbiguous) {
    // 64 7-bit codes fill half the tree; a distance code starting with 1 has no entry.
    // Bit 0 = 0 starts a match, six low distance bits follow, then the code's first bit 1.
    const std::vector<uint8_t> in = twoTrees({0xF6, 0xF6, 0xF6, 0xF6}, {0x80, 0xFF, 0xFF, 0xFF});
    EXPECT_EQ(failure([&] { explode(in, 0, 50); }), ErrorCode::AmbiguousTree);
}

// Noise must never crash, hang or outgrow the declared size.
TEST(LegacyHostile, RandomBytesStayBounded) {
    std::mt19937 random(1);
    for (int round = 0; round < 300; ++round) {
        std::vector<uint8_t> in(random() % 1500);
        for (uint8_t& b : in) b = static_cast<uint8_t>(random());
        // A plausible tree header makes explode get past its trees more often.
        if (round % 2 == 0 && in.size() > 2) in[0] = 0x0F;
        const uint32_t size = random() % 100000;
        try {
            unshrink(in);
        } catch (const DecodeError&) {
        }
        for (int factor = 1; factor <= 4; ++factor) {
            try {
                EXPECT_LE(unreduce(in, factor, size).size(), size);
            } catch (const DecodeError&) {
            }
        }
        for (uint16_t flags : {0, 2, 4, 6}) {
            try {
                EXPECT_LE(explode(in, flags, size).size(), size);
            } catch (const DecodeError&) {
            }
        }
    }
}

}  // namespace
}  // namespace hk::archive
