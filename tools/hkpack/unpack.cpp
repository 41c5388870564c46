#include "unpack.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <optional>
#include <set>
#include <utility>
#include <vector>

#include "archive/directory_listing.h"
#include "database/DatabaseSession.h"
#include "database/codes_text.h"
#include "database/cp1251.h"
#include "database/database_constants.h"
#include "database_writer.h"
#include "input_file.h"
#include "member_verdict.h"
#include "temporary_folder.h"
#include "write_all.h"

namespace hk::pack {

namespace db = hk::database;
namespace fs = std::filesystem;

namespace {

std::string Counted(size_t n, const std::string& noun) {
    return std::to_string(n) + " " + noun + (n == 1 ? "" : "s");
}

[[noreturn]] void Refuse(const std::string& member, const std::string& what) {
    throw UnpackError(db::Cp1251ToUtf8(member) + ": " + what);
}

[[noreturn]] void Refuse(const std::string& member, size_t line, const std::string& what) {
    Refuse(member, "line " + std::to_string(line) + ": " + what);
}

size_t LineAt(std::string_view text, size_t offset) {
    return 1 + static_cast<size_t>(std::count(text.begin(), text.begin() + offset, '\n'));
}

// UTF-8 for Windows-1251 text that converts back to the same bytes; nothing
// for text holding 0x98, the one byte without a character.
std::optional<std::string> ReversibleUtf8(std::string_view cp1251) {
    std::string utf8 = db::Cp1251ToUtf8(cp1251);
    const std::optional<std::string> back = db::Utf8ToCp1251(utf8);
    if (!back || *back != cp1251) return std::nullopt;
    return utf8;
}

// Texts are converted, written and read back this many bytes at a time, so
// that a large text is never held in several forms at once.
constexpr size_t kSlice = size_t{1} << 20;

// Which bytes of a text come back from the build's own conversion of their
// UTF-8 form: it converts character by character and makes each LF a CR LF,
// so judging every byte once judges every text.
struct RoundTrip {
    std::array<bool, 256> byteSurvives{};
    bool lineEndSurvives = false;
    std::array<std::string, 256> utf8Of;  // the UTF-8 form of each byte

    RoundTrip() {
        for (int b = 1; b < 256; ++b) {
            const std::string one(1, static_cast<char>(b));
            utf8Of[b] = db::Cp1251ToUtf8(one);
            try {
                byteSurvives[b] =
                    b != '\r' && b != '\n' && GameText(db::Cp1251ToUtf8(one), {}) == one;
            } catch (const SourceError&) {
                byteSurvives[b] = false;  // 0x98, which has no character
            }
        }
        lineEndSurvives = GameText("\n", {}) == "\r\n";
    }
};

// Writes the UTF-8 source of a game text to `path`, or refuses naming the
// member and line: the build reads a source back with every line end made
// CR LF and refuses zero bytes, so only texts of that shape survive the
// round trip. The file is then read back: every slice as it was written.
void WriteTextSource(const std::string& member, std::string_view cp1251, const fs::path& path,
                     const fs::path& shownAs, const RoundTrip& roundTrip) {
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        throw std::runtime_error(shownAs.string() + ": cannot create: " + std::strerror(errno));
    struct Closer {
        int fd;
        ~Closer() {
            if (fd >= 0) close(fd);
        }
    } closer{fd};
    // Named as the user will find it, not by the temporary folder that will be gone.
    auto failed = [&shownAs] {
        throw std::runtime_error(shownAs.string() + ": cannot write: " + std::strerror(errno));
    };
    std::vector<std::pair<size_t, size_t>> slices;  // size and hash of each
    std::string utf8;
    for (size_t start = 0; start < cp1251.size();) {
        size_t end = std::min(cp1251.size(), start + kSlice);
        if (end < cp1251.size() && cp1251[end - 1] == '\r') ++end;  // keep CR LF together
        const std::string_view slice = cp1251.substr(start, end - start);
        // Each byte becomes at most three of UTF-8; line ends become LF.
        utf8.resize(3 * slice.size());
        char* out = utf8.data();
        for (size_t i = 0; i < slice.size();) {
            size_t run = i;
            for (; run < slice.size(); ++run) {
                const auto b = static_cast<uint8_t>(slice[run]);
                if (b < 0x80 && b >= 0x20) {
                    *out++ = static_cast<char>(b);
                } else if (roundTrip.byteSurvives[b]) {
                    out = std::copy(roundTrip.utf8Of[b].begin(), roundTrip.utf8Of[b].end(), out);
                } else {
                    break;
                }
            }
            if (run == slice.size()) break;
            const char c = slice[run];
            // Counted only for a refusal: counting every line end would be quadratic.
            const auto line = [&] { return LineAt(cp1251, start + run); };
            if (c == '\0') {
                Refuse(member, line(), "holds a zero byte, which no source text can");
            } else if (c == '\r' && run + 1 < slice.size() && slice[run + 1] == '\n' &&
                       roundTrip.lineEndSurvives) {
                *out++ = '\n';
                i = run + 2;
            } else if (c == '\r' || c == '\n') {
                Refuse(member, line(),
                       std::string("ends in a lone ") + (c == '\r' ? "CR" : "LF") +
                           "; hkpack build ends every line with CR LF");
            } else if (c == '\x98') {
                Refuse(member, line(),
                       "holds the byte 0x98, which has no character in Windows-1251");
            } else {
                Refuse(member, line(), "would not come back byte for byte from hkpack build");
            }
        }
        utf8.resize(static_cast<size_t>(out - utf8.data()));
        if (!WriteAll(fd, {reinterpret_cast<const uint8_t*>(utf8.data()), utf8.size()})) failed();
        slices.emplace_back(utf8.size(), std::hash<std::string>{}(utf8));
        start = end;
    }
    std::string back;
    off_t at = 0;
    for (const auto& [size, hash] : slices) {
        back.resize(size);
        const ssize_t got = pread(fd, back.data(), size, at);
        if (got < 0) failed();
        if (static_cast<size_t>(got) != size || std::hash<std::string>{}(back) != hash) {
            Refuse(member, "would not come back byte for byte");
        }
        at += static_cast<off_t>(size);
    }
    closer.fd = -1;
    if (close(fd) != 0) failed();
}

// Fetches members as the viewer does, insisting on a clean verdict.
class DatabaseReader {
  public:
    explicit DatabaseReader(const std::string& archive)
        : session_(db::DatabaseSession::ForArchive(archive)), verdict_(session_.UnZip1()) {
        session_.KeepDirectory();
    }

    // The member's bytes, valid until the next fetch, and the name it is
    // stored under (reader form).
    std::pair<std::string_view, std::string> Fetch(const std::string& member) {
        verdict_.Reset();
        const db::FetchResult result = session_.Extract(member);
        if (result.raised) {
            throw std::runtime_error(session_.ArchivePath() + ": " + result.raisedMessage);
        }
        if (result.memberCount == 0) {
            Refuse(member, verdict_.PasswordRefused() ? "the database password does not open it"
                                                      : "not in the database");
        }
        if (result.memberCount > 1) {
            Refuse(member, std::to_string(result.memberCount) + " members answer to this name");
        }
        if (const std::string problem = verdict_.Problem(session_.ArchivePath());
            !problem.empty()) {
            Refuse(member, problem);
        }
        const hk::archive::MemberInfoRecord& record = session_.ExtractionStream().MemberInfo(0);
        const auto& bytes = session_.ExtractionStream().Bytes();
        return {std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                std::string(reinterpret_cast<const char*>(record.name + 1), record.name[0])};
    }

  private:
    db::DatabaseSession session_;
    MemberVerdict verdict_;
};

// The game index as the build would write it, checked line by line.
std::vector<GameEntry> ReadIndex(DatabaseReader& reader,
                                 std::map<std::string, std::string>& indexBytes) {
    for (const std::string_view name :
         {db::kGamesMember, db::kFilesMember, db::kPitchesMember, db::kVersionMember}) {
        indexBytes[std::string(name)] = std::string(reader.Fetch(std::string(name)).first);
    }
    const std::string games(db::kGamesMember), files(db::kFilesMember), pitches(db::kPitchesMember);
    const std::vector<std::string> titles = db::SplitLines(indexBytes[games]);
    const std::vector<std::string> members = db::SplitLines(indexBytes[files]);
    const std::vector<std::string> modes = db::SplitLines(indexBytes[pitches]);
    if (titles.empty()) Refuse(games, "lists no game");
    for (const auto& [name, lines] : {std::pair{files, &members}, std::pair{pitches, &modes}}) {
        if (lines->size() < titles.size()) {
            Refuse(name, "has " + Counted(lines->size(), "line") + " for " +
                             Counted(titles.size(), "game"));
        }
    }

    std::vector<GameEntry> index;
    std::map<std::string, std::string> spellingByUpper;
    for (size_t k = 0; k < titles.size(); ++k) {
        GameEntry game{members[k], modes[k], titles[k]};
        if (const std::string problem = TitleProblem(game.title); !problem.empty()) {
            Refuse(games, k + 1, problem);
        }
        if (!ReversibleUtf8(game.title)) {
            Refuse(games, k + 1, "holds the byte 0x98, which has no character in Windows-1251");
        }
        if (const std::string problem = MemberNameProblem(game.member); !problem.empty()) {
            Refuse(files, k + 1, problem + ": \"" + db::Cp1251ToUtf8(game.member) + "\"");
        }
        const auto [known, inserted] =
            spellingByUpper.emplace(MemberNameKey(game.member), game.member);
        if (!inserted && known->second != game.member) {
            Refuse(files, k + 1,
                   "\"" + game.member + "\" differs from \"" + known->second +
                       "\" only in letter case; hkpack build refuses that");
        }
        if (game.mode != "0" && game.mode != "1") {
            Refuse(pitches, k + 1,
                   "the mode \"" + db::Cp1251ToUtf8(game.mode) +
                       "\" is neither 1 nor 0, the only modes hkpack build writes");
        }
        index.push_back(std::move(game));
    }

    // Line ends, extra lines and the release tag: whatever the build would
    // write differently.
    for (const auto& [name, rebuilt] : IndexMembers(index)) {
        const std::string& stored = indexBytes[name];
        if (stored == rebuilt) continue;
        const auto at =
            std::mismatch(stored.begin(), stored.end(), rebuilt.begin(), rebuilt.end()).first;
        Refuse(name, LineAt(stored, static_cast<size_t>(at - stored.begin())),
               "hkpack build would not write it back byte for byte (it writes one line per "
               "game, each ending in CR LF, and version " +
                   std::string(db::kReleaseTag) + ")");
    }
    return index;
}

void CheckTarget(const fs::path& dir) {
    std::error_code ec;
    const fs::file_status status = fs::symlink_status(dir, ec);
    if (!fs::exists(status)) return;
    if (!fs::is_directory(status)) throw std::runtime_error(dir.string() + ": is not a folder");
    if (!fs::is_empty(dir, ec) || ec) {
        throw std::runtime_error(dir.string() + ": exists and is not empty");
    }
}

}  // namespace

UnpackResult Unpack(const std::string& archive, const fs::path& folderName,
                    const ProgressReport& progress) {
    // "sources/" names the folder "sources", not a place inside it.
    const fs::path dir = folderName.has_filename() ? folderName : folderName.parent_path();
    CheckTarget(dir);
    CheckInputFile(archive);
    // The reader keeps the archive's directory; it goes once the texts are out.
    std::optional<DatabaseReader> reader(std::in_place, archive);
    std::map<std::string, std::string> indexBytes;
    const std::vector<GameEntry> index = ReadIndex(*reader, indexBytes);

    // One text at a time: fetched, written and read back before the next.
    TemporaryFolder folder(dir);
    folder.MakeFolder("texts");
    std::set<std::string> written;
    const RoundTrip roundTrip;
    for (size_t k = 0; k < index.size(); ++k) {
        const GameEntry& game = index[k];
        if (progress) progress(k, index.size());
        if (written.contains(game.member)) continue;
        const auto [bytes, storedAs] = reader->Fetch(game.member);
        if (storedAs != game.member) {
            Refuse(game.member, "stored as \"" + db::Cp1251ToUtf8(storedAs) +
                                    "\"; hkpack build would store it under the name files.txt "
                                    "gives");
        }
        const fs::path relative = fs::path("texts") / game.member;
        WriteTextSource(game.member, bytes, folder.Path() / relative, dir / relative, roundTrip);
        written.insert(game.member);
    }
    reader.reset();
    std::vector<hk::archive::ListedMember> listing;
    try {
        listing = hk::archive::ListCentralDirectory(archive);
    } catch (const std::exception& e) {
        throw std::runtime_error(archive + ": " + e.what());
    }
    for (const hk::archive::ListedMember& listed : listing) {
        if (!indexBytes.contains(listed.name) && !written.contains(listed.name)) {
            Refuse(listed.name, "not named in files.txt; hkpack build would leave it out");
        }
    }
    listing = {};

    std::string tsv = "# Unpacked by hkpack from " + fs::path(archive).filename().string() +
                      ".\n# MEMBER<TAB>MODE<TAB>TITLE; MODE 1 = fixed pitch, 0 = proportional."
                      " Texts live in texts/MEMBER.\n";
    for (const GameEntry& game : index) {
        tsv += game.member + "\t" + game.mode + "\t" + *ReversibleUtf8(game.title) + "\n";
    }
    folder.Write("index.tsv", tsv);
    tsv = {};

    // The index read back by the build's own reader: what it makes must be
    // what we read. The texts were read back as they were written.
    const DatabaseSources reread = ReadSources(folder.Path(), SourceTexts::Skip);
    for (const auto& [name, rebuilt] : IndexMembers(reread.games)) {
        if (indexBytes[name] != rebuilt) Refuse(name, "would not come back byte for byte");
    }
    folder.CommitAs(dir);
    return UnpackResult{index.size(), written.size()};
}

}  // namespace hk::pack
