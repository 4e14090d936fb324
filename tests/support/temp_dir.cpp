#include "temp_dir.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include "file_io.h"
#endif

namespace tessaro::test {
namespace fs = std::filesystem;

TempDir::TempDir() {
    static std::atomic<unsigned> counter{0};
    std::random_device rd;
    const fs::path p = fs::temp_directory_path() / ("tessaro-test-" + std::to_string(rd()) + "-" + std::to_string(counter++));
    fs::create_directories(p);
    m_path = p.string();
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::remove_all(fs::path(m_path), ec);
}

std::string TempDir::operator/(const std::string& name) const { return (fs::path(m_path) / name).string(); }

std::string TempDir::write(const std::string& name, const std::string& bytes) const {
    const fs::path p = fs::path(m_path) / name;
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << bytes;
    return p.string();
}

void TempDir::write_files(const std::vector<std::pair<std::string, std::string>>& files) const {
    for (const auto& [name, bytes] : files) write(name, bytes);
}

::testing::AssertionResult has(const std::string& text, const std::string& piece) {
    if (text.find(piece) != std::string::npos) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "no \"" << piece << "\" in: " << text;
}

std::size_t line_of(const std::string& text, const std::string& piece) {
    const std::size_t at = text.find(piece);
    EXPECT_NE(at, std::string::npos) << piece;
    const auto end = text.begin() + static_cast<std::ptrdiff_t>(std::min(at, text.size()));
    return static_cast<std::size_t>(std::count(text.begin(), end, '\n')) + 1;
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

const std::string BAR_POINT_LOOK = "[_point]\r\nType=0x02d02\r\nXpm=\"1 1 1 1\"\r\n\"a c #000000\"\r\n\"a\"\r\n[end]\r\n";

std::string write_library(const TempDir& dir, const std::string& folder, const std::string& points) {
    dir.write(folder + "/points", points);
    dir.write(folder + "/lines", "");
    dir.write(folder + "/pgons.pol", "");
    return dir / folder;
}

std::string read_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

#ifdef _WIN32
std::string in_code_page(const wchar_t* text) {
    char buf[256];
    BOOL lossy = FALSE;
    const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, -1, buf, sizeof buf, nullptr, &lossy);
    return n > 0 && !lossy ? std::string(buf) : std::string();
}
#endif

#ifndef _WIN32
std::string make_unreadable(const std::string& path) {
    ::chmod(path.c_str(), 0);
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        std::fclose(f);
        fs::remove(path);
        fs::create_symlink("/proc/self/mem", path);
    }
    std::string bytes;
    std::error_code error;
    if (read_file(path, bytes, error)) return {};
    return error.message();
}
#endif
}  // namespace tessaro::test
