// hkpack: makes and inspects Hintkeeper databases.
#include <unistd.h>

#include <charconv>
#include <cstdio>
#include <cstring>
#include <exception>
#include <random>
#include <string>
#include <vector>

#include "archive/directory_listing.h"
#include "atomic_file.h"
#include "database/DatabaseSession.h"
#include "database/cp1251.h"
#include "database_writer.h"

namespace {

namespace db = hk::database;
namespace pk = hk::pack;

constexpr int kUsageError = 64;

const char kUsage[] =
    "usage:\n"
    "  hkpack build SRC OUT.dat [--store] [--no-encrypt]\n"
    "  hkpack cat ARCHIVE MEMBER [--password P]...\n"
    "  hkpack list ARCHIVE\n"
    "  hkpack check ARCHIVE\n"
    "  hkpack synth COUNT OUT.dat [--store] [--no-encrypt]\n";

int Usage(const char* problem) {
    std::fprintf(stderr, "hkpack: %s\n%s", problem, kUsage);
    return kUsageError;
}

struct Arguments {
    std::vector<std::string> positional;
    std::vector<std::string> passwords;
    bool store = false;
    bool noEncrypt = false;
    std::string bad;  // the first argument that made no sense
};

Arguments Parse(int argc, char** argv) {
    Arguments args;
    for (int i = 2; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--store") {
            args.store = true;
        } else if (a == "--no-encrypt") {
            args.noEncrypt = true;
        } else if (a == "--password" && i + 1 < argc) {
            args.passwords.emplace_back(argv[++i]);
        } else if (a.starts_with("--") && args.bad.empty()) {
            args.bad = a;
        } else {
            args.positional.push_back(a);
        }
    }
    return args;
}

// Writes a database through a temporary file, so OUT appears only when whole.
template <typename Fill>
int WriteAtomically(const std::string& out, Fill fill) {
    pk::AtomicFile file(out);
    pk::FileSink sink(file.Stream());
    fill(sink);
    file.Commit();
    return 0;
}

int Build(const Arguments& args) {
    if (args.positional.size() != 2) return Usage("build takes SRC and OUT.dat");
    pk::DatabaseSources sources;
    try {
        sources = pk::ReadSources(args.positional[0]);
    } catch (const pk::SourceError& e) {
        std::fprintf(stderr, "hkpack: %s\n", e.what());
        return 1;
    }
    pk::WriteOptions options;
    options.deflate = !args.store;
    options.encrypt = !args.noEncrypt;
    options.seed = std::random_device{}();
    std::tie(options.dosTime, options.dosDate) = pk::ZipWriter::DosNow();
    WriteAtomically(args.positional[1],
                    [&](pk::ByteSink& sink) { pk::WriteDatabase(sources, sink, options); });
    std::printf("%zu games, %zu texts written to %s\n", sources.games.size(), sources.texts.size(),
                args.positional[1].c_str());
    return 0;
}

int Synth(const Arguments& args) {
    if (args.positional.size() != 2) return Usage("synth takes COUNT and OUT.dat");
    const std::string& text = args.positional[0];
    size_t count = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), count);
    // Four index members share the 65,535 entries of a ZIP without ZIP64.
    if (ec != std::errc() || end != text.data() + text.size() || count == 0 || count > 65531) {
        return Usage("COUNT must be a number from 1 to 65531");
    }
    pk::WriteOptions options;
    options.deflate = !args.store;
    options.encrypt = !args.noEncrypt;
    options.seed = 0x5EED;
    options.dosTime = (12 << 11);                           // 12:00:00
    options.dosDate = ((2026 - 1980) << 9) | (1 << 5) | 1;  // 2026-01-01
    return WriteAtomically(args.positional[1], [&](pk::ByteSink& sink) {
        pk::WriteSyntheticDatabase(count, sink, options);
    });
}

// The viewer's fetch, with the extracted bytes on stdout.
int Cat(const Arguments& args) {
    if (args.positional.size() != 2) return Usage("cat takes ARCHIVE and MEMBER");
    db::DatabaseSession session = db::DatabaseSession::ForArchive(args.positional[0]);
    if (!args.passwords.empty()) session.SetFetchPasswords(args.passwords);
    const db::FetchResult result = session.Extract(args.positional[1]);
    if (result.raised) {
        std::fprintf(stderr, "hkpack: %s\n", result.raisedMessage.c_str());
        return 2;
    }
    if (result.memberCount != 1) {
        std::fprintf(stderr, "hkpack: %d members match\n", result.memberCount);
        return 1;
    }
    const std::vector<uint8_t>& bytes = session.ExtractionStream().Bytes();
    for (size_t done = 0; done < bytes.size();) {
        const ssize_t n = ::write(STDOUT_FILENO, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            std::fprintf(stderr, "hkpack: cannot write: %s\n", std::strerror(errno));
            return 2;
        }
        done += static_cast<size_t>(n);
    }
    return 0;
}

std::string MethodName(uint16_t method) {
    switch (method) {
        case 0:
            return "stored";
        case 1:
            return "shrunk";
        case 2:
        case 3:
        case 4:
        case 5:
            return "reduced" + std::to_string(method - 1);
        case 6:
            return "imploded";
        case 8:
            return "deflated";
        case 9:
            return "deflate64";
        default:
            return "method" + std::to_string(method);
    }
}

int List(const Arguments& args) {
    if (args.positional.size() != 1) return Usage("list takes ARCHIVE");
    std::vector<hk::archive::ListedMember> members;
    try {
        members = hk::archive::ListCentralDirectory(args.positional[0]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "hkpack: %s: %s\n", args.positional[0].c_str(), e.what());
        return 1;
    }
    std::printf("%-10s %10s %10s %-9s %-8s %s\n", "method", "packed", "size", "encrypted", "crc",
                "name");
    for (const auto& m : members) {
        std::printf("%-10s %10u %10u %-9s %08X %s\n", MethodName(m.method).c_str(),
                    m.compressedSize, m.uncompressedSize, m.encrypted ? "yes" : "no", m.crc32,
                    db::Cp1251ToUtf8(m.name).c_str());
    }
    std::printf("%zu members\n", members.size());
    return 0;
}

int Check(const Arguments& args) {
    if (args.positional.size() != 1) return Usage("check takes ARCHIVE");
    db::DatabaseSession session = db::DatabaseSession::ForArchive(args.positional[0]);
    std::vector<std::string> crcFailures;
    session.UnZip1().OnEnd = [&](const std::string& member, bool crcPass) {
        if (!crcPass) crcFailures.push_back(member);
    };

    std::vector<std::string> titles;
    const bool loaded = session.LoadIndex(titles);
    if (!loaded || !crcFailures.empty()) {
        std::fprintf(stderr, "index: the viewer would refuse this database\n");
        for (const std::string& problem : session.LoadProblems()) {
            std::fprintf(stderr, "  %s\n", problem.c_str());
        }
        for (const std::string& member : crcFailures) {
            std::fprintf(stderr, "  %s fails its CRC check\n", db::Cp1251ToUtf8(member).c_str());
        }
        std::fprintf(stderr, "  the viewer says: %s\n",
                     db::Cp1251ToUtf8(session.ErrorMessage()).c_str());
        return 1;
    }

    size_t bytes = 0;
    size_t failures = 0;
    for (size_t k = 0; k < titles.size(); ++k) {
        crcFailures.clear();
        const std::string& member = session.MemberNames()[k];
        const db::FetchResult result = session.FetchMember(member);
        std::string reason;
        if (result.raised) {
            reason = "the reader raised: " + result.raisedMessage;
        } else if (result.memberCount != 1) {
            reason = std::to_string(result.memberCount) + " members match";
        } else if (!crcFailures.empty()) {
            reason = "fails its CRC check";
        }
        bytes += session.ExtractionStream().Size();
        if (!reason.empty()) {
            ++failures;
            std::fprintf(stderr, "game %zu \"%s\" (%s): %s\n", k + 1,
                         db::Cp1251ToUtf8(titles[k]).c_str(), db::Cp1251ToUtf8(member).c_str(),
                         reason.c_str());
        }
    }
    std::printf("games: %zu, bytes: %zu, failures: %zu\n", titles.size(), bytes, failures);
    return failures == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage("no command");
    const std::string command = argv[1];
    const Arguments args = Parse(argc, argv);
    if (!args.bad.empty()) return Usage(("unknown option " + args.bad).c_str());
    try {
        if (command == "build") return Build(args);
        if (command == "cat") return Cat(args);
        if (command == "list") return List(args);
        if (command == "check") return Check(args);
        if (command == "synth") return Synth(args);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "hkpack: %s\n", e.what());
        return command == "cat" ? 2 : 1;
    }
    return Usage(("unknown command " + command).c_str());
}
