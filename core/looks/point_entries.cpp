#include "point_entries.h"

#include "text_util.h"

namespace tessaro {

namespace {

struct Category {
    std::uint32_t high;  // the high byte of its types, e.g. 0x2a for 0x2a00..0x2aff
    std::string_view name;
    std::string_view colour;  // as the point library's categories (looks/palette.txt)
};

constexpr Category CATEGORIES[] = {
    {0x2a, "food", "C8553D"},       {0x2b, "lodging", "6A4C93"},   {0x2c, "attraction", "23819C"},
    {0x2d, "entertainment", "C8407C"}, {0x2e, "shopping", "D9851C"}, {0x2f, "services", "3B6EA8"},
    {0x30, "emergency", "D0202A"},  {0x64, "manmade", "6B5545"},   {0x65, "water", "2E6FC0"},
    {0x66, "natural", "4E7A32"},
};
constexpr Category NEUTRAL{0, "neutral", "9A9A9A"};  // extended types and ranges without a category

const Category& category_of(std::uint32_t point_type) {
    if (point_type <= 0xFFFF)
        for (const Category& c : CATEGORIES)
            if (point_type >> 8 == c.high) return c;
    return NEUTRAL;
}

// The end of every marker's picture, quoted lines: "b" is white, and the rows
// are a disc of ten pixels with a white rim ("a", the category's colour).
constexpr std::string_view PICTURE_ROWS =
    "\"b c #FFFFFF\"\r\n"
    "\"...bbbb...\"\r\n\".bbaaaabb.\"\r\n\".baaaaaab.\"\r\n\"baaaaaaaab\"\r\n\"baaaaaaaab\"\r\n"
    "\"baaaaaaaab\"\r\n\"baaaaaaaab\"\r\n\".baaaaaab.\"\r\n\".bbaaaabb.\"\r\n\"...bbbb...\"\r\n";

// A marker look for a point type no library look or tags answer: a round badge in its type range's category
// colour, the entry's text from its code on (as a library look is), labelled when `label` is not empty.
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

}  // namespace

void add_point_entries(Conversion& cv, const std::string& path) {
    cv.open_rules(path);
    for (const RuleItem& hit : cv.rules.items()) {
        // Most items repeat a type already written: only a new one is built as text.
        if (!cv.new_type(Section::Point, hit, path)) continue;
        const std::string code = typ_code(hit.code, *hit.value);

        // The label follows the code's word, from the item's "@" on.
        const std::string text = hit.text();
        const std::string_view item = trim_blanks(text);
        std::string_view label = trim_blanks(item.substr(item.find(' ') + 1));
        label = label.substr(label.find('@') + 1);
        // The library's look of the code (unless the rule means another), else the look its tags point to, else its category's marker.
        EntryLook look = cv.entry_look(hit);
        std::string entry = cv.code_look(Section::Point, code, hit, label, look);
        if (entry.empty()) {
            if (std::optional<std::string> by_tags = cv.look_by_tags(Section::Point, code, hit, label, look)) {
                entry = std::move(*by_tags);
            } else if (cv.classic_looks) {
                continue;
            } else {
                look.source = LookSource::Marker;
                const std::uint32_t type = section_type(Section::Point, *hit.value);
                entry = point_marker(code, type, cv.include_tag_text ? cv.label(Section::Point, code, label) : std::string());
            }
        }
        cv.add_entry(Section::Point, entry_text(Section::Point, entry), std::move(look));
    }
    cv.close_rules();
}

}  // namespace tessaro
