#include "large_pages.h"

#include <cstdint>
#include <new>

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

PagePool::~PagePool() {
#ifdef __linux__
    for (const auto& [size, block] : m_blocks) munmap(block, size);
#endif
}

void* PagePool::take(std::size_t mapped) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    for (auto it = m_blocks.begin(); it != m_blocks.end(); ++it) {
        if (it->first != mapped) continue;
        void* block = it->second;
        m_blocks.erase(it);
        m_bytes -= mapped;
        return block;
    }
    return nullptr;
}

bool PagePool::give(void* block, std::size_t mapped) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (m_bytes + mapped > MOST) return false;
    m_blocks.emplace_back(mapped, block);
    m_bytes += mapped;
    return true;
}

std::size_t PagePool::kept_bytes() {
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_bytes;
}

std::size_t large_capacity(std::size_t bytes) {
#ifdef __linux__
    if (bytes >= LARGE_BLOCK) return mapped_size(bytes);
#endif
    return bytes;
}

void* allocate_large(std::size_t bytes, PagePool* pool) {
#ifdef __linux__
    if (bytes >= LARGE_BLOCK) {
        if (pool != nullptr)
            if (void* block = pool->take(mapped_size(bytes))) return block;
        if (void* block = map_large(bytes)) return block;
        // Kept apart from operator new's blocks: released by its size alone.
        throw std::bad_alloc();
    }
#else
    (void)pool;
#endif
    return ::operator new(bytes);
}

void release_large(void* block, std::size_t bytes, PagePool* pool) noexcept {
    if (block == nullptr) return;
#ifdef __linux__
    if (bytes >= LARGE_BLOCK) {
        if (pool != nullptr && pool->give(block, mapped_size(bytes))) return;
        munmap(block, mapped_size(bytes));
        return;
    }
#else
    (void)bytes;
    (void)pool;
#endif
    ::operator delete(block);
}

}  // namespace tessaro
