#pragma once

#include <string>

#include "conversion.h"

namespace tessaro {

// lines: appends one [_line] entry per distinct line type of the rule file: the line
// library's look, else a built-in look chosen by the code (widths, colours or
// a dash pattern), else width 2 in a random colour.
void write_lines(Conversion& cv, const std::string& path);

// The random line colour: two draws, G = r1 * 100 + 123 and B = r2 * 45 + 160
// (halves to even), written as BBGGA0.
std::string random_line_colour(RandomSource& random);

}  // namespace tessaro
