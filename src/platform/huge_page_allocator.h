#pragma once

#include <sys/mman.h>

#include <cstddef>
#include <cstdlib>
#include <new>

namespace platform {

// An allocator for large arrays filled right after allocation (a hive's key table): blocks of 2 MiB
// and more ask the kernel for huge pages, which cuts the page faults of filling them a
// hundredfold. Smaller blocks come from malloc.
template <typename T>
class HugePageAllocator {
public:
    using value_type = T;
    static constexpr std::size_t kHugePage = 2 * 1024 * 1024;

    HugePageAllocator() = default;
    template <typename U>
    HugePageAllocator(const HugePageAllocator<U>&) {}  // NOLINT: allocators convert implicitly

    T* allocate(std::size_t count) {
        void* memory = TryAllocate(count * sizeof(T));
        if (memory == nullptr) {
            throw std::bad_alloc();
        }
        return static_cast<T*>(memory);
    }
    // The same without an exception: none when there is no memory. Released with std::free.
    static void* TryAllocate(std::size_t bytes) {
        if (bytes < kHugePage) {
            return std::malloc(bytes == 0 ? 1 : bytes);
        }
        void* memory = std::aligned_alloc(kHugePage, (bytes + kHugePage - 1) / kHugePage * kHugePage);
        if (memory != nullptr) {
            ::madvise(memory, bytes, MADV_HUGEPAGE);
        }
        return memory;
    }
    void deallocate(T* memory, std::size_t) { std::free(memory); }

    template <typename U>
    bool operator==(const HugePageAllocator<U>&) const {
        return true;
    }
};

}  // namespace platform
