#pragma once

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
}  // namespace tessaro::test
