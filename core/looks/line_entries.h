#pragma once

#include <string>

#include "conversion.h"

namespace tessaro {

// Adds one [_line] entry per distinct line type of the rule file: the line
// library's look, else a built-in look chosen by the code (widths, colours or
// a dash pattern), else width 2 in a random colour.
void add_line_entries(Conversion& cv, const std::string& path);

}  // namespace tessaro
