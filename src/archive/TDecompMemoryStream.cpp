#include "archive/TDecompMemoryStream.h"

#include "archive/large_pages.h"

#include <algorithm>
#include <stdexcept>

namespace hk::archive {

void TDecompMemoryStream::Reset() {
    records_.clear();
    records_.shrink_to_fit();
    bytes_.clear();
    position_ = 0;
}

void TDecompMemoryStream::Reserve(size_t more) {
    const size_t wanted = bytes_.size() + std::min(more, bytes_.max_size() - bytes_.size());
    if (wanted <= bytes_.capacity()) return;
    bytes_.reserve(std::max(wanted, std::min(bytes_.capacity() * 2, bytes_.max_size())));
    AdviseLargePages(bytes_.data() + bytes_.size(), bytes_.capacity() - bytes_.size());
}

void TDecompMemoryStream::AddMemberInfo(const MemberInfoRecord& record) {
    records_.push_back(record);
}

const MemberInfoRecord& TDecompMemoryStream::MemberInfo(int32_t index) const {
    if (index < 0 || index >= MemberCount()) throw std::out_of_range("member index out of range");
    return records_[static_cast<size_t>(index)];
}

}  // namespace hk::archive
