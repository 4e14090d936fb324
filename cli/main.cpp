#include <filesystem>
#include <cstdio>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include "cli_run.h"
#include "file_io.h"
#include "output_file.h"

namespace {

// The folder that holds this program, where res/ lies.
std::string program_folder(const char* argv0) {
    namespace fs = std::filesystem;
    std::error_code ec;
#ifdef _WIN32
    char buf[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, buf, MAX_PATH);
    if (n > 0 && n < MAX_PATH) return tessaro::from_fs_path(tessaro::to_fs_path(std::string(buf, n)).parent_path());
#else
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) return self.parent_path().string();
#endif
    return tessaro::from_fs_path(fs::absolute(tessaro::to_fs_path(argv0 ? argv0 : ""), ec).parent_path());
}

}  // namespace

int main(int argc, char** argv) {
    // An interrupted run leaves no half-written temporary file behind.
    tessaro::remove_temporary_files_on_signals();
    std::vector<std::string> args(argv + 1, argv + argc);
    tessaro::FileOut out(stdout);
    tessaro::FileOut err(stderr);
    return tessaro::run_cli(args, program_folder(argc > 0 ? argv[0] : nullptr), out, err);
}
