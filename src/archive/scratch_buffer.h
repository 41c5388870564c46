#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "archive/large_pages.h"

namespace hk::archive {

// Room for bytes that a read or a decoder is about to overwrite. Unlike a
// resized vector it never zero-fills: clearing megabytes only to copy file
// data over them cost as much as the copy itself.
class ScratchBuffer {
  public:
    // Room for `size` bytes; the previous content is not kept.
    uint8_t* prepare(size_t size) {
        if (size > capacity_) {
            // Whole 64 KiB steps, so the few small sizes a run asks for
            // share one block.
            const size_t rounded = size < kStep ? kStep : size + (kStep - size % kStep) % kStep;
            data_.reset();
            data_ = std::make_unique_for_overwrite<uint8_t[]>(rounded);
            capacity_ = rounded;
            AdviseLargePages(data_.get(), rounded);
        }
        return data_.get();
    }

    // Gives large blocks back, so one huge member does not pin its memory
    // for the rest of the program's life.
    void trim(size_t keep) {
        if (capacity_ <= keep) return;
        data_.reset();
        capacity_ = 0;
    }

  private:
    static constexpr size_t kStep = 65536;
    std::unique_ptr<uint8_t[]> data_;
    size_t capacity_ = 0;
};

}  // namespace hk::archive
