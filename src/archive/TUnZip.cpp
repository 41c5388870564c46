#include "archive/TUnZip.h"

#include "archive/inflate.h"

namespace hk::archive {

TUnZip::TUnZip() : inflater_(std::make_unique<Inflater>()) {}
TUnZip::~TUnZip() = default;

void TUnZip::SetArchiveFile(const std::string& path) {
    archiveFile_ = path;
    arcType_ = TArcType::atNA;
}

void TUnZip::SetZipCmntBufSize(int size) {
    zipCmntBufSize_ = size < 2000 ? 2000 : size > 32767 ? 32767 : size;
}

int TUnZip::ExtractToMemory(TDecompMemoryStream* stream) {
    if (!stream)
        throw E_RAISE(ErrorCode::UninitializedStream, errorText(ErrorCode::UninitializedStream));
    throw E_RAISE(ErrorCode::UnsupportedArchive, errorText(ErrorCode::UnsupportedArchive));
}

}  // namespace hk::archive
