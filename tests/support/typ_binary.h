#pragma once

#include <optional>
#include <ostream>
#include <string_view>

namespace tessaro::test {

// How many points, lines and polygons a compiled TYP file holds.
struct TypCounts {
    int points = 0;
    int lines = 0;
    int polygons = 0;
    bool operator==(const TypCounts&) const = default;
};

std::ostream& operator<<(std::ostream& out, const TypCounts& counts);

// Read from the index arrays that the file's header records for points (at
// 0x33), lines (0x3d) and polygons (0x47): each as offset (4 bytes), element
// size (2) and total size (4), little-endian; one element per entry. Nothing
// when the bytes are no TYP file or the arrays do not fit in it.
std::optional<TypCounts> count_typ_entries(std::string_view bytes);

}  // namespace tessaro::test
