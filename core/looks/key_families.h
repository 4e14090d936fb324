#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "line_looks.h"
#include "section.h"

namespace tessaro {

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
