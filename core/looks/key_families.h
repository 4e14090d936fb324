#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "section.h"

namespace tessaro {

// A dash pattern: an XPM 32 pixels wide, "0" pixels the first colour.
struct LinePattern {
    std::string_view header;   // e.g. "32 2 2 1"
    std::string_view colour0;  // e.g. "0 c #000000"
    std::string_view colour1;
    std::array<std::string_view, 5> rows;  // unused places empty
};

// The look of a rule whose tags match no look, from the family of its key.
struct FamilyLook {
    std::string colour;                   // six hex digits
    const LinePattern* pattern = nullptr;  // lines: dashes in a colour of their own, else none
};

// The family look of the first key of the condition's tags that has a
// family (natural greens and browns, waterway blues, landuse by its value,
// boundary purple dashes, power greys, building its tone, route and piste by
// kind, ...); the two random numbers pick a colour in the family's range.
// Nothing where no key is known: such a rule keeps its random colour.
std::optional<FamilyLook> family_look(Section section, std::string_view condition, double r1, double r2);

}  // namespace tessaro
