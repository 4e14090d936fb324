#pragma once

#include <string>

#include "conversion.h"

namespace tessaro {

// polygons: appends the [_drawOrder] section and one [_polygon] entry per distinct
// polygon type of the rule file: the polygon library's look, else the
// built-in look of the code, else a solid random colour.
void write_polygons(Conversion& cv, const std::string& path);

}  // namespace tessaro
