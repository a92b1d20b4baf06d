#pragma once

#include <cstddef>
#include <limits>
#include <new>

#include "core/ground/Platform.h"

namespace kelvane {

// An allocator for large blocks that come and go while much else is held: their
// memory goes back to the system as each block is freed, so a peak never holds
// freed blocks besides the live ones.
template <class T>
struct TPageAllocator {
    using value_type = T;

    TPageAllocator() = default;
    template <class U>
    TPageAllocator(const TPageAllocator<U>&) {}

    T* allocate(std::size_t n) {
        if (n > std::numeric_limits<std::size_t>::max() / sizeof(T)) throw std::bad_array_new_length();
        void* const data = platform::AllocatePages(n * sizeof(T));
        if (!data) throw std::bad_alloc();
        return static_cast<T*>(data);
    }
    void deallocate(T* data, std::size_t n) { platform::FreePages(data, n * sizeof(T)); }

    template <class U>
    bool operator==(const TPageAllocator<U>&) const {
        return true;
    }
};

}  // namespace kelvane
