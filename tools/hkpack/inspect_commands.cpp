// The commands that read a database: cat, list and check.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "archive/directory_listing.h"
#include "commands.h"
#include "database/DatabaseSession.h"
#include "database/cp1251.h"
#include "database/database_constants.h"
#include "input_file.h"
#include "member_verdict.h"
#include "progress_line.h"
#include "terminal_text.h"
#include "write_all.h"

namespace hk::pack {

namespace db = hk::database;

namespace {

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

std::string StoredName(const hk::archive::TDecompMemoryStream& stream) {
    const hk::archive::MemberInfoRecord& record = stream.MemberInfo(0);
    return db::Cp1251ToUtf8(
        std::string_view(reinterpret_cast<const char*>(record.name + 1), record.name[0]));
}

// A title as an error line shows it: no longer than the viewer shows one.
std::string ShownTitle(const std::string& cp1251) {
    const std::string_view title(cp1251);
    return TerminalText(db::Cp1251ToUtf8(title.substr(0, db::kMaxTitleLength))) +
           (title.size() > db::kMaxTitleLength ? "..." : "");
}

// Reports every title longer than the viewer shows, by its line; returns how many.
size_t LongTitles(const std::string& archive, const std::vector<std::string>& titles) {
    size_t count = 0;
    for (size_t k = 0; k < titles.size(); ++k) {
        if (titles[k].size() <= db::kMaxTitleLength) continue;
        ++count;
        std::fprintf(stderr,
                     "hkpack: %s: games.txt:%zu: the title is %zu bytes long; a title may have %zu "
                     "at most\n",
                     TerminalText(archive).c_str(), k + 1, titles[k].size(), db::kMaxTitleLength);
    }
    return count;
}

}  // namespace

int Report(int status, const std::string& message) {
    std::fprintf(stderr, "hkpack: %s\n", TerminalText(message).c_str());
    return status;
}

// The viewer's fetch, with the extracted bytes on stdout; unlike the viewer,
// only a member the reader passed clean counts as extracted.
int CatCommand(const Invocation& args) {
    const std::string& archive = args.operands[0];
    const std::string& member = args.operands[1];
    CheckInputFile(archive);
    db::DatabaseSession session = db::DatabaseSession::ForArchive(archive);
    if (const std::vector<std::string> passwords = args.Values("--password"); !passwords.empty()) {
        session.SetFetchPasswords(passwords);
    }
    MemberVerdict verdict(session.UnZip1());
    const db::FetchResult result = session.Extract(member);
    if (result.raised) return Report(kExitCannotRead, archive + ": " + result.raisedMessage);
    if (result.memberCount == 0) {
        return Report(kExitFailure, archive + ": " + member + ": 0 members match (" +
                                        (verdict.PasswordRefused() ? "the password does not open it"
                                                                   : "no member has this name") +
                                        ")");
    }
    if (result.memberCount > 1) {
        return Report(kExitFailure, archive + ": " + member + ": " +
                                        std::to_string(result.memberCount) + " members match");
    }
    const hk::archive::TDecompMemoryStream& stream = session.ExtractionStream();
    if (const std::string problem = verdict.Problem(archive); !problem.empty()) {
        return Report(kExitFailure, archive + ": " + StoredName(stream) + ": " + problem);
    }
    if (!WriteAll(fileno(stdout), stream.Bytes())) {
        return Report(kExitCannotRead,
                      std::string("standard output: cannot write: ") + std::strerror(errno));
    }
    return kExitOk;
}

int ListCommand(const Invocation& args) {
    const std::string& archive = args.operands[0];
    std::vector<hk::archive::ListedMember> members;
    CheckInputFile(archive);
    try {
        members = hk::archive::ListCentralDirectory(archive);
    } catch (const std::exception& e) {
        return Report(kExitFailure, archive + ": " + e.what());
    }
    std::printf("%-10s %10s %10s %-9s %-8s %s\n", "method", "packed", "size", "encrypted", "crc",
                "name");
    for (const auto& m : members) {
        std::printf("%-10s %10u %10u %-9s %08X %s\n", MethodName(m.method).c_str(),
                    m.compressedSize, m.uncompressedSize, m.encrypted ? "yes" : "no", m.crc32,
                    TerminalText(db::Cp1251ToUtf8(m.name)).c_str());
    }
    std::printf("%zu members\n", members.size());
    return kExitOk;
}

int CheckCommand(const Invocation& args) {
    const std::string& archive = args.operands[0];
    CheckInputFile(archive);
    db::DatabaseSession session = db::DatabaseSession::ForArchive(archive);
    session.KeepDirectory();  // one walk for every game, not one per game
    std::vector<std::string> crcFailures;
    session.UnZip1().OnEnd = [&](const std::string& member, bool crcPass) {
        if (!crcPass) crcFailures.push_back(member);
    };

    std::vector<std::string> titles;
    const bool loaded = session.LoadIndex(titles);
    if (!loaded || !crcFailures.empty()) {
        std::fprintf(stderr, "hkpack: %s: the viewer would refuse this database\n",
                     TerminalText(archive).c_str());
        for (const std::string& problem : session.LoadProblems()) {
            std::fprintf(stderr, "  %s\n", TerminalText(problem).c_str());
        }
        for (const std::string& member : crcFailures) {
            std::fprintf(stderr, "  %s fails its CRC check\n",
                         TerminalText(db::Cp1251ToUtf8(member)).c_str());
        }
        std::fprintf(stderr, "  the viewer says: %s\n",
                     db::Cp1251ToUtf8(session.ErrorMessage()).c_str());
        return kExitFailure;
    }

    size_t failures = LongTitles(archive, titles);
    size_t bytes = 0;
    ProgressLine progress;
    // From here on each game's failure is told by the reader's own reason.
    MemberVerdict verdict(session.UnZip1());
    for (size_t k = 0; k < titles.size(); ++k) {
        progress.Update(k, titles.size());
        verdict.Reset();
        const std::string& member = session.MemberNames()[k];
        // The viewer's fetch without the split into lines, which cannot fail.
        const db::FetchResult result = session.Extract(member);
        std::string reason;
        if (result.raised) {
            reason = "the reader raised: " + result.raisedMessage;
        } else if (result.memberCount != 1) {
            reason = std::to_string(result.memberCount) + " members match";
        } else if (std::string problem = verdict.Problem(archive); !problem.empty()) {
            reason = problem == "CRC error" ? "fails its CRC check" : std::move(problem);
        }
        bytes += session.ExtractionStream().Size();
        if (!reason.empty()) {
            ++failures;
            progress.Clear();
            std::fprintf(stderr, "hkpack: %s: game %zu \"%s\" (%s): %s\n",
                         TerminalText(archive).c_str(), k + 1, ShownTitle(titles[k]).c_str(),
                         TerminalText(db::Cp1251ToUtf8(member)).c_str(),
                         TerminalText(reason).c_str());
        }
    }
    progress.Clear();
    std::printf("games: %zu, bytes: %zu, failures: %zu\n", titles.size(), bytes, failures);
    return failures == 0 ? kExitOk : kExitFailure;
}

}  // namespace hk::pack
