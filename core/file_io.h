#pragma once

#include <filesystem>
#include <functional>
#include <string>

namespace tessaro {

// Largest piece read at once, so even a huge file never needs one read of its full size.
inline constexpr std::size_t READ_CHUNK = 48'673'404;

// The platform's path separator; paths are joined as text.
#ifdef _WIN32
inline constexpr char PATH_SEP = '\\';
#else
inline constexpr char PATH_SEP = '/';
#endif

std::string join_path(const std::string& folder, const std::string& name);

// A narrow path as std::filesystem takes it, and back. On Windows narrow paths
// are in the system's code page (as the ANSI file functions and the window's
// local 8-bit text spell them), which std::filesystem does not assume there.
std::filesystem::path to_fs_path(const std::string& path);
std::string from_fs_path(const std::filesystem::path& path);
bool file_exists(const std::string& path);  // anything at the path, folders included
bool is_regular_file(const std::string& path);
// True when both paths name one existing file (links followed, hard links alike).
bool same_file(const std::string& a, const std::string& b);

// Reads the whole file as bytes, appending to out chunk by chunk and calling
// after_chunk after each. Only regular files are opened (a pipe would block).
// On failure returns false with error = the system's description; out keeps
// what was read so far.
bool read_file(const std::string& path, std::string& out, std::string& error,
               const std::function<void()>& after_chunk = {});

// Description of the last system error (errno).
std::string system_error_text();

}  // namespace tessaro
