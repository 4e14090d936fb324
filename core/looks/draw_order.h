#pragma once

#include <optional>
#include <string_view>

namespace tessaro {

// The level of polygon types whose look carries none (built-in and random
// looks, a polygon library without levels), unless the library names another:
// the middle of the library's levels 1 to 5.
inline constexpr int LEVEL_WITHOUT_LOOK = 3;

// The draw-order level that a polygon look's ";level=N" comment line gives.
std::optional<int> look_level(std::string_view entry);
// The level of polygon types without a level of their own: the polygon
// library's ";level-without-look=N" line, else LEVEL_WITHOUT_LOOK.
int level_without_look(std::string_view library);

}  // namespace tessaro
