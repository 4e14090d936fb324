// The floor for whole runs of tessaro-cli: a process that reads every file the
// command line program reads for a style, each once, and writes as many bytes
// as its TYP text has, with one write, the way the TYP text is put in place.
// scripts/bench times the two side by side.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <dirent.h>
#include <sys/stat.h>

#include "physical_floor.h"

namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: tessaro_floor [-v] --bytes N --res DIR -o OUT STYLE_FOLDER\n"
                 "reads STYLE_FOLDER/{points,lines,polygons}, every file of STYLE_FOLDER/inc and\n"
                 "DIR/{points,lines,pgons.pol} once each, then writes N bytes to OUT\n");
    return 2;
}

// The regular files of a folder, as the include scan finds them; none when it is missing.
std::vector<std::string> files_in(const std::string& folder) {
    std::vector<std::string> files;
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return files;
    while (const dirent* e = ::readdir(dir)) {
        if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
        std::string path = folder + "/" + e->d_name;
        bool regular = e->d_type == DT_REG;
        if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) {
            struct stat st {};
            regular = ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
        }
        if (regular) files.push_back(std::move(path));
    }
    ::closedir(dir);
    return files;
}

}  // namespace

int main(int argc, char** argv) {
    std::string res, out, style;
    long long bytes = -1;
    bool verbose = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool has_value = i + 1 < argc;
        if (arg == "-v") verbose = true;
        else if (arg == "--bytes" && has_value) bytes = std::atoll(argv[++i]);
        else if (arg == "--res" && has_value) res = argv[++i];
        else if (arg == "-o" && has_value) out = argv[++i];
        else if (!arg.empty() && arg[0] != '-' && style.empty()) style = arg;
        else return usage();
    }
    if (bytes < 0 || res.empty() || out.empty() || style.empty()) return usage();

    // The library files must be there, as the program needs them; a style may
    // leave out a rule file or its inc folder.
    std::vector<std::string> required = {res + "/points", res + "/lines", res + "/pgons.pol"};
    std::vector<std::string> optional = {style + "/points", style + "/lines", style + "/polygons"};
    for (std::string& path : files_in(style + "/inc")) required.push_back(std::move(path));

    tessaro::FloorReader reader;
    std::string error;
    std::size_t total = 0, files = 0;
    for (const std::string& path : required) {
        std::size_t n = 0;
        if (!reader.read_whole(path.c_str(), n, error)) {
            std::fprintf(stderr, "tessaro_floor: %s\n", error.c_str());
            return 1;
        }
        total += n;
        ++files;
    }
    for (const std::string& path : optional) {
        std::size_t n = 0;
        if (reader.read_whole(path.c_str(), n, error)) {
            total += n;
            ++files;
        }
    }

    const std::string text(static_cast<std::size_t>(bytes), 'x');
    if (!tessaro::replace_file(out, text.data(), text.size(), error)) {
        std::fprintf(stderr, "tessaro_floor: %s\n", error.c_str());
        return 1;
    }
    if (verbose) std::printf("read %zu files, %zu bytes; wrote %zu bytes\n", files, total, text.size());
    return 0;
}
