#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "archive/stream_bytes.h"

namespace hk::archive {

// What the reader records about each member it writes into the stream.
struct MemberInfoRecord {
    uint32_t unused[2];         // not filled by extraction to memory: zero
    uint32_t uncompressedSize;  // from the member's local header
    uint32_t streamPosition;    // where the member's bytes begin in the stream
    uint8_t name[256];          // length byte, then up to 255 characters of the converted name
};
static_assert(sizeof(MemberInfoRecord) == 272, "member information records are 272 bytes");

// A growable byte buffer with a position that also counts and describes the
// members extracted into it. The reader only appends; the caller resets.
class TDecompMemoryStream {
  public:
    void Reset();
    void AddMemberInfo(const MemberInfoRecord& record);
    // Room for `more` bytes past the end, without writing them. Never less
    // than double the present room, so members added one after another move
    // the bytes once per doubling, not once per member.
    void Reserve(size_t more);
    int32_t MemberCount() const { return static_cast<int32_t>(records_.size()); }
    const MemberInfoRecord& MemberInfo(int32_t index) const;

    StreamBytes& Bytes() { return bytes_; }
    const StreamBytes& Bytes() const { return bytes_; }
    size_t Size() const { return bytes_.size(); }
    size_t Position() const { return position_; }
    void SetPosition(size_t position) { position_ = position; }

  private:
    StreamBytes bytes_;
    std::vector<MemberInfoRecord> records_;
    size_t position_ = 0;
};

}  // namespace hk::archive
