#pragma once

#include <string>
#include <vector>

#include "entry.h"

namespace tessaro {

// Gives every entry that would draw the same as another entry of the text a
// variant of its look, so that a style's types tell apart on the map. Entries
// with their own code's library look keep it (codes that share a look by
// design stay alike), and so do the entries an update keeps; of the others,
// the first to draw a look keeps it. A variant stays in its look's family:
// a rule on a difficulty scale (difficulty_of) takes the scale's colour,
// else a line steps in lightness, width and hue, an area takes a fill
// pattern, a point the colour of its icon. look.variant_of names the look varied.
void make_looks_distinct(std::vector<Entry>& entries);

}  // namespace tessaro
