#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

namespace tessaro {

// The platform's path separator; paths are joined as text.
#ifdef _WIN32
inline constexpr char PATH_SEP = '\\';
#else
inline constexpr char PATH_SEP = '/';
#endif

inline std::string join_path(const std::string& folder, const std::string& name) { return folder + PATH_SEP + name; }

// A narrow path as std::filesystem takes it, and back. On Windows narrow paths
// are in the system's code page (as the ANSI file functions and the window's
// local 8-bit text spell them), which std::filesystem does not assume there.
#ifdef _WIN32
std::filesystem::path to_fs_path(const std::string& path);
std::string from_fs_path(const std::filesystem::path& path);
#else
inline std::filesystem::path to_fs_path(const std::string& path) { return path; }
inline std::string from_fs_path(const std::filesystem::path& path) { return path.string(); }
#endif
bool file_exists(const std::string& path);  // anything at the path, folders included
bool is_regular_file(const std::string& path);
bool is_folder(const std::string& path);  // links followed
// True when both paths name one existing file (links followed, hard links alike).
bool same_file(const std::string& a, const std::string& b);

// A regular file read a piece at a time into the caller's buffer, with the
// checks of read_file.
class FileReader {
public:
    FileReader() = default;
    ~FileReader() { close(); }
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;

    // False with error = why, when the path names no regular file or it cannot be opened.
    bool open(const std::string& path, std::error_code& error);
    // Up to n bytes into to; fewer only at the end of the file or on a failure,
    // which failed() then tells (error = the system's error).
    std::size_t read(char* to, std::size_t n, std::error_code& error);
    bool failed() const { return m_failed; }
    // The size the file had when it was opened (0 when unknown): a hint only.
    std::uintmax_t size_hint() const { return m_size; }
    void close();

private:
    std::FILE* m_file = nullptr;
    std::uintmax_t m_size = 0;
    bool m_failed = false;
};

// Reads the whole file as bytes, appending to out. Only regular files are
// opened (a pipe would block). On failure returns false with the error; out
// keeps what was read so far.
bool read_file(const std::string& path, std::string& out, std::error_code& error);

}  // namespace tessaro
