#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "conversion.h"

namespace tessaro {

// The level of polygon types whose look carries none (built-in and random looks, a polygon library without levels),
// unless the library names another (";level-without-look=N"): the middle of the library's levels 1 to 5.
inline constexpr int LEVEL_WITHOUT_LOOK = 3;

// Adds one [_polygon] entry, with its draw-order level, per distinct polygon type of the rule file: the polygon
// library's look, else the built-in look of the code, else a solid random colour.
void add_polygon_entries(Conversion& cv, const std::string& path);

// Whether the built-in polygon looks list the code (lower-case, exact match).
bool has_builtin_polygon_look(std::string_view code);
// In the new looks, the library codes whose look stands for a table look, in
// the order to try: the code, then the other codes of its row, which share its look.
std::vector<std::string_view> polygon_look_kin(std::string_view code);

}  // namespace tessaro
