#pragma once

#include <string>

#include "conversion.h"

namespace tessaro {

// Adds one [_point] entry per distinct point type of the rule file
// whose look the point library holds; types it lacks get no entry.
void add_point_entries(Conversion& cv, const std::string& path);

}  // namespace tessaro
