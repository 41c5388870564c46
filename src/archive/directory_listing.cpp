#include "archive/directory_listing.h"

#include <algorithm>
#include <stdexcept>

#include "archive/zip_format.h"

namespace hk::archive {

std::vector<ListedMember> ListCentralDirectory(const std::string& path) {
    ReadOnlyFile file;
    if (!file.open(path)) throw std::runtime_error("cannot open " + path);
    const uint64_t size = file.size();
    if (size < kEndRecordSize) throw std::runtime_error("not a ZIP archive: " + path);

    const size_t tail = static_cast<size_t>(std::min<uint64_t>(size, kLongestEndSearch));
    std::vector<uint8_t> block(tail);
    if (file.readAt(size - tail, block.data(), tail) != tail)
        throw std::runtime_error("cannot read " + path);
    const std::optional<size_t> at = findEndRecord(block);
    if (!at) throw std::runtime_error("no central directory in " + path);
    const uint8_t* end = block.data() + *at;

    const uint64_t offset = le32(end + 16);
    const uint64_t length = le32(end + 12);
    if (offset + length > size)
        throw std::runtime_error("central directory out of range in " + path);
    std::vector<uint8_t> dir(static_cast<size_t>(length));
    if (file.readAt(offset, dir.data(), dir.size()) != dir.size())
        throw std::runtime_error("cannot read " + path);

    std::vector<ListedMember> members;
    size_t pos = 0;
    while (pos + kCentralHeaderSize <= dir.size() && le32(dir.data() + pos) == kCentralSignature) {
        const uint8_t* h = dir.data() + pos;
        const size_t nameLength = le16(h + 28);
        const size_t next = pos + kCentralHeaderSize + nameLength + le16(h + 30) + le16(h + 32);
        if (pos + kCentralHeaderSize + nameLength > dir.size()) break;
        ListedMember m;
        m.name.assign(reinterpret_cast<const char*>(h + kCentralHeaderSize), nameLength);
        m.flags = le16(h + 8);
        m.method = le16(h + 10);
        m.crc32 = le32(h + 16);
        m.compressedSize = le32(h + 20);
        m.uncompressedSize = le32(h + 24);
        m.encrypted = m.flags & 1;
        members.push_back(std::move(m));
        pos = next;
    }
    return members;
}

}  // namespace hk::archive
