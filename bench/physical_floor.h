#pragma once

#include <cstddef>
#include <memory>
#include <new>
#include <string>

namespace tessaro {

// The least any conversion has to do with its files, shared by the
// in-process floor (BM_PhysicalFloor) and the floor program (tessaro_floor):
// read every input byte once with plain read calls, and put the output's
// bytes in place with one write, through the same file-system steps as the
// TYP text writer (a new file beside the output, fsync, rename).

// Reads whole files through one reused buffer. The buffer is small enough to
// stay in the processor's cache and is never cleared: each read only copies
// from the page cache, which measured faster than reading whole files into a
// buffer of the largest file's size. It starts at a page: a buffer from
// malloc may start 16 bytes past one, where the kernel's copy from a
// page-aligned file position is three to four times slower on some processors.
class FloorReader {
public:
    static constexpr std::size_t BUFFER = 256 * 1024;

    FloorReader() : m_buffer(static_cast<char*>(::operator new[](BUFFER, std::align_val_t{4096}))) {}

    // Bytes read from the file; false with the system's error when it cannot be
    // opened or read.
    bool read_whole(const char* path, std::size_t& bytes, std::string& error);

    // The buffer, reused by the caller once the reads are done.
    char* buffer() { return m_buffer.get(); }

private:
    struct Release {
        void operator()(char* p) const { ::operator delete[](p, std::align_val_t{4096}); }
    };
    std::unique_ptr<char[], Release> m_buffer;
};

// Writes size bytes with one write into a new file beside target, syncs it,
// and renames it over target, keeping target's permissions; false with the
// failing step and the system's error.
bool replace_file(const std::string& target, const char* data, std::size_t size, std::string& error);

}  // namespace tessaro
