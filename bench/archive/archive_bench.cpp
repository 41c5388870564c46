// Throughput of the reader's inflate and CRC-32 next to zlib's and
// libdeflate's on the same data, and the cost of one fetch from a large
// encrypted archive, the way the viewer fetches a game.
#include <benchmark/benchmark.h>
#include <libdeflate.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "archive/TUnZip.h"
#include "archive/crc32.h"
#include "archive/inflate.h"

namespace {

namespace fs = std::filesystem;
using hk::archive::Inflater;

// Text that looks like a codes database: words, numbers, line breaks.
std::vector<uint8_t> textLike(size_t size, unsigned seed) {
    std::mt19937 rng(seed);
    const char* words[] = {"IDDQD",  "IDKFA", "level", "password", "god mode", "ammo",
                           "warp",   "Enter", "type",  "during",   "game",     "the",
                           "секрет", "код",   "and",   "press",    "F10",      "health"};
    std::vector<uint8_t> out;
    while (out.size() < size) {
        std::string w = words[rng() % 18];
        if (rng() % 5 == 0) w += std::to_string(rng() % 1000);
        w += rng() % 9 == 0 ? "\r\n" : " ";
        out.insert(out.end(), w.begin(), w.end());
    }
    out.resize(size);
    return out;
}

std::vector<uint8_t> rawDeflate(const std::vector<uint8_t>& data, int level) {
    z_stream z{};
    deflateInit2(&z, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    std::vector<uint8_t> out(deflateBound(&z, data.size()) + 16);
    z.next_in = const_cast<uint8_t*>(data.data());
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

struct Corpus {
    std::vector<uint8_t> plain;
    std::vector<uint8_t> packed;
    explicit Corpus(int level) : plain(textLike(4 << 20, 1)), packed(rawDeflate(plain, level)) {}
};

const Corpus& corpus(int level) {
    static const Corpus c1(1), c6(6), c9(9);
    return level == 1 ? c1 : level == 6 ? c6 : c9;
}

void BM_InflateOurs(benchmark::State& state) {
    const Corpus& c = corpus(static_cast<int>(state.range(0)));
    Inflater inflater;
    std::vector<uint8_t> out;
    for (auto _ : state) {
        out.clear();
        inflater.inflate(c.packed, out, c.plain.size(), nullptr);
        benchmark::DoNotOptimize(out.data());
    }
    if (out != c.plain) state.SkipWithError("wrong output");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * c.plain.size()));
}
BENCHMARK(BM_InflateOurs)->Arg(1)->Arg(6)->Arg(9)->Unit(benchmark::kMillisecond);

void BM_InflateZlib(benchmark::State& state) {
    const Corpus& c = corpus(static_cast<int>(state.range(0)));
    std::vector<uint8_t> out;
    for (auto _ : state) {
        // The same work as ours: the whole member into one buffer of its size.
        out.assign(c.plain.size(), 0);
        z_stream z{};
        inflateInit2(&z, -15);
        z.next_in = const_cast<uint8_t*>(c.packed.data());
        z.avail_in = static_cast<uInt>(c.packed.size());
        z.next_out = out.data();
        z.avail_out = static_cast<uInt>(out.size());
        inflate(&z, Z_FINISH);
        inflateEnd(&z);
        benchmark::DoNotOptimize(out.data());
    }
    if (out != c.plain) state.SkipWithError("wrong output");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * c.plain.size()));
}
BENCHMARK(BM_InflateZlib)->Arg(1)->Arg(6)->Arg(9)->Unit(benchmark::kMillisecond);

void BM_InflateLibdeflate(benchmark::State& state) {
    const Corpus& c = corpus(static_cast<int>(state.range(0)));
    libdeflate_decompressor* d = libdeflate_alloc_decompressor();
    std::vector<uint8_t> out;
    for (auto _ : state) {
        out.assign(c.plain.size(), 0);
        size_t produced = 0;
        if (libdeflate_deflate_decompress(d, c.packed.data(), c.packed.size(), out.data(),
                                          out.size(), &produced) != LIBDEFLATE_SUCCESS)
            state.SkipWithError("libdeflate failed");
        benchmark::DoNotOptimize(out.data());
    }
    libdeflate_free_decompressor(d);
    if (out != c.plain) state.SkipWithError("wrong output");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * c.plain.size()));
}
BENCHMARK(BM_InflateLibdeflate)->Arg(1)->Arg(6)->Arg(9)->Unit(benchmark::kMillisecond);

void BM_Crc32Ours(benchmark::State& state) {
    const auto& data = corpus(6).plain;
    for (auto _ : state) benchmark::DoNotOptimize(hk::archive::crc32(data.data(), data.size()));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * data.size()));
}
BENCHMARK(BM_Crc32Ours)->Unit(benchmark::kMillisecond);

void BM_Crc32Zlib(benchmark::State& state) {
    const auto& data = corpus(6).plain;
    for (auto _ : state)
        benchmark::DoNotOptimize(::crc32(0, data.data(), static_cast<uInt>(data.size())));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * data.size()));
}
BENCHMARK(BM_Crc32Zlib)->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------------------
// A 20,000-member archive: deflated, traditionally encrypted members of a few
// KiB each, written by the small writer below into a temp folder.

class ArchiveBuilder {
  public:
    void add(const std::string& name, const std::vector<uint8_t>& plain, const std::string& pw) {
        const uint32_t crc = ::crc32(0, plain.data(), static_cast<uInt>(plain.size()));
        std::vector<uint8_t> data = rawDeflate(plain, 6);
        // Encryption header: random bytes, the last one the CRC's high byte.
        std::vector<uint8_t> body(12);
        for (auto& b : body) b = static_cast<uint8_t>(rng_());
        body[11] = static_cast<uint8_t>(crc >> 24);
        body.insert(body.end(), data.begin(), data.end());
        encrypt(body, pw);
        const auto offset = static_cast<uint32_t>(out_.size());
        header(out_, 0x04034B50, false, crc, body.size(), plain.size(), name, 0);
        out_.insert(out_.end(), body.begin(), body.end());
        header(central_, 0x02014B50, true, crc, body.size(), plain.size(), name, offset);
        ++count_;
    }
    void write(const fs::path& path) {
        std::vector<uint8_t> all = out_;
        const auto dir = static_cast<uint32_t>(all.size());
        all.insert(all.end(), central_.begin(), central_.end());
        put32(all, 0x06054B50);
        put16(all, 0);
        put16(all, 0);
        put16(all, count_);
        put16(all, count_);
        put32(all, static_cast<uint32_t>(central_.size()));
        put32(all, dir);
        put16(all, 0);
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(all.data()),
                   static_cast<std::streamsize>(all.size()));
    }

  private:
    static void put16(std::vector<uint8_t>& v, uint32_t x) {
        v.push_back(static_cast<uint8_t>(x));
        v.push_back(static_cast<uint8_t>(x >> 8));
    }
    static void put32(std::vector<uint8_t>& v, uint32_t x) {
        put16(v, x & 0xFFFF);
        put16(v, x >> 16);
    }
    static void header(std::vector<uint8_t>& v, uint32_t sig, bool central, uint32_t crc,
                       size_t packed, size_t plain, const std::string& name, uint32_t offset) {
        put32(v, sig);
        if (central) put16(v, 20);
        put16(v, 20);
        put16(v, 1);  // encrypted
        put16(v, 8);
        put32(v, 0x5A216000);
        put32(v, crc);
        put32(v, static_cast<uint32_t>(packed));
        put32(v, static_cast<uint32_t>(plain));
        put16(v, static_cast<uint32_t>(name.size()));
        put16(v, 0);
        if (central) {
            put16(v, 0);
            put16(v, 0);
            put16(v, 0);
            put32(v, 0);
            put32(v, offset);
        }
        v.insert(v.end(), name.begin(), name.end());
    }
    static void encrypt(std::vector<uint8_t>& data, const std::string& pw) {
        uint32_t k[3] = {0x12345678u, 0x23456789u, 0x34567890u};
        auto crcByte = [](uint32_t c, uint8_t b) {
            c ^= b;
            for (int i = 0; i < 8; ++i) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
            return c;
        };
        auto update = [&](uint8_t p) {
            k[0] = crcByte(k[0], p);
            k[1] = (k[1] + (k[0] & 0xFF)) * 134775813u + 1;
            k[2] = crcByte(k[2], static_cast<uint8_t>(k[1] >> 24));
        };
        for (char c : pw) update(static_cast<uint8_t>(c));
        for (auto& b : data) {
            const uint32_t t = (k[2] & 0xFFFF) | 2;
            const uint8_t plain = b;
            b = static_cast<uint8_t>(b ^ ((t * (t ^ 1)) >> 8));
            update(plain);
        }
    }

    std::vector<uint8_t> out_, central_;
    uint32_t count_ = 0;
    std::mt19937 rng_{9};
};

struct LargeArchive {
    fs::path dir = fs::temp_directory_path() / ("hk-bench-archive-" + std::to_string(::getpid()));
    fs::path path = dir / "hintkeeper.dat";
    LargeArchive() {
        fs::create_directories(dir);
        ArchiveBuilder b;
        for (int i = 0; i < 20000; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "g%05d.txt", i);
            b.add(name,
                  textLike(2000 + static_cast<size_t>(i % 7) * 1000, static_cast<unsigned>(i)),
                  "database password");
        }
        b.write(path);
    }
    ~LargeArchive() { fs::remove_all(dir); }
};

void BM_FetchOneOf20000(benchmark::State& state) {
    static const LargeArchive archive;
    hk::archive::TUnZip zip;
    hk::archive::TDecompMemoryStream stream;
    int i = 0;
    for (auto _ : state) {
        // What one game fetch does: set the file (type detection included),
        // one password, one member name, reset the stream, extract.
        char name[32];
        std::snprintf(name, sizeof name, "g%05d.txt", (i++ * 7919) % 20000);
        zip.SetArchiveFile(archive.path.string());
        zip.Passwords() = {"database password"};
        zip.FileSpec() = {name};
        stream.Reset();
        if (zip.ExtractToMemory(&stream) != 1) state.SkipWithError("member not extracted");
    }
}
BENCHMARK(BM_FetchOneOf20000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
