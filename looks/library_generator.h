#pragma once

#include <stdexcept>
#include <string>

namespace tessaro {

// A fault in a look source, with its file and line ("points.txt:12: ...").
class LookSourceError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct LibraryFiles {
    std::string points;    // res/points
    std::string lines;     // res/lines
    std::string polygons;  // res/pgons.pol
};

// Builds the three library files from the look sources in a folder:
// palette.txt (named colours), glyphs.txt (point glyphs), points.txt,
// lines.txt and polygons.txt (one look per type code). Throws LookSourceError.
LibraryFiles make_libraries(const std::string& looks_folder);

}  // namespace tessaro
