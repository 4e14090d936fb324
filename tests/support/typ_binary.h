#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string_view>

namespace tessaro::test {
struct TypCounts {
    int points = 0, lines = 0, polygons = 0;
    bool operator==(const TypCounts&) const = default;
};

std::ostream& operator<<(std::ostream& out, const TypCounts& counts);
// From the index arrays the header records at 0x33, 0x3d and 0x47; nothing when they do not fit.
std::optional<TypCounts> count_typ_entries(std::string_view bytes);
// The key of the first type in the index array the header records at `field` (0x33, 0x3d or 0x47); nothing when none fits.
std::optional<std::uint16_t> first_typ_key(std::string_view bytes, std::size_t field);
}  // namespace tessaro::test
