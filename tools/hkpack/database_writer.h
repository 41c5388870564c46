#pragma once

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "progress_line.h"
#include "zip_writer.h"

namespace hk::pack {

// One game of the index, in Windows-1251.
struct GameEntry {
    std::string member;  // archive member holding the game's text
    std::string mode;    // "1" fixed pitch, "0" proportional
    std::string title;
};

struct DatabaseSources {
    std::vector<GameEntry> games;
    // Member texts in Windows-1251 with CR LF line ends, in the order of their
    // first use in the list; a member shared by several games appears once.
    std::vector<std::pair<std::string, std::string>> texts;
};

// A source that cannot become a database; the message names file and line.
class SourceError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

enum class SourceTexts { Read, Skip };

// Reads a source folder: index.tsv (MEMBER<TAB>MODE<TAB>TITLE per line, '#'
// comments and empty lines ignored) and texts/MEMBER for every member, all
// UTF-8; with SourceTexts::Skip the index alone. Only regular files of at most
// 256 MiB are read. Throws SourceError.
DatabaseSources ReadSources(const std::filesystem::path& folder,
                            SourceTexts texts = SourceTexts::Read);

struct WriteOptions {
    bool deflate = true;
    bool encrypt = true;
    uint32_t seed = 0;  // for the encryption headers
    uint16_t dosTime = 0;
    uint16_t dosDate = 0x21;  // 1980-01-01
};

// Writes the four index members, then every game text; `progress`, when
// given, hears of the games whose text is written.
void WriteDatabase(const DatabaseSources& sources, ByteSink& sink, const WriteOptions& options,
                   const ProgressReport& progress = {});

// Writes a deterministic database of `count` made-up games with texts of a
// few KiB: plain and fixed-pitch games with TAB columns and Cyrillic, and
// some online-only entries.
void WriteSyntheticDatabase(size_t count, ByteSink& sink, const WriteOptions& options);

// "games.txt", "files.txt", "pitches.txt" and "version.txt" for `games`, as
// (name, Windows-1251 text) in the order they are written.
std::vector<std::pair<std::string, std::string>> IndexMembers(const std::vector<GameEntry>& games);

// Adds the index members for `games`.
void WriteIndexMembers(ZipWriter& zip, const std::vector<GameEntry>& games,
                       const MemberOptions& member);

// The member options every database member gets under `options`.
MemberOptions DatabaseMemberOptions(const WriteOptions& options);

// A game's text as the database keeps it, from its UTF-8 source: Windows-1251
// with every line end (CR, LF or CR LF) made CR LF. Throws SourceError naming
// `file` and the line of a zero byte or of a character without a
// Windows-1251 form.
std::string GameText(std::string_view utf8, const std::filesystem::path& file);

// Why a Windows-1251 title cannot be a line of "games.txt", or empty when it
// can: it must not be empty, hold a control character or be longer than
// the viewer shows.
std::string TitleProblem(std::string_view title);

// Why `name` cannot be a game member, or empty when it can: flat names of
// letters, digits, '.', '_' and '-' with a non-empty base and extension,
// so that fetching the name as a pattern matches that member alone.
std::string MemberNameProblem(const std::string& name);

// The form under which two member names are the same to the viewer, which
// fetches by a pattern that ignores the letter case of a to z.
std::string MemberNameKey(std::string name);

}  // namespace hk::pack
