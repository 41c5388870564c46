// The commands that write: build, unpack and synth.
#include <charconv>
#include <cstdio>
#include <random>
#include <string>

#include "atomic_file.h"
#include "commands.h"
#include "database_writer.h"
#include "progress_line.h"
#include "terminal_text.h"
#include "unpack.h"

namespace hk::pack {

namespace {

WriteOptions OptionsFrom(const Invocation& args) {
    WriteOptions options;
    options.deflate = !args.Has("--store");
    options.encrypt = !args.Has("--no-encrypt");
    return options;
}

// Writes a database through a temporary file, so OUT appears only when whole.
template <typename Fill>
void WriteAtomically(const std::string& out, Fill fill) {
    AtomicFile file(out);
    FileSink sink(file.Stream(), out);
    fill(sink);
    file.Commit();
}

}  // namespace

int BuildCommand(const Invocation& args) {
    const std::string& out = args.operands[1];
    DatabaseSources sources;
    try {
        sources = ReadSources(args.operands[0]);
    } catch (const SourceError& e) {
        return Report(kExitFailure, e.what());
    }
    WriteOptions options = OptionsFrom(args);
    options.seed = std::random_device{}();
    std::tie(options.dosTime, options.dosDate) = ZipWriter::DosNow();
    {
        ProgressLine progress;
        WriteAtomically(
            out, [&](ByteSink& sink) { WriteDatabase(sources, sink, options, progress.Report()); });
    }
    std::printf("%zu games, %zu texts written to %s\n", sources.games.size(), sources.texts.size(),
                TerminalText(out).c_str());
    return kExitOk;
}

int UnpackCommand(const Invocation& args) {
    const std::string& archive = args.operands[0];
    const std::string& dir = args.operands[1];
    UnpackResult result;
    try {
        ProgressLine progress;
        result = Unpack(archive, dir, progress.Report());
    } catch (const UnpackError& e) {
        return Report(kExitFailure, archive + ": " + e.what());
    }
    std::printf("%zu games, %zu texts written to %s\n", result.games, result.texts,
                TerminalText(dir).c_str());
    return kExitOk;
}

int SynthCommand(const Invocation& args) {
    const std::string& text = args.operands[0];
    size_t count = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), count);
    // Four index members share the 65,535 entries of a ZIP without ZIP64.
    if (ec != std::errc() || end != text.data() + text.size() || count == 0 || count > 65531) {
        throw UsageError("synth: COUNT must be a number from 1 to 65531, not \"" + text + "\"");
    }
    WriteOptions options = OptionsFrom(args);
    options.seed = 0x5EED;
    options.dosTime = (12 << 11);                           // 12:00:00
    options.dosDate = ((2026 - 1980) << 9) | (1 << 5) | 1;  // 2026-01-01
    WriteAtomically(args.operands[1],
                    [&](ByteSink& sink) { WriteSyntheticDatabase(count, sink, options); });
    return kExitOk;
}

}  // namespace hk::pack
