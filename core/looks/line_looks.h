#pragma once

#include <array>
#include <string_view>
#include <vector>

namespace tessaro {

// A dash pattern: an XPM 32 pixels wide, "0" pixels the first colour.
struct LinePattern {
    std::string_view header;   // e.g. "32 2 2 1"
    std::string_view colour0;  // e.g. "0 c #000000"
    std::string_view colour1;
    std::array<std::string_view, 5> rows;  // unused places empty
};

// A built-in line look. A row with a pattern writes no widths and no colours
// of its own: the pattern brings its colours.
struct LineLookRow {
    std::array<std::string_view, 4> codes;  // unused places empty
    int width;
    int border;
    std::string_view colour1;
    std::string_view colour2;      // empty: one colour
    const LinePattern* pattern;  // none: widths and colours
};

// The first row listing the (lower-case) code, or nullptr.
const LineLookRow* line_look(std::string_view code);

// In the new looks, the library codes whose look stands for a table look, in
// the order to try, so that no table colour stands beside the library's own:
// for a rule that names a motorway, the library's motorway (its slip road for
// a link); else the code, then the other codes of its row.
std::vector<std::string_view> line_look_kin(std::string_view code, bool motorway, bool link);

// Drawn from the whole look of a motorway, whatever its code.
inline constexpr int MOTORWAY_WIDTH = 5;
inline constexpr int MOTORWAY_BORDER = 1;
inline constexpr std::string_view MOTORWAY_COLOUR1 = "1CA9DE";
inline constexpr std::string_view MOTORWAY_COLOUR2 = "0000A0";

}  // namespace tessaro
