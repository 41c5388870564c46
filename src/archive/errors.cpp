#include "archive/errors.h"

namespace hk::archive {

const char* errorText(ErrorCode code) {
    switch (code) {
        case ErrorCode::BadBlock: return "Bad block";
        case ErrorCode::MismatchedName: return "Local header names another member than the directory";
        case ErrorCode::OverlappedData: return "Member data overlaps another member's (possible zip bomb)";
        case ErrorCode::WriteError: return "Error writing to file";
        case ErrorCode::IncompleteCodeSet: return "Incomplete code set";
        case ErrorCode::CrcFailed: return "File fails CRC check";
        case ErrorCode::FileNotFound: return "File not found";
        case ErrorCode::OpenError: return "Error opening file";
        case ErrorCode::UnsupportedArchive:
            return "Invalid or unsupported archive type for this operation";
        case ErrorCode::OutOfMemory: return "Out of memory";
        case ErrorCode::UninitializedStream: return "Uninitialized TMemoryStream object";
        case ErrorCode::MissingEvent: return "Required event not assigned";
        case ErrorCode::AmbiguousTree: return "Ambiguous Shannon-Fano decode tree encountered";
        case ErrorCode::StackOverflow: return "Stack overflow";
        case ErrorCode::UnsupportedMethod: return "Unsupported compression method";
        case ErrorCode::UserCanceled: return "User canceled";
        case ErrorCode::InvalidPassword: return "Invalid password";
    }
    return "Unknown error";
}

}  // namespace hk::archive
