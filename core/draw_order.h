#pragma once

#include <string>
#include <vector>

#include "conversion.h"

namespace tessaro {

// draworder: appends the [_drawOrder] section for polygon types, each given by
// the hexadecimal digits of its code as the rule wrote them, all on level 1.
void write_draw_order(Conversion& cv, const std::vector<std::string>& codes);

}  // namespace tessaro
