#pragma once

#include <cstddef>
#include <mutex>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace tessaro {

// Memory for buffers of hundreds of kilobytes and more, taken in 2 MB pages
// where the system gives them. Every first touch of a 4 KB page is a trap
// into the kernel; on the virtual machines this program is measured on such a
// trap costs over ten microseconds, so a large run spent more time there than
// in reading its rule files. A 2 MB page takes one trap.
//
// Blocks from LARGE_BLOCK on are mapped apart (2 MB aligned, advised for
// large pages on Linux); smaller ones, and every block where mapping is not
// possible, come from operator new.
inline constexpr std::size_t LARGE_BLOCK = 128 * 1024;

// Mapped blocks given back by one run and taken again by the next one, kept
// by a front end that runs more than once (the window) with its state: a
// fresh large page must be cleared, which costs a small run more than its
// work on the page. Up to MOST bytes are kept; the rest is unmapped.
class PagePool {
public:
    static constexpr std::size_t MOST = 96 * 1024 * 1024;
    PagePool() = default;
    PagePool(const PagePool&) = delete;
    PagePool& operator=(const PagePool&) = delete;
    ~PagePool();
    // A kept block of exactly `mapped` bytes, or nullptr.
    void* take(std::size_t mapped);
    // False when the pool is full: the caller unmaps the block.
    bool give(void* block, std::size_t mapped);
    std::size_t kept_bytes();

private:
    std::mutex m_mutex;
    std::vector<std::pair<std::size_t, void*>> m_blocks;
    std::size_t m_bytes = 0;
};

// `pool` (may be null) lends and takes back mapped blocks.
void* allocate_large(std::size_t bytes, PagePool* pool = nullptr);
void release_large(void* block, std::size_t bytes, PagePool* pool = nullptr) noexcept;
// The bytes a block asked for with `bytes` can hold: a mapped block is whole
// large pages, and a buffer that may grow had best take them all.
std::size_t large_capacity(std::size_t bytes);

// The allocator of containers that may grow to megabytes. A container moved
// or swapped takes its allocator along, so that its blocks go back where they came from.
template <class T>
struct LargePageAllocator {
    using value_type = T;
    using propagate_on_container_move_assignment = std::true_type;
    using propagate_on_container_swap = std::true_type;
    using is_always_equal = std::false_type;
    LargePageAllocator() = default;
    explicit LargePageAllocator(PagePool* lender) noexcept : pool(lender) {}
    template <class U>
    LargePageAllocator(const LargePageAllocator<U>& other) noexcept : pool(other.pool) {}
    T* allocate(std::size_t n) { return static_cast<T*>(allocate_large(n * sizeof(T), pool)); }
    void deallocate(T* p, std::size_t n) noexcept { release_large(p, n * sizeof(T), pool); }
    friend bool operator==(const LargePageAllocator& a, const LargePageAllocator& b) { return a.pool == b.pool; }

    PagePool* pool = nullptr;
};

// A text of megabytes built by appending.
using LargeText = std::basic_string<char, std::char_traits<char>, LargePageAllocator<char>>;

// A buffer of bytes of a size fixed when it is made.
class LargeBlock {
public:
    LargeBlock() = default;
    // A block of at least `bytes`: all that its pages hold (size()).
    explicit LargeBlock(std::size_t bytes, PagePool* pool = nullptr)
        : m_bytes(static_cast<char*>(allocate_large(large_capacity(bytes), pool))), m_size(large_capacity(bytes)), m_pool(pool) {}
    LargeBlock(LargeBlock&& other) noexcept
        : m_bytes(std::exchange(other.m_bytes, nullptr)), m_size(std::exchange(other.m_size, 0)), m_pool(other.m_pool) {}
    LargeBlock& operator=(LargeBlock&& other) noexcept {
        if (this != &other) {
            release_large(m_bytes, m_size, m_pool);
            m_bytes = std::exchange(other.m_bytes, nullptr);
            m_size = std::exchange(other.m_size, 0);
            m_pool = other.m_pool;
        }
        return *this;
    }
    LargeBlock(const LargeBlock&) = delete;
    LargeBlock& operator=(const LargeBlock&) = delete;
    ~LargeBlock() { release_large(m_bytes, m_size, m_pool); }

    char* get() const { return m_bytes; }
    std::size_t size() const { return m_size; }

private:
    char* m_bytes = nullptr;
    std::size_t m_size = 0;
    PagePool* m_pool = nullptr;
};

}  // namespace tessaro
