#pragma once

#include <string>

#include "conversion.h"

namespace tessaro {

// Adds one [_polygon] entry, with its draw-order level, per distinct
// polygon type of the rule file: the polygon library's look, else the
// built-in look of the code, else a solid random colour.
void add_polygon_entries(Conversion& cv, const std::string& path);

}  // namespace tessaro
