#include "database_writer.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>

#include "database/cp1251.h"
#include "database/database_constants.h"
#include "input_file.h"

namespace hk::pack {

namespace db = hk::database;

namespace {

std::string ReadWholeFile(const std::filesystem::path& path) {
    std::string bytes;
    try {
        bytes = ReadRegularFile(path.string());
    } catch (const std::runtime_error& e) {
        throw SourceError(e.what());
    }
    // Editors on some systems start UTF-8 files with a byte-order mark.
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.erase(0, 3);
    return bytes;
}

size_t LineOf(std::string_view text, size_t offset) {
    size_t line = 1;
    for (size_t i = 0; i < offset && i < text.size(); ++i) {
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n'))) {
            ++line;
        }
    }
    return line;
}

[[noreturn]] void Fail(const std::filesystem::path& file, size_t line, const std::string& what) {
    throw SourceError(file.string() + ":" + std::to_string(line) + ": " + what);
}

// UTF-8 to Windows-1251, failing with the file and line of the first character
// that has no Windows-1251 byte.
std::string ToCp1251(std::string_view utf8, const std::filesystem::path& file, size_t firstLine) {
    db::ConversionError error;
    std::optional<std::string> converted = db::Utf8ToCp1251(utf8, &error);
    if (!converted) {
        const size_t line = firstLine + LineOf(utf8, error.offset) - 1;
        if (error.badUtf8) Fail(file, line, "the text is not valid UTF-8");
        char codePoint[16];
        std::snprintf(codePoint, sizeof codePoint, "U+%04X",
                      static_cast<unsigned>(error.codePoint));
        Fail(file, line, std::string("character ") + codePoint + " has no Windows-1251 form");
    }
    return std::move(*converted);
}

}  // namespace

std::string GameText(std::string_view utf8, const std::filesystem::path& file) {
    if (const size_t zero = utf8.find('\0'); zero != std::string_view::npos) {
        Fail(file, LineOf(utf8, zero), "a zero byte would cut the text short in the viewer");
    }
    const std::string cp1251 = ToCp1251(utf8, file, 1);
    std::string out;
    out.reserve(cp1251.size() + cp1251.size() / 16);
    for (size_t i = 0; i < cp1251.size(); ++i) {
        const char c = cp1251[i];
        if (c == '\r' || c == '\n') {
            out += "\r\n";
            if (c == '\r' && i + 1 < cp1251.size() && cp1251[i + 1] == '\n') ++i;
        } else {
            out.push_back(c);
        }
    }
    return out;
}

std::string TitleProblem(std::string_view title) {
    if (title.empty()) return "the title is empty";
    if (title.size() > db::kMaxTitleLength) {
        return "the title is " + std::to_string(title.size()) + " bytes long; a title may have " +
               std::to_string(db::kMaxTitleLength) + " at most";
    }
    for (const char c : title) {
        const auto byte = static_cast<unsigned char>(c);
        // Titles are lines of "games.txt": a CR or LF would split one game
        // into two, and a zero byte ends the list for the viewer.
        if (byte < 0x20 || byte == 0x7F) {
            char codePoint[8];
            std::snprintf(codePoint, sizeof codePoint, "U+%04X", byte);
            return std::string("the title holds the control character ") + codePoint +
                   "; a title is one line of printable text";
        }
    }
    return {};
}

std::string MemberNameProblem(const std::string& name) {
    if (name.empty()) return "the member name is empty";
    if (name.size() > 255) return "the member name is longer than 255 characters";
    for (const char c : name) {
        const bool allowed = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                             (c >= '0' && c <= '9') || c == '.' || c == '_' || c == '-';
        if (!allowed) {
            return "the member name may hold only letters, digits, '.', '_' and '-'";
        }
    }
    // The viewer fetches a member by using its name as a pattern, and a name
    // part that is empty matches any pattern part: "x" would also answer "x.txt".
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0 || dot + 1 == name.size()) {
        return "the member name needs a name and an extension, like doom_pc.txt";
    }
    const std::string upper = MemberNameKey(name);
    for (const std::string_view index :
         {db::kGamesMember, db::kFilesMember, db::kPitchesMember, db::kVersionMember}) {
        if (upper == MemberNameKey(std::string(index)))
            return "the member name is taken by the index";
    }
    return {};
}

DatabaseSources ReadSources(const std::filesystem::path& folder, SourceTexts texts) {
    const std::filesystem::path indexPath = folder / "index.tsv";
    const std::string index = ReadWholeFile(indexPath);

    DatabaseSources sources;
    std::map<std::string, std::string> spellingByUpper;  // the reader matches names by case
    size_t lineNumber = 0;
    std::istringstream lines(index);
    for (std::string line; std::getline(lines, line);) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line.front() == '#') continue;
        const size_t tab1 = line.find('\t');
        const size_t tab2 = tab1 == std::string::npos ? tab1 : line.find('\t', tab1 + 1);
        if (tab2 == std::string::npos)
            Fail(indexPath, lineNumber, "expected MEMBER<TAB>MODE<TAB>TITLE");
        GameEntry game;
        game.member = line.substr(0, tab1);
        game.mode = line.substr(tab1 + 1, tab2 - tab1 - 1);
        game.title = ToCp1251(line.substr(tab2 + 1), indexPath, lineNumber);
        if (const std::string problem = MemberNameProblem(game.member); !problem.empty()) {
            Fail(indexPath, lineNumber, problem + ": \"" + game.member + "\"");
        }
        if (game.mode != "0" && game.mode != "1") {
            Fail(indexPath, lineNumber, "MODE must be 1 (fixed pitch) or 0 (proportional)");
        }
        if (const std::string problem = TitleProblem(game.title); !problem.empty()) {
            Fail(indexPath, lineNumber, problem);
        }
        const auto [known, inserted] =
            spellingByUpper.emplace(MemberNameKey(game.member), game.member);
        if (inserted && texts == SourceTexts::Read) {
            const std::filesystem::path textPath = folder / "texts" / game.member;
            sources.texts.emplace_back(game.member, GameText(ReadWholeFile(textPath), textPath));
        } else if (known->second != game.member) {
            Fail(indexPath, lineNumber,
                 "\"" + game.member + "\" differs from \"" + known->second +
                     "\" only in letter case; the viewer could not tell them apart");
        }
        sources.games.push_back(std::move(game));
    }
    if (sources.games.empty()) throw SourceError(indexPath.string() + ": lists no game");
    return sources;
}

std::string MemberNameKey(std::string name) {
    for (char& c : name) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return name;
}

MemberOptions DatabaseMemberOptions(const WriteOptions& options) {
    return MemberOptions{options.deflate, options.encrypt, std::string(db::kArchivePassword)};
}

std::vector<std::pair<std::string, std::string>> IndexMembers(const std::vector<GameEntry>& games) {
    std::string titles, files, pitches;
    for (const GameEntry& game : games) {
        titles += game.title + "\r\n";
        files += game.member + "\r\n";
        pitches += game.mode + "\r\n";
    }
    return {{std::string(db::kGamesMember), std::move(titles)},
            {std::string(db::kFilesMember), std::move(files)},
            {std::string(db::kPitchesMember), std::move(pitches)},
            {std::string(db::kVersionMember), std::string(db::kReleaseTag) + "\r\n"}};
}

void WriteIndexMembers(ZipWriter& zip, const std::vector<GameEntry>& games,
                       const MemberOptions& member) {
    for (const auto& [name, text] : IndexMembers(games)) zip.Add(name, text, member);
}

void WriteDatabase(const DatabaseSources& sources, ByteSink& sink, const WriteOptions& options,
                   const ProgressReport& progress) {
    ZipWriter zip(sink, options.seed, options.dosTime, options.dosDate);
    const MemberOptions member = DatabaseMemberOptions(options);
    WriteIndexMembers(zip, sources.games, member);
    // Texts come in the order of their first game, so once text t is written
    // every game before the first use of text t + 1 is complete.
    std::vector<size_t> gamesDoneAfter;
    if (progress) {
        std::set<std::string> seen;
        for (size_t k = 0; k < sources.games.size(); ++k) {
            if (seen.insert(MemberNameKey(sources.games[k].member)).second && k > 0) {
                gamesDoneAfter.push_back(k);
            }
        }
        gamesDoneAfter.resize(sources.texts.size(), sources.games.size());
    }
    for (size_t t = 0; t < sources.texts.size(); ++t) {
        zip.Add(sources.texts[t].first, sources.texts[t].second, member);
        if (progress) progress(gamesDoneAfter[t], sources.games.size());
    }
    zip.Finish();
}

}  // namespace hk::pack
