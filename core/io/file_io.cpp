#include "file_io.h"

#include "failure.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

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
#endif

bool file_exists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::exists(to_fs_path(path), ec);
}

bool is_regular_file(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::is_regular_file(to_fs_path(path), ec);
}

bool is_folder(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::is_directory(to_fs_path(path), ec);
}

bool same_file(const std::string& a, const std::string& b) {
    std::error_code ec;
    return !a.empty() && !b.empty() && fs::equivalent(to_fs_path(a), to_fs_path(b), ec) && !ec;
}

const std::error_category& file_error_category() {
    static const struct : std::error_category {
        const char* name() const noexcept override { return "tessaro file"; }
        std::string message(int) const override { return "not a regular file"; }
    } category;
    return category;
}

bool FileReader::open(const std::string& path, std::error_code& error) {
    close();
    m_failed = false;
#ifdef _WIN32
    std::error_code ec;
    const fs::file_status st = fs::status(to_fs_path(path), ec);
    if (path.empty() || !fs::exists(st)) {
        error = std::make_error_code(std::errc::no_such_file_or_directory);
        return false;
    }
    if (fs::is_directory(st)) {
        error = std::make_error_code(std::errc::is_a_directory);
        return false;
    }
    if (!fs::is_regular_file(st)) {
        error = make_error_code(FileError::NotRegularFile);
        return false;
    }
    m_file = std::fopen(path.c_str(), "rb");
    if (m_file == nullptr) {
        error = last_system_error();
        return false;
    }
    const std::uintmax_t size = fs::file_size(to_fs_path(path), ec);
    m_size = ec ? 0 : size;
#else
    // The file opened is the file looked at: opened without waiting (a pipe
    // would wait for a writer), then taken only when it is a regular file.
    const int fd = path.empty() ? -1 : ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = path.empty() ? std::make_error_code(std::errc::no_such_file_or_directory) : last_system_error();
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        error = S_ISDIR(st.st_mode) ? std::make_error_code(std::errc::is_a_directory)
                                    : make_error_code(FileError::NotRegularFile);
        ::close(fd);
        return false;
    }
    m_file = ::fdopen(fd, "rb");
    if (m_file == nullptr) {
        error = last_system_error();
        ::close(fd);
        return false;
    }
    m_size = static_cast<std::uintmax_t>(st.st_size);
#endif
    // The caller reads into its own buffer: the stream's would only be copied from.
    std::setvbuf(m_file, nullptr, _IONBF, 0);
    return true;
}

std::size_t FileReader::read(char* to, std::size_t n, std::error_code& error) {
    if (m_file == nullptr || m_failed) return 0;
    const std::size_t got = std::fread(to, 1, n, m_file);
    if (got < n && std::ferror(m_file)) {
        m_failed = true;
        error = last_system_error();
    }
    return got;
}

void FileReader::close() {
    if (m_file != nullptr) std::fclose(m_file);
    m_file = nullptr;
}

bool read_file(const std::string& path, std::string& out, std::error_code& error) {
    FileReader file;
    if (!file.open(path, error)) return false;
    // The size is a hint: the read goes on until the end of the file. One
    // byte more than it holds, so that the read that meets the end has room.
    std::size_t want = static_cast<std::size_t>(file.size_hint()) + 1;
    while (true) {
        const std::size_t old = out.size();
        out.resize(old + want);
        const std::size_t got = file.read(out.data() + old, want, error);
        out.resize(old + got);
        if (got < want) break;
        want = std::max<std::size_t>(want, 64 * 1024);
    }
    return !file.failed();
}

}  // namespace tessaro
