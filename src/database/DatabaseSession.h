#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "archive/TDecompMemoryStream.h"
#include "archive/TUnZip.h"

namespace hk::database {

// What one fetch of a member produced.
struct FetchResult {
    bool raised = false;             // the reader raised; the fetch failed
    std::string raisedMessage;       // the reader's message when it raised (English)
    int32_t memberCount = 0;         // members the extraction stream holds afterwards
    std::vector<std::string> lines;  // the member's lines; filled only when ok()

    // A fetch succeeds only when nothing was raised and exactly one member came out.
    bool ok() const { return !raised && memberCount == 1; }
};

// The database state the main window keeps for the whole run: the program
// folder, the archive reader `UnZip1`, the extraction stream, the member text
// buffer and the member-name, display-mode and version lists. The game titles
// themselves belong to the list box; LoadIndex fills the caller's list.
//
// This is the one place that knows the archive's name and password. One
// extraction runs at a time: the reader pumps window events through
// OnProgress, and callers must not start a fetch from inside one.
class DatabaseSession {
  public:
    // `programFolder` ends with its path separator; the archive is
    // programFolder + "hintkeeper.dat".
    explicit DatabaseSession(std::string programFolder);

    // For tools that inspect an archive under any name.
    static DatabaseSession ForArchive(std::string archivePath);

    DatabaseSession(const DatabaseSession&) = delete;
    DatabaseSession& operator=(const DatabaseSession&) = delete;
    DatabaseSession(DatabaseSession&&) = default;
    DatabaseSession& operator=(DatabaseSession&&) = default;

    const std::string& ProgramFolder() const { return programFolder_; }
    const std::string& ArchivePath() const { return archivePath_; }

    // The passwords handed to the reader on every fetch: the program's one
    // password unless a tool replaced them.
    const std::vector<std::string>& FetchPasswords() const { return passwords_; }
    void SetFetchPasswords(std::vector<std::string> passwords);

    // Opens the archive afresh and extracts the members matching `name` (a
    // reader pattern) into the extraction stream. No lines are made: tools
    // that only want the bytes read ExtractionStream() afterwards.
    FetchResult Extract(const std::string& name);

    // For tools that fetch every game: the archive's directory is walked once,
    // at the next fetch, and later fetches find their members in that walk
    // instead of opening the file afresh. Every fetch gives what a fresh one
    // would, as long as the file does not change meanwhile.
    void KeepDirectory() { keepDirectory_ = true; }

    // Extract, then on success copy the stream into the member text buffer
    // and split it into lines.
    FetchResult FetchMember(const std::string& name);

    // Loads the game index: all four index members are fetched whatever
    // happens to the earlier ones. `titles` is replaced by "games.txt" when
    // that fetch succeeds. Succeeds only when every fetch succeeded, the
    // version line is the release tag, there is at least one game and
    // "files.txt" and "pitches.txt" have a line for every game.
    bool LoadIndex(std::vector<std::string>& titles);

    // English notes on why the last LoadIndex failed, one per problem (for tools).
    const std::vector<std::string>& LoadProblems() const { return loadProblems_; }

    const std::vector<std::string>& MemberNames() const { return memberNames_; }
    const std::vector<std::string>& DisplayModes() const { return displayModes_; }
    const std::vector<std::string>& Versions() const { return versions_; }

    // Line k of "pitches.txt" is exactly "1". False for a game without a line.
    bool IsFixedPitch(size_t game) const;

    // Whether a file (not a folder) exists at the archive's path.
    bool ArchiveExists() const;

    // The Windows-1251 text the error box shows after any database failure:
    // the "damaged" message when a file exists at the archive's path, the
    // "not found" one otherwise.
    std::string ErrorMessage() const;

    // The reader, so the window can hook OnProgress (to pump its events) and
    // tools OnEnd (to see CRC verdicts).
    hk::archive::TUnZip& UnZip1() { return *unzip_; }
    hk::archive::TDecompMemoryStream& ExtractionStream() { return *stream_; }
    const hk::archive::TDecompMemoryStream& ExtractionStream() const { return *stream_; }

    // The bytes of the last member fetched successfully.
    const std::vector<uint8_t>& MemberText() const { return memberText_; }

  private:
    struct ArchivePathTag {};
    DatabaseSession(std::string programFolder, std::string archivePath, ArchivePathTag);

    // Fetches one index member into `list`, which keeps its lines unless the fetch succeeds.
    bool LoadList(std::string_view member, std::vector<std::string>& list);

    std::string programFolder_;
    std::string archivePath_;
    std::vector<std::string> passwords_;
    bool keepDirectory_ = false;
    // Held through pointers so the session can move while the reader's
    // events keep referring to the same objects.
    std::unique_ptr<hk::archive::TUnZip> unzip_;
    std::unique_ptr<hk::archive::TDecompMemoryStream> stream_;
    std::vector<uint8_t> memberText_;
    std::vector<std::string> memberNames_;
    std::vector<std::string> displayModes_;
    std::vector<std::string> versions_;
    std::vector<std::string> loadProblems_;
};

}  // namespace hk::database
