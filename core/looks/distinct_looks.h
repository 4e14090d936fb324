#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "colour.h"
#include "entry.h"

namespace tessaro {

// Gives every entry that would draw the same as another a variant of its look, so that a style's types tell apart on
// the map. Entries with their own code's library look keep it (codes that share a look by design stay alike), and so
// do those an update keeps; of the others, the first to draw a look keeps it. A variant stays in its look's family: a
// difficulty's colour (difficulty_of), else a line's lightness, width and hue, an area's fill pattern, a point's
// colour. look.variant_of names the look varied.
void make_looks_distinct(std::vector<Entry>& entries);

// Where a rule stands on a difficulty scale that map makers tell types apart
// by: the tag as the condition wrote it and its place, 0 the easiest, 1 the hardest.
struct DifficultyStep {
    std::string tag;  // "mtb:scale=3"
    double position = 0;
};
// The first tag of the condition on a known scale (mtb:scale, sac_scale, piste:difficulty, ...).
std::optional<DifficultyStep> difficulty_of(std::string_view condition);

// The colour of a difficulty, for each colour of a look: pistes in their customary
// colours, the other scales from light (easy) to dark (hard) in the look's own hue.
Hsl difficulty_colour(const Hsl& colour, std::string_view tag, double position);

// The entry text with each colour of its pictures ("K c #RRGGBB") replaced
// by `change` of its six hex digits; "none" and the rest stay as they are.
std::string recolour(std::string_view entry, const std::function<std::string(std::string_view)>& change);
// The same by a change of the colour's hue, saturation and lightness.
std::string recolour_hsl(std::string_view entry, const std::function<Hsl(const Hsl&)>& change);

// A line entry with LineWidth= raised by `by` (its text unchanged when it has none).
std::string widened_line(std::string_view entry, int by);

// How many fill patterns patterned_area knows.
inline constexpr int AREA_PATTERNS = 8;
// A plain area (Xpm "0 0 1 0", or "0 0 2 0" with its night colour) drawn with fill
// pattern `pattern`, its pixels `step` lighter (darker on a light area); nothing for a patterned area.
std::optional<std::string> patterned_area(std::string_view entry, int pattern, double step);

}  // namespace tessaro
