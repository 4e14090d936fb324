#pragma once

#include "conversion.h"

namespace tessaro {

// draworder: appends the [_drawOrder] section for the polygon codes of the working list,
// each once, in their own letter case, all on level 1.
void write_draw_order(Conversion& cv);

}  // namespace tessaro
