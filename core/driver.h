#pragma once

#include <string>
#include <vector>

#include "conversion.h"

namespace tessaro {

// The conversion driver: the header, then polygons, lines and points of the
// style folder (the order is fixed, whatever the order of the kinds letters).
// Returns false when the header could not replace the old file; nothing is
// written then (cv.out.header_error() says why).
bool get_types(Conversion& cv, const std::string& kinds, std::string& style_folder);

// The Create-TYP warnings about library texts that are empty, in their order.
std::vector<std::string> missing_library_messages(const AppState& state);

}  // namespace tessaro
