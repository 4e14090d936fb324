#pragma once

#include <array>
#include <cstddef>

namespace tessaro {

// The three kinds of TYP entry, and with them the rule files, the library
// files and the include groups that belong to each. The one section type of
// the program: nothing else numbers them.
enum class Section { Point, Line, Polygon };

inline constexpr std::size_t SECTION_COUNT = 3;
inline constexpr std::array<Section, SECTION_COUNT> ALL_SECTIONS = {Section::Point, Section::Line, Section::Polygon};

// A value for each section, indexed by the section.
template <typename T>
struct PerSection {
    std::array<T, SECTION_COUNT> values{};

    T& operator[](Section s) { return values[static_cast<std::size_t>(s)]; }
    const T& operator[](Section s) const { return values[static_cast<std::size_t>(s)]; }
    bool operator==(const PerSection&) const = default;
};

// "point", "line", "polygon": the word of the section tag [_point].
inline const char* section_name(Section s) {
    return std::array{"point", "line", "polygon"}[static_cast<std::size_t>(s)];
}
// The rule file of the section in a style folder: "points", "lines", "polygons".
inline const char* rule_file_name(Section s) {
    return std::array{"points", "lines", "polygons"}[static_cast<std::size_t>(s)];
}
// The letter of the kinds string for a style folder that holds the rule file.
inline char kind_letter(Section s) {
    return std::array{'p', 'l', 'g'}[static_cast<std::size_t>(s)];
}

}  // namespace tessaro
