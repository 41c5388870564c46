#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "archive/TDecompMemoryStream.h"
#include "archive/errors.h"
#include "archive/scratch_buffer.h"

namespace hk::archive {

class Inflater;
class ReadOnlyFile;

enum class TArcType {
    atNA,
    atUnsupported,
    atFileOpenErr,
    atUnknown,
    atAce,
    atAceExe,
    atArc,
    atArcExe,
    atArj,
    atArjExe,
    atBh,
    atBhExe,
    atCab,
    atGZip,
    atHa,
    atJar,
    atJarExe,
    atLha,
    atLhaExe,
    atLzh,
    atLzhExe,
    atMsGZ,
    atPak,
    atPakExe,
    atRar,
    atRarExe,
    atTar,
    atUue,
    atZip,
    atZipExe,
    atZipMV,
    atZoo
};

enum class TOverwriteMode { omOverwrite, omSkip };
enum class TDateAttribute { daFileDate, daSysDate, daMaxFileDate };
enum class TCpuType { cptAuto, cpt80286, cpt80386, cpt80486 };

// What ExtractToMemory raises for failures of a run as a whole; the message is
// the code's English text.
class E_RAISE : public std::runtime_error {
  public:
    E_RAISE(ErrorCode code, const std::string& message)
        : std::runtime_error(message), code_(code) {}
    ErrorCode code() const { return code_; }

  private:
    ErrorCode code_;
};

// Reads members of a single-file ZIP archive into memory: walks the directory,
// matches names against FileSpec, tries the password list on encrypted
// members, decodes and checks each member's CRC-32. All decoder state belongs
// to the object, so separate readers do not disturb each other; one reader
// runs one extraction at a time (events must not start another).
class TUnZip {
  public:
    TUnZip();
    ~TUnZip();
    TUnZip(const TUnZip&) = delete;
    TUnZip& operator=(const TUnZip&) = delete;

    // Stores the path as given (separators are the platform's) and detects
    // the archive type at once; never throws. Only ZIP archives below 2 GiB
    // are recognised.
    void SetArchiveFile(const std::string& path);
    const std::string& ArchiveFile() const { return archiveFile_; }
    TArcType ArcType() const { return arcType_; }

    std::vector<std::string>& FileSpec() { return fileSpec_; }  // Windows-1251 patterns
    std::vector<std::string>& Passwords() { return passwords_; }

    // Extracts every matching member into `stream`, appending bytes and one
    // record per member; returns how many members this call extracted.
    // Throws E_RAISE for failures of the run as a whole.
    int ExtractToMemory(TDecompMemoryStream* stream);

    // For callers that read many members of one archive: walks its directory
    // once, keeping what it lists and the file open, so that ExtractListed
    // then finds the members matching FileSpec without walking again. Each
    // ExtractListed gives what ExtractToMemory would for an archive that has
    // not changed since. Throws E_RAISE as a run would; the listing is kept
    // until the next ListDirectory, SetArchiveFile or ForgetDirectory;
    // without one, ExtractListed is ExtractToMemory.
    void ListDirectory();
    int ExtractListed(TDecompMemoryStream* stream);
    void ForgetDirectory();
    bool HasListing() const { return listing_ != nullptr; }

    // Published settings with their defaults.
    int PasswordAttempts = 3;
    bool TranslateOemChar = true;
    bool UseStoredDirs = true;
    std::string ExtractDir;
    bool ConfirmOverwrites = true;
    TOverwriteMode OverwriteMode = TOverwriteMode::omOverwrite;
    bool CreateStoredDirs = false;
    bool RestoreFileAttr = true;
    TDateAttribute DateAttribute = TDateAttribute::daFileDate;
    TCpuType CpuType = TCpuType::cptAuto;
    // The caller needs exactly one member, so a run's outcome is known once a
    // second member is counted: it and every later one are still counted
    // (with their records) but not decoded. Off by default.
    bool SingleMember = false;

    int ZipCmntBufSize() const { return zipCmntBufSize_; }
    void SetZipCmntBufSize(int size);  // clamped into 2000..32767

    // The cancel flag: cleared at the start of every run; walks and decoders
    // stop at their next test once it is set (e.g. from OnProgress).
    bool Cancel() const { return cancel_; }
    void SetCancel(bool cancel) { cancel_ = cancel; }

    // Events; each is called only when assigned.
    std::function<void(const std::string& filename, const std::string& extendedMsg,
                       const std::string& volumeId, int code)>
        OnError;
    std::function<void(const std::string& fn, bool crcPass)> OnEnd;
    std::function<void(const std::string& fname, int count, bool& extract)> OnBegin;
    std::function<void(const std::string& fn, std::string& password, bool& tryAgain)> OnGetPassword;
    std::function<void(uint8_t headFlag, bool& cancel)> OnCorruptZipHeader;
    std::function<void()> OnActivate;
    std::function<void()> OnDeactivate;
    std::function<void(int progressByFile, int progressByArchive)> OnProgress;

    // What detection found, for tools and tests.
    uint8_t EndRecordFlags() const { return endFlags_; }
    uint32_t StartOffset() const { return startOffset_; }

  private:
    struct HeaderEntry;
    struct LocalHeader;
    struct Listing;

    void detectType();
    struct EndSearch {
        uint32_t start = 0;  // where the listing starts
        bool zip64 = false;  // a ZIP64 archive whose classic directory fields are placeholders
    };
    EndSearch searchEndRecord(const ReadOnlyFile& file);
    bool raiseError(const std::string& filename, ErrorCode code);
    void reportError(const std::string& filename, const std::string& detail, ErrorCode code);
    void extractRun();
    void startRun();
    bool openArchive(ReadOnlyFile& file);
    void compilePatterns();
    void walk(const ReadOnlyFile& file, std::vector<HeaderEntry>& entries);
    void extractEntries(const ReadOnlyFile& file, const std::vector<const HeaderEntry*>& entries);
    bool claim(uint64_t start, uint64_t end);
    void addRecord(const LocalHeader& header, const std::string& name);
    bool isZip64WithoutClassicDirectory(const ReadOnlyFile& file, uint64_t endRecordAt) const;
    void walkLocalHeaders(const ReadOnlyFile& file, std::vector<HeaderEntry>& entries);
    bool walkFromCommentedEnd(const ReadOnlyFile& file, std::vector<HeaderEntry>& entries);
    void walkCentral(const ReadOnlyFile& file, const std::array<uint8_t, 22>& endRecord,
                     std::vector<HeaderEntry>& entries);
    void extractEntry(const ReadOnlyFile& file, const HeaderEntry& entry);
    void decodeMember(const ReadOnlyFile& file, const LocalHeader& header, uint64_t dataOffset,
                      std::optional<ErrorCode> damage, const std::string& name,
                      const std::string& target);
    void copyStored(const ReadOnlyFile& file, const LocalHeader& header, uint64_t start,
                    uint64_t available, size_t ceiling);
    bool passwordTrial(const ReadOnlyFile& file, const LocalHeader& header, uint64_t dataOffset,
                       const std::string& target);
    bool checkPassword(const std::string& password, const LocalHeader& header);
    void decryptBuffer(uint8_t* data, size_t size);
    bool listable(const uint8_t* storedName, size_t length) const;
    bool matches(const std::string& name) const;
    std::string convertName(const uint8_t* bytes, size_t length) const;
    std::string targetName(const std::string& memberName) const;
    void progress(uint64_t fileDone, uint64_t fileSize);

    std::string archiveFile_;
    TArcType arcType_ = TArcType::atNA;
    std::vector<std::string> fileSpec_;
    std::vector<std::string> passwords_;
    struct Pattern {
        std::string text;   // with "\" as the separator
        std::string upper;  // letters a-z in upper case
        bool everything = false;
        bool plain = false;  // no wildcard and no folder
    };
    std::vector<Pattern> patterns_;  // FileSpec as matched during a run
    bool plainPatterns_ = false;     // every pattern a file name without wildcards
    int zipCmntBufSize_ = 0;

    // Left by detection for the runs.
    uint8_t endFlags_ = 0;
    uint32_t startOffset_ = 0;
    std::array<uint8_t, 22> endRecord_{};
    uint32_t fileSize_ = 0;

    // Run state.
    bool cancel_ = false;
    bool passwordFailed_ = false;
    std::string currentPassword_;
    int count_ = 0;
    uint32_t newestDate_ = 0;
    uint64_t totalBytes_ = 0;
    uint64_t doneBytes_ = 0;
    TDecompMemoryStream* stream_ = nullptr;
    bool listAll_ = false;  // a walk lists every file entry, for ListDirectory
    // The spans [local header, end of data) of the members this run decoded.
    std::map<uint64_t, uint64_t> claimed_;
    std::unique_ptr<Listing> listing_;
    std::array<uint32_t, 3> keys_{};
    std::array<uint8_t, 12> encryptionHeader_{};
    size_t encryptionHeaderSize_ = 0;

    // Buffers reused from member to member and run to run.
    ScratchBuffer directory_;
    ScratchBuffer compressed_;
    std::unique_ptr<Inflater> inflater_;
};

}  // namespace hk::archive
