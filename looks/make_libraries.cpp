// Writes the library files (points, lines, pgons.pol) from the look sources.
#include <cstdio>
#include <fstream>

#include "library_generator.h"

namespace {

bool write(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (out) return true;
    std::fprintf(stderr, "%s: cannot be written\n", path.c_str());
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: tessaro_make_libraries LOOKS_FOLDER RES_FOLDER\n");
        return 2;
    }
    try {
        const tessaro::LibraryFiles files = tessaro::make_libraries(argv[1]);
        const std::string res = argv[2];
        const bool ok = write(res + "/points", files.points) && write(res + "/lines", files.lines) &&
                        write(res + "/pgons.pol", files.polygons);
        return ok ? 0 : 1;
    } catch (const tessaro::LookSourceError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
