#pragma once

#include <cstddef>
#include <memory>
#include <new>
#include <string>

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

void* allocate_large(std::size_t bytes);
// The bytes a block asked for with `bytes` can hold: a mapped block is whole
// large pages, and a buffer that may grow had best take them all.
std::size_t large_capacity(std::size_t bytes);
void release_large(void* block, std::size_t bytes) noexcept;

// The allocator of containers that may grow to megabytes.
template <class T>
struct LargePageAllocator {
    using value_type = T;
    LargePageAllocator() = default;
    template <class U>
    LargePageAllocator(const LargePageAllocator<U>&) noexcept {}
    T* allocate(std::size_t n) { return static_cast<T*>(allocate_large(n * sizeof(T))); }
    void deallocate(T* p, std::size_t n) noexcept { release_large(p, n * sizeof(T)); }
    friend bool operator==(const LargePageAllocator&, const LargePageAllocator&) { return true; }
};

// A text of megabytes built by appending.
using LargeText = std::basic_string<char, std::char_traits<char>, LargePageAllocator<char>>;

// A buffer of bytes of a size fixed when it is made.
class LargeBlock {
public:
    LargeBlock() = default;
    // A block of at least `bytes`: all that its pages hold (size()).
    explicit LargeBlock(std::size_t bytes)
        : m_bytes(static_cast<char*>(allocate_large(large_capacity(bytes)))), m_size(large_capacity(bytes)) {}
    LargeBlock(LargeBlock&& other) noexcept : m_bytes(other.m_bytes), m_size(other.m_size) {
        other.m_bytes = nullptr;
        other.m_size = 0;
    }
    LargeBlock& operator=(LargeBlock&& other) noexcept {
        if (this != &other) {
            release_large(m_bytes, m_size);
            m_bytes = other.m_bytes;
            m_size = other.m_size;
            other.m_bytes = nullptr;
            other.m_size = 0;
        }
        return *this;
    }
    LargeBlock(const LargeBlock&) = delete;
    LargeBlock& operator=(const LargeBlock&) = delete;
    ~LargeBlock() { release_large(m_bytes, m_size); }

    char* get() const { return m_bytes; }
    std::size_t size() const { return m_size; }

private:
    char* m_bytes = nullptr;
    std::size_t m_size = 0;
};

}  // namespace tessaro
