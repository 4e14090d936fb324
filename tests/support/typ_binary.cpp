#include "support/typ_binary.h"

#include <cstdint>

namespace tessaro::test {
namespace {
std::uint32_t little_endian(std::string_view bytes, std::size_t at, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return value;
}

int index_entries(std::string_view bytes, std::size_t header_field) {
    const std::uint64_t offset = little_endian(bytes, header_field, 4);
    const std::uint32_t element = little_endian(bytes, header_field + 4, 2);
    const std::uint64_t total = little_endian(bytes, header_field + 6, 4);
    if (total == 0) return 0;
    if (element == 0 || total % element != 0 || offset + total > bytes.size()) return -1;
    return static_cast<int>(total / element);
}
}  // namespace

std::ostream& operator<<(std::ostream& out, const TypCounts& counts) {
    return out << counts.points << " points, " << counts.lines << " lines, " << counts.polygons << " polygons";
}

std::optional<TypCounts> count_typ_entries(std::string_view bytes) {
    // The header's length comes first, then the file's name; the polygon array ends the fields read here.
    const std::size_t fields_end = 0x47 + 10;
    if (bytes.size() < fields_end || bytes.substr(2, 10) != "GARMIN TYP") return std::nullopt;
    if (little_endian(bytes, 0, 2) < fields_end) return std::nullopt;
    const TypCounts counts{index_entries(bytes, 0x33), index_entries(bytes, 0x3d), index_entries(bytes, 0x47)};
    if (counts.points < 0 || counts.lines < 0 || counts.polygons < 0) return std::nullopt;
    return counts;
}

std::optional<std::uint16_t> first_typ_key(std::string_view bytes, std::size_t field) {
    if (bytes.size() < field + 10 || index_entries(bytes, field) <= 0) return std::nullopt;
    return static_cast<std::uint16_t>(little_endian(bytes, little_endian(bytes, field, 4), 2));
}
}  // namespace tessaro::test
