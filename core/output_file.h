#pragma once

#include <cstdint>
#include <cstdio>
#include <future>
#include <memory>
#include <optional>
#include <string>

#include "failure.h"
#include "large_pages.h"

namespace tessaro {

// Where the bytes for an output path go.
struct OutputTarget {
    enum class Kind {
        Replace,  // a regular file, or none yet: a new file takes its place
        InPlace,  // a device, or a stream behind /proc/<pid>/fd: written where it is
        Folder,
        Special,  // a pipe, a socket, a block device: refused
    };
    Kind kind = Kind::Replace;
    std::string file;  // for Replace: the file to replace, links followed
};

// Follows the links of an output path (a link to a link, a dangling link, a
// relative link) to what it finally names.
OutputTarget resolve_output(const std::string& path);

// A new, empty file in the folder of `target`, named so that no output and
// no other run's file is mistaken for it; permissions as the target has them
// (or as a new file would get). Returns the open stream, or nullptr with the
// system's error.
std::FILE* create_file_beside(const std::string& target, std::string& created, std::string& error);

// Flushes the stream's bytes to disk and closes it; false with the system's
// error when any step failed (the stream is closed all the same).
bool sync_and_close(std::FILE* file, std::string& error);

// A file written whole and put in its path's place only when complete: a
// new hidden file beside the target (links followed), synced and renamed
// over it; on any failure the new file goes and the old one stays. A device
// is written where it is; a folder or a pipe is refused.
class ReplacedFile {
public:
    // `pages` (may be null) lends the stream's buffer.
    explicit ReplacedFile(std::string path, PagePool* pages = nullptr) : m_path(std::move(path)), m_pages(pages) {}
    // An unfinished file is abandoned.
    ~ReplacedFile();
    ReplacedFile(const ReplacedFile&) = delete;
    ReplacedFile& operator=(const ReplacedFile&) = delete;

    const std::string& path() const { return m_path; }
    std::optional<Failure> open();
    // After a failed write the rest is not written; finish() then reports it.
    void write(const char* bytes, std::size_t size);
    std::optional<Failure> finish();
    bool in_place() const { return m_in_place; }

private:
    void fail(const std::string& why);
    void abandon();
    void sync_ahead();
    void wait_for_sync_ahead();

    std::string m_path;
    // The stream's buffer, ours: the C library sizes one it makes itself by
    // the file system's block (4 KB), which would cost a write call for each.
    PagePool* m_pages = nullptr;
    LargeBlock m_buffer;
    std::FILE* m_file = nullptr;
    std::string m_target;  // the file replaced (the path, or what its link points at)
    std::string m_temp;    // the new file beside it; empty when writing in place
    bool m_in_place = false;
    std::uint64_t m_written = 0;  // bytes handed to the stream
    std::uint64_t m_flushed = 0;  // of them, bytes whose write to disk has been started
    std::uint64_t m_synced = 0;   // of them, bytes a sync ahead was started for
    std::future<int> m_sync_ahead;  // its errno, or 0
    std::optional<Failure> m_failure;
};

// A whole text written as a ReplacedFile.
std::optional<Failure> write_replaced_file(const std::string& path, const std::string& text);

}  // namespace tessaro
