#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include "cli_run.h"

namespace {

// The folder that holds this program, where res/ lies.
std::string program_folder(const char* argv0) {
    namespace fs = std::filesystem;
    std::error_code ec;
#ifdef _WIN32
    char buf[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, buf, MAX_PATH);
    if (n > 0 && n < MAX_PATH) return fs::path(std::string(buf, n)).parent_path().string();
#else
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) return self.parent_path().string();
#endif
    return fs::absolute(fs::path(argv0 ? argv0 : ""), ec).parent_path().string();
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::ios::sync_with_stdio(true);
    return tessaro::run_cli(args, program_folder(argc > 0 ? argv[0] : nullptr), std::cout, std::cerr);
}
