#include "member_verdict.h"

#include <algorithm>
#include <exception>

#include "archive/directory_listing.h"

namespace hk::pack {

namespace ar = hk::archive;

namespace {

// The reader's member names use "\" between folders and end at a zero byte.
std::string ReaderForm(const std::string& stored) {
    std::string name = stored.substr(0, stored.find('\0'));
    std::replace(name.begin(), name.end(), '/', '\\');
    return name;
}

bool KnownMethod(uint16_t method) {
    return method <= 6 || method == 8;
}

// The method number of `member` from the central directory, or -1 when it
// cannot be told.
int MethodOf(const std::string& archivePath, const std::string& member) {
    std::vector<ar::ListedMember> listed;
    try {
        listed = ar::ListCentralDirectory(archivePath);
    } catch (const std::exception&) {
        return -1;  // the number is a courtesy; the failure is reported anyway
    }
    int unknownMethods = 0;
    int onlyUnknown = -1;
    for (const ar::ListedMember& entry : listed) {
        if (ReaderForm(entry.name) == member && !KnownMethod(entry.method)) return entry.method;
        if (!KnownMethod(entry.method)) {
            ++unknownMethods;
            onlyUnknown = entry.method;
        }
    }
    // Names translated from an OEM code page do not compare; a single
    // candidate still tells.
    return unknownMethods == 1 ? onlyUnknown : -1;
}

}  // namespace

MemberVerdict::MemberVerdict(ar::TUnZip& reader) : reader_(reader) {
    reader_.OnBegin = [this](const std::string& target, int, bool&) {
        current_ = target;
        currentMember_.clear();
    };
    reader_.OnError = [this](const std::string& target, const std::string&, const std::string&,
                             int code) {
        const auto error = static_cast<ar::ErrorCode>(code);
        if (error == ar::ErrorCode::InvalidPassword || error == ar::ErrorCode::MissingEvent) {
            passwordRefused_ = true;
        } else if (!current_.empty() && target == current_) {
            codes_.push_back(error);
        }
    };
    reader_.OnEnd = [this](const std::string& member, bool crcPass) {
        currentMember_ = member;
        crcFailed_ = crcFailed_ || !crcPass;
    };
}

MemberVerdict::~MemberVerdict() {
    reader_.OnBegin = nullptr;
    reader_.OnError = nullptr;
    reader_.OnEnd = nullptr;
}

void MemberVerdict::Reset() {
    current_.clear();
    currentMember_.clear();
    codes_.clear();
    crcFailed_ = false;
    passwordRefused_ = false;
}

std::string MemberVerdict::Problem(const std::string& archivePath) const {
    if (!codes_.empty()) {
        const ar::ErrorCode first = codes_.front();
        if (first != ar::ErrorCode::UnsupportedMethod) return ar::errorText(first);
        const int method = MethodOf(archivePath, currentMember_);
        return method < 0 ? "unsupported compression method"
                          : "unsupported compression method " + std::to_string(method);
    }
    return crcFailed_ ? "CRC error" : "";
}

}  // namespace hk::pack
