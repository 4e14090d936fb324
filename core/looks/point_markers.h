#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tessaro {

// A marker look for a point type that no library look and no tags answer:
// a round badge in the colour of the category its type's range stands for
// ("food" for 0x2a.., "neutral" for extended types and ranges without one). The entry's text from its code
// on (as a library look is), with a label line when `label` (made by
// make_label) is not empty.
std::string point_marker(std::string_view code, std::uint32_t point_type, std::string_view label);

}  // namespace tessaro
