#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "conversion.h"

namespace tessaro {

// Adds one [_line] entry per distinct line type of the rule file: the line library's look, else a built-in look
// chosen by the code (widths, colours or a dash pattern), else width 2 in a random colour.
void add_line_entries(Conversion& cv, const std::string& path);

// In the new looks, the library codes whose look stands for a table look, in the order to try, so that no table
// colour stands beside the library's own: for a rule that names a motorway, the library's motorway (its slip road for
// a link); else the code, then the other codes of its row.
std::vector<std::string_view> line_look_kin(std::string_view code, bool motorway, bool link);

}  // namespace tessaro
