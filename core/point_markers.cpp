#include "point_markers.h"

#include "text_util.h"

namespace tessaro {

namespace {

struct Category {
    std::uint32_t first;  // type ranges by their high byte, e.g. 0x2a for 0x2a00..0x2aff
    std::uint32_t last;
    std::string_view name;
    std::string_view colour;  // as the point library's categories (looks/palette.txt)
};

constexpr Category CATEGORIES[] = {
    {0x2a, 0x2a, "food", "C8553D"},          {0x2b, 0x2b, "lodging", "6A4C93"},
    {0x2c, 0x2c, "attraction", "23819C"},    {0x2d, 0x2d, "entertainment", "C8407C"},
    {0x2e, 0x2e, "shopping", "D9851C"},      {0x2f, 0x2f, "services", "3B6EA8"},
    {0x30, 0x30, "emergency", "D0202A"},     {0x64, 0x64, "manmade", "6B5545"},
    {0x65, 0x65, "water", "2E6FC0"},         {0x66, 0x66, "natural", "4E7A32"},
};
constexpr Category NEUTRAL{0, 0, "neutral", "9A9A9A"};

const Category& category_of(std::uint32_t point_type) {
    if (point_type <= 0xFFFF) {
        const std::uint32_t high = point_type >> 8;
        for (const Category& c : CATEGORIES)
            if (high >= c.first && high <= c.last) return c;
    }
    return NEUTRAL;
}

// A disc of ten pixels with a white rim: "a" the colour, "b" white.
constexpr std::string_view ROWS[] = {"...bbbb...", ".bbaaaabb.", ".baaaaaab.", "baaaaaaaab", "baaaaaaaab",
                                     "baaaaaaaab", "baaaaaaaab", ".baaaaaab.", ".bbaaaabb.", "...bbbb..."};

}  // namespace

std::string_view marker_category(std::uint32_t point_type) {
    return category_of(point_type).name;
}

std::string point_marker(std::string_view code, std::uint32_t point_type, std::string_view label) {
    const Category& c = category_of(point_type);
    std::string e;
    e.reserve(320);
    e.append(code).append(CRLF);
    e.append(";marker=").append(c.name).append(CRLF);
    if (!label.empty()) e.append("String1=0x04,").append(label).append(CRLF);
    e += "Xpm=";
    append_quoted_line(e, "10 10 3 1");
    append_quoted_line(e, ". c none");
    append_quoted_line(e, std::string("a c #") + std::string(c.colour));
    append_quoted_line(e, "b c #FFFFFF");
    for (std::string_view row : ROWS) append_quoted_line(e, row);
    return e;
}

}  // namespace tessaro
