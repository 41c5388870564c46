#pragma once

#include <cstdint>
#include <memory>
#include <new>
#include <vector>

namespace hk::archive {

// Value-initialises nothing: a vector with this allocator grows by resize
// without clearing the new bytes, which the decoders overwrite at once.
// Clearing tens of megabytes only to write over them cost as much as
// decoding them.
template <class T>
struct DefaultInitAllocator : std::allocator<T> {
    template <class U>
    struct rebind {
        using other = DefaultInitAllocator<U>;
    };
    using std::allocator<T>::allocator;

    template <class U>
    void construct(U* place) noexcept(std::is_nothrow_default_constructible_v<U>) {
        ::new (static_cast<void*>(place)) U;
    }
    template <class U, class... Args>
    void construct(U* place, Args&&... args) {
        std::allocator_traits<std::allocator<T>>::construct(static_cast<std::allocator<T>&>(*this),
                                                            place, std::forward<Args>(args)...);
    }
};

// The bytes of an extraction stream.
using StreamBytes = std::vector<uint8_t, DefaultInitAllocator<uint8_t>>;

}  // namespace hk::archive
