#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "conversion.h"

namespace tessaro {

// The new looks' stand-in for a built-in table look: the library look of the
// first of `kin` (line_look_kin, polygon_look_kin) that the library has, with
// the rule's own code, so that a table code the library does not cover still
// draws in the library's palette. `look` then names that library look.
// Nothing when the library has none of them: the table look stays.
std::optional<std::string> table_kin_look(Conversion& cv, Section section, std::string_view code,
                                          std::string_view rule_text, const std::vector<std::string_view>& kin,
                                          EntryLook& look);

}  // namespace tessaro
