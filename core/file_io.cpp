#include "file_io.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#endif

namespace tessaro {

namespace fs = std::filesystem;

std::string join_path(const std::string& folder, const std::string& name) {
    return folder + PATH_SEP + name;
}

#ifdef _WIN32
fs::path to_fs_path(const std::string& path) {
    if (path.empty()) return {};
    const int size = static_cast<int>(path.size());
    const int n = MultiByteToWideChar(CP_ACP, 0, path.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, path.data(), size, wide.data(), n);
    return fs::path(wide);
}

std::string from_fs_path(const fs::path& path) {
    const std::wstring& wide = path.native();
    if (wide.empty()) return {};
    const int size = static_cast<int>(wide.size());
    const int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), size, narrow.data(), n, nullptr, nullptr);
    return narrow;
}
#else
fs::path to_fs_path(const std::string& path) {
    return fs::path(path);
}

std::string from_fs_path(const fs::path& path) {
    return path.string();
}
#endif

bool file_exists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::exists(to_fs_path(path), ec);
}

bool is_regular_file(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::is_regular_file(to_fs_path(path), ec);
}

bool same_file(const std::string& a, const std::string& b) {
    std::error_code ec;
    return !a.empty() && !b.empty() && fs::equivalent(to_fs_path(a), to_fs_path(b), ec) && !ec;
}

std::string system_error_text() {
    return std::strerror(errno);
}

bool read_file(const std::string& path, std::string& out, std::string& error,
               const std::function<void()>& after_chunk) {
    std::error_code ec;
    const fs::file_status st = fs::status(to_fs_path(path), ec);
    if (path.empty() || !fs::exists(st)) {
        error = std::strerror(ENOENT);
        return false;
    }
    if (fs::is_directory(st)) {
        error = std::strerror(EISDIR);
        return false;
    }
    if (!fs::is_regular_file(st)) {
        error = "not a regular file";
        return false;
    }
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file) {
        error = system_error_text();
        return false;
    }
    // The size only sizes the pieces; the read goes on until the end of the file.
    const std::uintmax_t size = fs::file_size(to_fs_path(path), ec);
    std::uintmax_t expected = ec ? 0 : size;
    if (!ec) out.reserve(out.size() + static_cast<std::size_t>(size));
    while (true) {
        const std::size_t want = static_cast<std::size_t>(
            std::min<std::uintmax_t>(READ_CHUNK, std::max<std::uintmax_t>(expected + 1, 4096)));
        const std::size_t old = out.size();
        out.resize(old + want);
        const std::size_t got = std::fread(out.data() + old, 1, want, file.get());
        out.resize(old + got);
        expected = expected > got ? expected - got : 0;
        if (got > 0 && after_chunk) after_chunk();
        if (got < want) break;
    }
    if (std::ferror(file.get())) {
        error = system_error_text();
        return false;
    }
    return true;
}

}  // namespace tessaro
