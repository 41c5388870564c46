#include "archive/TDecompMemoryStream.h"

#include <stdexcept>

namespace hk::archive {

void TDecompMemoryStream::Reset() {
    records_.clear();
    records_.shrink_to_fit();
    bytes_.clear();
    position_ = 0;
}

void TDecompMemoryStream::AddMemberInfo(const MemberInfoRecord& record) {
    records_.push_back(record);
}

const MemberInfoRecord& TDecompMemoryStream::MemberInfo(int32_t index) const {
    if (index < 0 || index >= MemberCount()) throw std::out_of_range("member index out of range");
    return records_[static_cast<size_t>(index)];
}

}  // namespace hk::archive
