#pragma once

#include <array>
#include <string_view>
#include <vector>

namespace tessaro {

// A two-colour 32 x 32 fill pattern: pixel "0" takes the first colour line,
// "1" the second.
struct FillPattern {
    std::string_view colour0;  // e.g. "0 c #3F3F3F"
    std::string_view colour1;  // e.g. "1 c #BFFF80"
    std::array<std::string_view, 32> rows;  // top to bottom, 32 characters of "0"/"1" each
};

// The built-in look of a polygon type code (lower-case, exact match): a solid
// colour (hex digits without "#") or a fill pattern.
struct BuiltinPolygonLook {
    std::string_view colour;                // empty for a pattern row
    const FillPattern* pattern = nullptr;  // none for a colour row
};

// The table row for the code, or nullptr when the table does not list it.
const BuiltinPolygonLook* builtin_polygon_look(std::string_view code);

// In the new looks, the library codes whose look stands for a table look, in
// the order to try: the code, then the other codes of its row, which share its look.
std::vector<std::string_view> polygon_look_kin(std::string_view code);

}  // namespace tessaro
