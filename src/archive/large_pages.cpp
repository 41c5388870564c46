#include "archive/large_pages.h"

#include <sys/mman.h>

#include <cstdint>

namespace hk::archive {

namespace {
constexpr uintptr_t kLargePage = uintptr_t{2} << 20;
}

void AdviseLargePages(void* block, size_t size) {
#ifdef MADV_HUGEPAGE
    // Only whole large pages inside the block: the advice must not reach
    // memory that belongs to other allocations.
    const auto start = reinterpret_cast<uintptr_t>(block);
    const uintptr_t first = (start + kLargePage - 1) & ~(kLargePage - 1);
    const uintptr_t last = (start + size) & ~(kLargePage - 1);
    if (last <= first) return;
    // Advice that is refused changes nothing but speed.
    (void)::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#else
    (void)block;
    (void)size;
#endif
}

}  // namespace hk::archive
