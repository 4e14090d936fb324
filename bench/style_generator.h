#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "section.h"

namespace tessaro {

// What a generated style is made of and where it stands.
struct GeneratedStyle {
    std::string style_folder;                 // points, lines, polygons, inc/
    std::string res_folder;                   // the library files points, lines, pgons.pol
    std::vector<std::string> rule_files;      // main rule files, then the include files
    std::vector<std::string> library_files;   // points, lines, pgons.pol
    std::size_t rule_lines = 0;               // lines written over all rule files
};

// A style made of include files: what was written, and what sorting its
// include files by the include statements must give.
struct GeneratedIncludes {
    std::string style_folder;               // points, lines, polygons, inc/
    std::size_t files = 0;                  // include files, each defining one type
    PerSection<std::size_t> reached;        // files each main rule file includes, directly or through others
    std::size_t included_by_nobody = 0;
};

// Writes synthetic mkgmap style folders that look like real ones (conditions,
// action blocks, comments, codes on their own line, include statements) and
// library files of realistic size, so that the benchmarks measure the
// conversion on input of a known size. The same seed and size always give
// the same bytes.
class StyleGenerator {
public:
    explicit StyleGenerator(std::uint64_t seed = 1) : m_engine(seed) {}

    // Writes <folder>/bench_style with about rule_lines lines over its rule
    // files (points 40 %, lines 30 %, polygons 20 %, four include files 10 %)
    // and <folder>/res with the three library files. Throws std::runtime_error
    // when a file cannot be written.
    GeneratedStyle generate(const std::string& folder, std::size_t rule_lines);

    // Writes <folder>/include_style: `files` small include files in inc/,
    // each defining one type, a third of them for each section. Its main
    // rule files include them, most directly and some through chains of
    // other include files; the last few are included by nobody. Throws
    // std::runtime_error when a file cannot be written.
    GeneratedIncludes generate_includes(const std::string& folder, std::size_t files);

private:
    std::mt19937_64 m_engine;
};

}  // namespace tessaro
