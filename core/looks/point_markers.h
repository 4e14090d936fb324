#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tessaro {

// The category a point type's range stands for ("food" for 0x2a..,
// "neutral" for extended types and ranges without one).
std::string_view marker_category(std::uint32_t point_type);

// A marker look for a point type that no library look and no tags answer:
// a round badge in its category's colour. The entry's text from its code
// on (as a library look is), with a label line when `label` (made by
// make_label) is not empty.
std::string point_marker(std::string_view code, std::uint32_t point_type, std::string_view label);

}  // namespace tessaro
