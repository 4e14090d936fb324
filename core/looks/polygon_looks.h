#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tessaro {

// Whether the built-in polygon looks list the code (lower-case, exact match).
bool has_builtin_polygon_look(std::string_view code);

// The [_polygon] entry of a built-in look, built in one buffer (a pattern has
// 32 rows): the code's look in the table, a solid colour or a fill pattern,
// else the solid `colour` (hex digits without "#").
std::string builtin_polygon_entry(std::string_view code, std::string_view label, std::string_view colour);

// In the new looks, the library codes whose look stands for a table look, in
// the order to try: the code, then the other codes of its row, which share its look.
std::vector<std::string_view> polygon_look_kin(std::string_view code);

}  // namespace tessaro
