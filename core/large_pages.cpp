#include "large_pages.h"

#include <cstdint>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace tessaro {

namespace {

#ifdef __linux__
constexpr std::size_t LARGE_PAGE = 2 * 1024 * 1024;

std::size_t mapped_size(std::size_t bytes) {
    return (bytes + LARGE_PAGE - 1) / LARGE_PAGE * LARGE_PAGE;
}

// A mapping of whole large pages on a large page's boundary (a large page is
// only given where its whole aligned range lies in one advised mapping).
void* map_large(std::size_t bytes) {
    const std::size_t size = mapped_size(bytes);
    void* map = mmap(nullptr, size + LARGE_PAGE, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (map == MAP_FAILED) return nullptr;
    const auto start = reinterpret_cast<std::uintptr_t>(map);
    const std::uintptr_t aligned = (start + LARGE_PAGE - 1) / LARGE_PAGE * LARGE_PAGE;
    if (aligned > start) munmap(map, aligned - start);
    if (const std::uintptr_t tail = start + LARGE_PAGE - aligned; tail > 0)
        munmap(reinterpret_cast<void*>(aligned + size), tail);
    void* block = reinterpret_cast<void*>(aligned);
    // Only advice: where large pages are off the block works in small ones.
    madvise(block, size, MADV_HUGEPAGE);
    return block;
}
#endif

}  // namespace

std::size_t large_capacity(std::size_t bytes) {
#ifdef __linux__
    if (bytes >= LARGE_BLOCK) return mapped_size(bytes);
#endif
    return bytes;
}

void* allocate_large(std::size_t bytes) {
#ifdef __linux__
    if (bytes >= LARGE_BLOCK) {
        if (void* block = map_large(bytes)) return block;
        // Kept apart from operator new's blocks: released by its size alone.
        throw std::bad_alloc();
    }
#endif
    return ::operator new(bytes);
}

void release_large(void* block, std::size_t bytes) noexcept {
    if (block == nullptr) return;
#ifdef __linux__
    if (bytes >= LARGE_BLOCK) {
        munmap(block, mapped_size(bytes));
        return;
    }
#endif
    ::operator delete(block);
}

}  // namespace tessaro
