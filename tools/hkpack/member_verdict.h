#pragma once

#include <string>
#include <vector>

#include "archive/TUnZip.h"

namespace hk::pack {

// What the reader said about the member an extraction delivered. The viewer
// shows whatever bytes came out, whatever their CRC (the database it ships is
// checked before); a tool must not pass such bytes off as the member.
class MemberVerdict {
  public:
    // Hooks the reader's OnBegin, OnError and OnEnd for as long as it lives.
    explicit MemberVerdict(hk::archive::TUnZip& reader);
    ~MemberVerdict();
    MemberVerdict(const MemberVerdict&) = delete;
    MemberVerdict& operator=(const MemberVerdict&) = delete;

    // Forgets what earlier extractions reported; call before each one.
    void Reset();

    // Why the member delivered was not extracted cleanly, e.g. "CRC error",
    // "unsupported compression method 14" or the reader's error text ("Bad
    // block"); empty when it was. A decoder failure also spoils the CRC: then
    // only the failure is given. `archivePath` lets an unsupported method be
    // named by its number.
    std::string Problem(const std::string& archivePath) const;

    // An encrypted member was skipped because no password fitted it.
    bool PasswordRefused() const { return passwordRefused_; }

  private:
    hk::archive::TUnZip& reader_;
    std::string current_;  // the member being extracted, as the reader names it
    std::string currentMember_;
    std::vector<hk::archive::ErrorCode> codes_;
    bool crcFailed_ = false;
    bool passwordRefused_ = false;
};

}  // namespace hk::pack
