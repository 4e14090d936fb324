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

// The end of every marker's picture, quoted lines: "b" is white, and the rows
// are a disc of ten pixels with a white rim ("a", the category's colour).
constexpr std::string_view PICTURE_ROWS =
    "\"b c #FFFFFF\"\r\n"
    "\"...bbbb...\"\r\n\".bbaaaabb.\"\r\n\".baaaaaab.\"\r\n\"baaaaaaaab\"\r\n\"baaaaaaaab\"\r\n"
    "\"baaaaaaaab\"\r\n\"baaaaaaaab\"\r\n\".baaaaaab.\"\r\n\".bbaaaabb.\"\r\n\"...bbbb...\"\r\n";

}  // namespace

std::string point_marker(std::string_view code, std::uint32_t point_type, std::string_view label) {
    const Category& c = category_of(point_type);
    std::string e;
    e.reserve(320);
    e.append(code).append(CRLF);
    e.append(";marker=").append(c.name).append(CRLF);
    if (!label.empty()) e.append("String1=0x04,").append(label).append(CRLF);
    // The picture is the same for every marker but its colour: a few appends.
    e.append("Xpm=\"10 10 3 1\"\r\n\". c none\"\r\n\"a c #").append(c.colour).append("\"\r\n");
    e.append(PICTURE_ROWS);
    return e;
}

}  // namespace tessaro
