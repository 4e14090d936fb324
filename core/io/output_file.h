#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <system_error>

#include "failure.h"

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

// What tells whether a file was changed by someone else since it was looked at.
struct FileStamp {
    bool exists = false;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t modified_ns = 0;

    bool operator==(const FileStamp&) const = default;
};
FileStamp stamp_of(const std::string& path);  // links followed

// True when an existing file has no write permission for anyone: replacing
// it would take away a protection its owner put there (root may write any
// file, so the permission bits decide, not access()).
bool is_read_only(const std::string& path);

// True when the two output paths are one file: as files, or by where they
// put their bytes (links followed, the folder made canonical), though
// neither exists yet.
bool same_output(const std::string& a, const std::string& b);

// The temporary files of this process are removed when it is stopped by
// SIGINT, SIGTERM, SIGHUP or SIGXFSZ (a signal set to be ignored stays so).
// For a program's main(); does nothing on Windows.
void remove_temporary_files_on_signals();

// Follows the links of an output path (a link to a link, a dangling link, a
// relative link) to what it finally names.
OutputTarget resolve_output(const std::string& path);

// A file written whole and put in its path's place only when complete: a
// new hidden file beside the target (links followed), synced and renamed
// over it; on any failure the new file goes and the old one stays. A device
// is written where it is; a folder or a pipe is refused.
class ReplacedFile {
public:
    explicit ReplacedFile(std::string path) : m_path(std::move(path)) {}
    // An unfinished file is abandoned.
    ~ReplacedFile();
    ReplacedFile(const ReplacedFile&) = delete;
    ReplacedFile& operator=(const ReplacedFile&) = delete;

    std::optional<Failure> open();
    // After a failed write the rest is not written; finish() then reports it.
    void write(const char* bytes, std::size_t size);
    std::optional<Failure> finish();
    bool in_place() const { return m_in_place; }
    // The old file is replaced only if it is still as `stamp` says (an update's
    // old text as it was read); else open() takes the stamp of what it finds.
    void expect(const FileStamp& stamp) { m_expected = stamp; }

private:
    void keep_beside();
    void fail(std::error_code why);
    void abandon();

    std::string m_path;
    std::FILE* m_file = nullptr;
    std::string m_target;  // the file replaced (the path, or what its link points at)
    std::string m_temp;    // the new file beside it; empty when writing in place
    bool m_in_place = false;
    std::optional<Failure> m_failure;
    std::optional<FileStamp> m_expected;
    int m_temp_slot = -1;  // where the signal handler finds m_temp
};

// A whole text written as a ReplacedFile.
std::optional<Failure> write_replaced_file(const std::string& path, const std::string& text);

}  // namespace tessaro
