#pragma once

#include <stdexcept>
#include <string>

namespace hk::archive {

// The reader's error codes. Their English texts (errorText) are part of the
// reader's contract: callers show them and hosts test for them.
enum class ErrorCode : int {
    BadBlock = 25111,
    // A directory entry whose local header names another member, or whose
    // data lies inside data another entry of the run already delivered.
    MismatchedName = 25112,
    OverlappedData = 25113,
    WriteError = 25136,
    IncompleteCodeSet = 25138,
    CrcFailed = 25151,
    FileNotFound = 25172,
    OpenError = 25235,
    UnsupportedArchive = 25242,
    OutOfMemory = 25253,
    UninitializedStream = 25255,
    MissingEvent = 25270,
    AmbiguousTree = 25293,
    StackOverflow = 25298,
    UnsupportedMethod = 25326,
    UserCanceled = 25449,
    InvalidPassword = 26517,
};

// The English text of a code, e.g. "Bad block" for 25111.
const char* errorText(ErrorCode code);

// What a decoder throws when its input is damaged. The reader turns it into an
// E_RAISE with the same code after the member's CRC verdict.
class DecodeError : public std::runtime_error {
public:
    explicit DecodeError(ErrorCode code) : std::runtime_error(errorText(code)), code_(code) {}
    ErrorCode code() const { return code_; }

private:
    ErrorCode code_;
};

}  // namespace hk::archive
