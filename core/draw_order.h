#pragma once

#include "conversion.h"

namespace tessaro {

// Appends the [_drawOrder] section for the polygon codes of the working list,
// each once, in their own letter case, all on level 1.
void draworder(Conversion& cv);

}  // namespace tessaro
