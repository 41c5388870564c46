#include "database/DatabaseSession.h"

#include <exception>
#include <filesystem>
#include <system_error>
#include <utility>

#include "database/codes_text.h"
#include "database/database_constants.h"

namespace hk::database {

DatabaseSession::DatabaseSession(std::string programFolder)
    : DatabaseSession(programFolder, programFolder + std::string(kArchiveFileName),
                      ArchivePathTag{}) {}

DatabaseSession::DatabaseSession(std::string programFolder, std::string archivePath, ArchivePathTag)
    : programFolder_(std::move(programFolder)),
      archivePath_(std::move(archivePath)),
      passwords_{std::string(kArchivePassword)},
      unzip_(std::make_unique<hk::archive::TUnZip>()),
      stream_(std::make_unique<hk::archive::TDecompMemoryStream>()) {
    // Every fetch needs exactly one member: once a second one is counted, the
    // rest need not be decoded.
    unzip_->SingleMember = true;
}

DatabaseSession DatabaseSession::ForArchive(std::string archivePath) {
    const size_t slash = archivePath.find_last_of('/');
    std::string folder =
        slash == std::string::npos ? std::string() : archivePath.substr(0, slash + 1);
    return DatabaseSession(std::move(folder), std::move(archivePath), ArchivePathTag{});
}

void DatabaseSession::SetFetchPasswords(std::vector<std::string> passwords) {
    passwords_ = std::move(passwords);
}

FetchResult DatabaseSession::Extract(const std::string& name) {
    FetchResult result;
    // Setting the path every time makes the reader look at the file afresh:
    // a database replaced while the program runs is noticed at the next fetch.
    const bool listed = keepDirectory_ && unzip_->HasListing();
    if (!listed) unzip_->SetArchiveFile(archivePath_);
    unzip_->Passwords().assign(passwords_.begin(), passwords_.end());
    unzip_->FileSpec().assign(1, name);
    stream_->Reset();
    try {
        if (keepDirectory_) {
            if (!listed) unzip_->ListDirectory();
            unzip_->ExtractListed(stream_.get());
        } else {
            unzip_->ExtractToMemory(stream_.get());
        }
    } catch (const std::exception& e) {
        result.raised = true;
        result.raisedMessage = e.what();
    } catch (...) {
        // Whatever the reader throws is a failed fetch, never a crash of the viewer.
        result.raised = true;
        result.raisedMessage = "unknown exception";
    }
    result.memberCount = stream_->MemberCount();
    return result;
}

FetchResult DatabaseSession::FetchMember(const std::string& name) {
    FetchResult result = Extract(name);
    if (result.memberCount == 1) {
        const auto& bytes = stream_->Bytes();
        memberText_.assign(bytes.begin(), bytes.end());
        result.lines = SplitLines(memberText_);
    }
    return result;
}

bool DatabaseSession::LoadList(std::string_view member, std::vector<std::string>& list) {
    FetchResult fetched = FetchMember(std::string(member));
    if (fetched.raised) {
        loadProblems_.push_back(std::string(member) + ": " + fetched.raisedMessage);
    }
    if (fetched.memberCount != 1) {
        loadProblems_.push_back(std::string(member) + ": " + std::to_string(fetched.memberCount) +
                                " members came out, not 1");
        return false;
    }
    list = std::move(fetched.lines);
    return !fetched.raised;
}

bool DatabaseSession::LoadIndex(std::vector<std::string>& titles) {
    loadProblems_.clear();
    // Every fetch runs even after a failure, and each list is replaced only by
    // its own successful fetch.
    bool ok = LoadList(kGamesMember, titles);
    ok = LoadList(kFilesMember, memberNames_) && ok;
    ok = LoadList(kPitchesMember, displayModes_) && ok;
    if (LoadList(kVersionMember, versions_)) {
        if (versions_.empty()) {
            loadProblems_.push_back("version.txt holds no line");
            ok = false;
        } else if (versions_.front() != kReleaseTag) {
            loadProblems_.push_back("version.txt names another release");
            ok = false;
        }
    } else {
        ok = false;
    }
    if (!ok) return false;

    // The lists are read in parallel by the game's position: a short list or an
    // empty game list would leave the viewer reading past the end.
    if (titles.empty()) {
        loadProblems_.push_back("games.txt holds no game");
        ok = false;
    }
    if (memberNames_.size() < titles.size()) {
        loadProblems_.push_back("files.txt has fewer lines than games.txt");
        ok = false;
    }
    if (displayModes_.size() < titles.size()) {
        loadProblems_.push_back("pitches.txt has fewer lines than games.txt");
        ok = false;
    }
    return ok;
}

bool DatabaseSession::IsFixedPitch(size_t game) const {
    return game < displayModes_.size() && displayModes_[game] == kFixedPitchMode;
}

bool DatabaseSession::ArchiveExists() const {
    std::error_code ec;
    const auto status = std::filesystem::status(archivePath_, ec);
    return !ec && std::filesystem::exists(status) && !std::filesystem::is_directory(status);
}

std::string DatabaseSession::ErrorMessage() const {
    return std::string(ArchiveExists() ? kDamagedMessage : kMissingMessage);
}

}  // namespace hk::database
