#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace tessaro {

// What a generated style is made of and where it stands.
struct GeneratedStyle {
    std::string style_folder;                 // points, lines, polygons, inc/
    std::string res_folder;                   // the library files points, lines, pgons.pol
    std::vector<std::string> rule_files;      // main rule files, then the include files
    std::vector<std::string> library_files;   // points, lines, pgons.pol
    std::size_t rule_lines = 0;               // lines written over all rule files
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

private:
    std::mt19937_64 m_engine;
};

}  // namespace tessaro
