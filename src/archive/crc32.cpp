#include "archive/crc32.h"

#include <array>
#include <bit>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#define HK_CRC_FOLDING 1
#endif

namespace hk::archive {

namespace {

constexpr uint32_t kPolynomial = 0xEDB88320u;

// Sixteen tables: table[k][b] is the CRC of byte b followed by k zero bytes,
// so sixteen input bytes fold into the running value with independent lookups.
using CrcTables = std::array<std::array<uint32_t, 256>, 16>;

constexpr CrcTables makeTables() {
    CrcTables t{};
    for (uint32_t b = 0; b < 256; ++b) {
        uint32_t c = b;
        for (int i = 0; i < 8; ++i) c = (c & 1) ? (c >> 1) ^ kPolynomial : c >> 1;
        t[0][b] = c;
    }
    for (size_t k = 1; k < 16; ++k)
        for (size_t b = 0; b < 256; ++b) t[k][b] = (t[k - 1][b] >> 8) ^ t[0][t[k - 1][b] & 0xFF];
    return t;
}

constexpr CrcTables kTables = makeTables();

inline uint32_t load32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    if constexpr (std::endian::native == std::endian::big) v = __builtin_bswap32(v);
    return v;
}

}  // namespace

const std::array<uint32_t, 256> detail::kCrcByteTable = kTables[0];

uint32_t detail::crc32UpdateByTables(uint32_t crc, const uint8_t* data, size_t size) {
    const auto& t = kTables;
    while (size >= 16) {
        const uint32_t a = load32(data) ^ crc;
        const uint32_t b = load32(data + 4);
        const uint32_t c = load32(data + 8);
        const uint32_t d = load32(data + 12);
        crc = t[15][a & 0xFF] ^ t[14][(a >> 8) & 0xFF] ^ t[13][(a >> 16) & 0xFF] ^ t[12][a >> 24] ^
              t[11][b & 0xFF] ^ t[10][(b >> 8) & 0xFF] ^ t[9][(b >> 16) & 0xFF] ^ t[8][b >> 24] ^
              t[7][c & 0xFF] ^ t[6][(c >> 8) & 0xFF] ^ t[5][(c >> 16) & 0xFF] ^ t[4][c >> 24] ^
              t[3][d & 0xFF] ^ t[2][(d >> 8) & 0xFF] ^ t[1][(d >> 16) & 0xFF] ^ t[0][d >> 24];
        data += 16;
        size -= 16;
    }
    while (size--) crc = (crc >> 8) ^ t[0][(crc ^ *data++) & 0xFF];
    return crc;
}

#ifdef HK_CRC_FOLDING

namespace {

// Folding works on the message as one long polynomial over GF(2), with the
// first bit read as the highest power, and keeps it short by replacing a
// 128-bit piece P, which stands D bits before the end, by the congruent
// P * x^D mod G placed at the end. In this bit order the low 64 bits of a
// 16-byte piece are its high-order half H and the upper 64 bits its low half L:
// P * x^D = H * x^(64+D) + L * x^D. A carry-less product of two such 64-bit
// halves comes out multiplied by one extra x, so the multipliers are
// x^(63+D) mod G for H and x^(D-1) mod G for L.

// x^n mod G, bit 31 standing for x^0 (the reflected order of the running value).
constexpr uint32_t xPowerModG(unsigned n) {
    uint32_t r = 0x80000000u;
    for (unsigned i = 0; i < n; ++i) r = (r & 1) ? (r >> 1) ^ kPolynomial : r >> 1;
    return r;
}

// A remainder of degree below 32 as a 64-bit multiplier: in a 64-bit half,
// bit j stands for x^(63-j), so the remainder goes to the upper 32 bits.
constexpr uint64_t multiplier(unsigned n) {
    return uint64_t{xPowerModG(n)} << 32;
}

struct FoldBy {
    uint64_t high, low;
};
constexpr FoldBy fold(unsigned bits) {
    return {multiplier(63 + bits), multiplier(bits - 1)};
}

constexpr FoldBy kFold512 = fold(512);  // four lanes of 16 bytes, 64 bytes ahead
constexpr FoldBy kFold128 = fold(128);  // one lane onto the next 16 bytes

__attribute__((target("pclmul,sse2"))) inline __m128i foldOnto(__m128i piece, __m128i by,
                                                               __m128i next) {
    const __m128i high = _mm_clmulepi64_si128(piece, by, 0x00);
    const __m128i low = _mm_clmulepi64_si128(piece, by, 0x11);
    return _mm_xor_si128(_mm_xor_si128(high, low), next);
}

__attribute__((target("sse2"))) __m128i load128(const uint8_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

__attribute__((target("sse2"))) __m128i constants(const FoldBy& f) {
    return _mm_set_epi64x(static_cast<long long>(f.low), static_cast<long long>(f.high));
}

// The same folding on 32-byte registers, four lanes of two pieces each.
constexpr FoldBy kFold1024 = fold(1024);  // 128 bytes ahead
constexpr FoldBy kFold256 = fold(256);    // one 32-byte lane onto the next

__attribute__((target("avx2,vpclmulqdq"))) inline __m256i foldOnto(__m256i piece, __m256i by,
                                                                   __m256i next) {
    const __m256i high = _mm256_clmulepi64_epi128(piece, by, 0x00);
    const __m256i low = _mm256_clmulepi64_epi128(piece, by, 0x11);
    return _mm256_xor_si256(_mm256_xor_si256(high, low), next);
}

__attribute__((target("avx2"))) __m256i load256(const uint8_t* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

__attribute__((target("avx2"))) __m256i constants256(const FoldBy& f) {
    return _mm256_set_epi64x(static_cast<long long>(f.low), static_cast<long long>(f.high),
                             static_cast<long long>(f.low), static_cast<long long>(f.high));
}

// Folds whole 128-byte blocks and leaves one 16-byte piece congruent to the
// message so far; `data` and `size` move past what it took.
__attribute__((target("avx2,vpclmulqdq,pclmul"))) __m128i foldWide(uint32_t crc,
                                                                   const uint8_t*& data,
                                                                   size_t& size) {
    __m256i a = _mm256_xor_si256(load256(data),
                                 _mm256_zextsi128_si256(_mm_cvtsi32_si128(static_cast<int>(crc))));
    __m256i b = load256(data + 32);
    __m256i c = load256(data + 64);
    __m256i d = load256(data + 96);
    data += 128;
    size -= 128;
    const __m256i by1024 = constants256(kFold1024);
    while (size >= 128) {
        a = foldOnto(a, by1024, load256(data));
        b = foldOnto(b, by1024, load256(data + 32));
        c = foldOnto(c, by1024, load256(data + 64));
        d = foldOnto(d, by1024, load256(data + 96));
        data += 128;
        size -= 128;
    }
    const __m256i by256 = constants256(kFold256);
    a = foldOnto(a, by256, b);
    a = foldOnto(a, by256, c);
    a = foldOnto(a, by256, d);
    return foldOnto(_mm256_castsi256_si128(a), constants(kFold128), _mm256_extracti128_si256(a, 1));
}

// Folds whole 64-byte blocks on 16-byte registers; as foldWide.
__attribute__((target("pclmul,sse2"))) __m128i foldNarrow(uint32_t crc, const uint8_t*& data,
                                                          size_t& size) {
    __m128i a = _mm_xor_si128(load128(data), _mm_cvtsi32_si128(static_cast<int>(crc)));
    __m128i b = load128(data + 16);
    __m128i c = load128(data + 32);
    __m128i d = load128(data + 48);
    data += 64;
    size -= 64;
    const __m128i by512 = constants(kFold512);
    while (size >= 64) {
        a = foldOnto(a, by512, load128(data));
        b = foldOnto(b, by512, load128(data + 16));
        c = foldOnto(c, by512, load128(data + 32));
        d = foldOnto(d, by512, load128(data + 48));
        data += 64;
        size -= 64;
    }
    const __m128i by128 = constants(kFold128);
    a = foldOnto(a, by128, b);
    a = foldOnto(a, by128, c);
    return foldOnto(a, by128, d);
}

// Folds 16-byte pieces onto `a` and the last few bytes by the tables.
__attribute__((target("pclmul,sse2"))) uint32_t finish(__m128i a, const uint8_t* data,
                                                       size_t size) {
    const __m128i by128 = constants(kFold128);
    while (size >= 16) {
        a = foldOnto(a, by128, load128(data));
        data += 16;
        size -= 16;
    }
    // What is left is a 16-byte message congruent to everything so far; its
    // CRC from zero is the running value.
    uint8_t rest[16];
    _mm_storeu_si128(reinterpret_cast<__m128i*>(rest), a);
    return detail::crc32UpdateByTables(detail::crc32UpdateByTables(0, rest, 16), data, size);
}

}  // namespace

bool detail::crc32FoldingAvailable() {
    return __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse2");
}

bool detail::crc32WideFoldingAvailable() {
    return crc32FoldingAvailable() && __builtin_cpu_supports("avx2") &&
           __builtin_cpu_supports("vpclmulqdq");
}

__attribute__((target("pclmul,sse2"))) uint32_t detail::crc32UpdateByFolding(uint32_t crc,
                                                                             const uint8_t* data,
                                                                             size_t size) {
    if (size < 64) return crc32UpdateByTables(crc, data, size);
    const __m128i a = foldNarrow(crc, data, size);
    return finish(a, data, size);
}

__attribute__((target("pclmul,sse2"))) uint32_t detail::crc32UpdateByWideFolding(
    uint32_t crc, const uint8_t* data, size_t size) {
    if (size < 128) return crc32UpdateByFolding(crc, data, size);
    const __m128i a = foldWide(crc, data, size);
    return finish(a, data, size);
}

#else

bool detail::crc32FoldingAvailable() {
    return false;
}

bool detail::crc32WideFoldingAvailable() {
    return false;
}

uint32_t detail::crc32UpdateByFolding(uint32_t crc, const uint8_t* data, size_t size) {
    return crc32UpdateByTables(crc, data, size);
}

uint32_t detail::crc32UpdateByWideFolding(uint32_t crc, const uint8_t* data, size_t size) {
    return crc32UpdateByTables(crc, data, size);
}

#endif

namespace {

using Update = uint32_t (*)(uint32_t, const uint8_t*, size_t);

Update fastestUpdate() {
    if (detail::crc32WideFoldingAvailable()) return detail::crc32UpdateByWideFolding;
    if (detail::crc32FoldingAvailable()) return detail::crc32UpdateByFolding;
    return detail::crc32UpdateByTables;
}

}  // namespace

uint32_t crc32Update(uint32_t crc, const uint8_t* data, size_t size) {
    static const Update update = fastestUpdate();
    return update(crc, data, size);
}

}  // namespace hk::archive
