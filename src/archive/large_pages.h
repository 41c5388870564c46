#pragma once

#include <cstddef>

namespace hk::archive {

// Asks the system to back a freshly allocated block of many megabytes with
// large pages. Writing a 48 MiB member into 4 KiB pages costs some twelve
// thousand page faults, which took more time than decoding it; large pages
// take a few dozen. Smaller blocks and systems without the feature are left
// as they are; the advice never changes what the memory holds.
void AdviseLargePages(void* block, size_t size);

}  // namespace hk::archive
