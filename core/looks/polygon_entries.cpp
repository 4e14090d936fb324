#include "polygon_entries.h"

#include "text_util.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstddef>
#include <cstdio>

namespace tessaro {

namespace {

// A two-colour 32 x 32 fill pattern: pixel "0" takes the first colour line, "1" the second. Its rows above `top`, and
// after the last one written, are all `ground`: only the picture is written out.
struct FillPattern {
    std::string_view colour0;  // e.g. "0 c #3F3F3F"
    std::string_view colour1;  // e.g. "1 c #BFFF80"
    char ground;
    std::size_t top;
    std::array<const char*, 32> rows;  // from `top` down, 32 characters of "0"/"1" each; unused places null
};

// Patterns 1..8 in order, every row of the picture written out so it can be
// compared line by line with the pattern tables (from row `top` on).
constexpr std::array<FillPattern, 8> FILL_PATTERNS = {
    // Pattern 1, for "0x50".
    FillPattern{"0 c #3F3F3F", "1 c #BFFF80", '1', 4, {{
        "11111110111111111111111111111111",
        "11111110111111111111111111111111",
        "11111100011111111111111111111111",
        "11111010101111111111111111111111",
        "11111110111111111111111111111111",
        "11111100011111111111111111111111",
        "11111010101111111111111111111111",
        "11111110111111111111111111111111",
        "11111100011111111111111111111111",
        "11111010101111111111111111111111",
        "11111110111111111111111111111111",
        "11111111111111111111111111111111",
        "11111111111111111111111111111111",
        "11111111111111111111111111111111",
        "11111111111111111111111111111111",
        "11111111111111111111111111111111",
        "11111111111111111111111011111111",
        "11111111111111111111111011111111",
        "11111111111111111111110001111111",
        "11111111111111111111101010111111",
        "11111111111111111111111011111111",
        "11111111111111111111110001111111",
        "11111111111111111111101010111111",
        "11111111111111111111111011111111",
    }}},
    // Pattern 2, for "0x4f".
    FillPattern{"0 c #A9FF5B", "1 c #4F4F4F", '0', 7, {{
        "00000000000000011100000000000000",
        "00000000000001110111000000000000",
        "00000000000001000001000000000000",
        "00000000000011000001100000000000",
        "00000000000010000000100000000000",
        "00000000000110000000100000000000",
        "00000000000100000000010000000000",
        "00000000000100000000010000000000",
        "00000000000100000000010000000000",
        "00000000000100100010010000000000",
        "00000000000011110101100000000000",
        "00000000000000010100000000000000",
        "00000000000000010100000000000000",
    }}},
    // Pattern 3, for "0x51".
    FillPattern{"0 c #FFFFFF", "1 c #0080C0", '0', 3, {{
        "00000000100000000000000001111100",
        "00000000100000000000000000000000",
        "00000000100000000000000000000000",
        "00000110101000000000000000000000",
        "00000001101000000000000000000000",
        "00000001110000000000000000000000",
        "00001111111100000001111110000000",
        "00000000000000000000000000000000",
        "00000000000000000000000000000000",
        "00000000000000000000000000000000",
        "00000000000000000000000000000000",
        "00000000000000000000000000000000",
        "00000000000000000000000000000000",
        "00000000000111110000000000000000",
        "00000000000000000000000000000000",
        "00000000000000000000000000000000",
        "00000000000000000000000001000000",
        "00000000000000000000000001000000",
        "00000000000000000000000101000000",
        "00000000000000000000000101001000",
        "00000000000000000000000011010000",
        "00000000000000000000000011100000",
        "00011100011111000000011111111000",
    }}},
    // Pattern 4, for "0x1a".
    FillPattern{"0 c #39956A", "1 c #7BFF8B", '1', 5, {{
        "11111110011111111111111111111111",
        "11111110011111111111111111111111",
        "11111000000111111111111111111111",
        "11111110011111111111111111111111",
        "11111110011111111111111111111111",
        "11111110011111111111111111111111",
        "11111110011111111111111111111111",
        "11111111111111111111111111111111",
        "11111111111111111111111111111111",
        "11111111111111111111111111111111",
        "11111111111111111111111111111111",
        "11111111111111111111111111111111",
        "11111111111111111111111111111111",
        "11111111111111111111111111111111",
        "11111111111111111111111111111111",
        "11111111111111111111111111111111",
        "11111111111111111111111001111111",
        "11111111111111111111111001111111",
        "11111111111111111111100000011111",
        "11111111111111111111111001111111",
        "11111111111111111111111001111111",
        "11111111111111111111111001111111",
        "11111111111111111111111001111111",
    }}},
    // Pattern 5, for "0x18".
    FillPattern{"0 c #FFFFFF", "1 c #008000", '0', 0, {{
        "10001000100010001000100010001000",
        "00000000000000000000000000000000",
        "00100010001000100010001000100010",
        "00000000000000000000000000000000",
        "10001000100010001000100010001000",
        "00000000000000000000000000000000",
        "00100010001000100010001000100010",
        "00000000000000000000000000000000",
        "10001000100010001000100010001000",
        "00000000000000110000000000000000",
        "00100010001001110010001000100010",
        "00000000000010010000000000000000",
        "10001000100010011000100010001000",
        "00000000000100010000000000000000",
        "00100010001111110010001000100010",
        "00000000000000010000000000000000",
        "10001000100010011000100010001000",
        "00000000000000010000000000000000",
        "00100010001000110010001000100010",
        "00000000000001111100000000000000",
        "10001000100011111110100010001000",
        "00000000000001111100000000000000",
        "00100010001000100010001000100010",
        "00000000000000000000000000000000",
        "10001000100010001000100010001000",
        "00000000000000000000000000000000",
        "00100010001000100010001000100010",
        "00000000000000000000000000000000",
        "10001000100010001000100010001000",
        "00000000000000000000000000000000",
        "00100010001000100010001000100010",
    }}},
    // Pattern 6, for "0x19".
    FillPattern{"0 c #39956A", "1 c #7BFF8B", '0', 1, {{
        "01101101101101101101101101101101",
        "01101101101101101101101101101101",
        "00000000000000000000000000000000",
        "01101101101101101101101101101101",
        "01101101101101101101101101101101",
        "00000000000000000000000000000000",
        "01101101101101101101101101101101",
        "01101101101101101101101101101101",
        "00000000000000000000000000000000",
        "01101101101101101101101101101101",
        "01101101101101101101101101101101",
        "00000000000000000000000000000000",
        "01101101101101101101101101101101",
        "01101101101101101101101101101101",
        "00000000000000000000000000000000",
        "01101101101101101101101101101101",
        "01101101101101101101101101101101",
        "00000000000000000000000000000000",
        "01101101101101101101101101101101",
        "01101101101101101101101101101101",
        "00000000000000000000000000000000",
        "01101101101101101101101101101101",
        "01101101101101101101101101101101",
        "00000000000000000000000000000000",
        "01101101101101101101101101101101",
        "01101101101101101101101101101101",
        "00000000000000000000000000000000",
        "01101101101101101101101101101101",
        "01101101101101101101101101101101",
        "00000000000000000000000000000000",
        "01101101101101101101101101101101",
    }}},
    // Pattern 7, for "0x0b".
    FillPattern{"0 c #FF8080", "1 c #F0F0D8", '1', 11, {{
        "11111111110001111000111111111111",
        "11111111110001111000111111111111",
        "11111111110001111000111111111111",
        "11111111110000000000111111111111",
        "11111111110000000000111111111111",
        "11111111110000000000111111111111",
        "11111111110001111000111111111111",
        "11111111110001111000111111111111",
        "11111111110001111000111111111111",
        "11111111110001111000111111111111",
    }}},
    // Pattern 8, for "0x05" and "0x06".
    FillPattern{"0 c #EBFE67", "1 c #0000FF", '0', 7, {{
        "00000000000111111110000000000000",
        "00000000000111111111100000000000",
        "00000000000111000111110000000000",
        "00000000000111000001110000000000",
        "00000000000111000001110000000000",
        "00000000000111000001110000000000",
        "00000000000111000001110000000000",
        "00000000000111000011110000000000",
        "00000000000111001111100000000000",
        "00000000000111111111000000000000",
        "00000000000111111100000000000000",
        "00000000000111000000000000000000",
        "00000000000111000000000000000000",
        "00000000000111000000000000000000",
        "00000000000111000000000000000000",
        "00000000000111000000000000000000",
        "00000000000111000000000000000000",
        "00000000000111000000000000000000",
        "00000000000111000000000000000000",
    }}},
};

constexpr bool rows_well_formed() {
    for (const FillPattern& p : FILL_PATTERNS)
        for (std::size_t y = 0; y < 32; ++y) {
            const std::string_view row = p.rows[y] == nullptr ? "" : p.rows[y];
            if (!row.empty() && (p.top + y >= 32 || row.size() != 32 || row.find_first_not_of("01") != row.npos))
                return false;
        }
    return true;
}
static_assert(rows_well_formed(), "every pattern row must be 32 characters of 0 and 1, within the 32 rows");

constexpr const FillPattern* pattern(int number) {
    return &FILL_PATTERNS[static_cast<std::size_t>(number - 1)];
}

constexpr std::string_view ZEROS = "00000000000000000000000000000000";
constexpr std::string_view ONES = "11111111111111111111111111111111";

// A solid colour (hex digits without "#") or a fill pattern.
struct LookRow {
    std::array<std::string_view, 17> keys;  // as many as the longest row; unused slots empty, never matched
    std::string_view colour;                // empty for a pattern row
    const FillPattern* pattern = nullptr;  // none for a colour row
};

// One entry per row of the look table, in its order: the first row listing a code wins.
constexpr LookRow POLYGON_LOOKS[] = {
    {{"0x01", "0x02", "0x03"}, "DDDDDD", nullptr},
    {{"0x05", "0x06"}, "", pattern(8)},
    {{"0x08"}, "DCA3A3", nullptr},
    {{"0x0c"}, "BCA9A9", nullptr},
    {{"0x13"}, "DFD1D6", nullptr},
    {{"0x14", "0x15", "0x16"}, "BFFF80", nullptr},
    {{"0x18"}, "", pattern(5)},
    {{"0x50"}, "", pattern(1)},
    {{"0x4f"}, "", pattern(2)},
    {{"0x1f", "0x1e", "0x17"}, "8AD3AF", nullptr},
    {{"0x0a"}, "FAFD86", nullptr},
    {{"0x0b"}, "", pattern(7)},
    {{"0x1a"}, "", pattern(4)},
    {{"0x51"}, "", pattern(3)},
    {{"0x28", "0x3b", "0x3c", "0x3d", "0x3e", "0x3f", "0x40", "0x41", "0x42",
      "0x43", "0x44", "0x45", "0x46", "0x47", "0x48", "0x49", "0x4c"}, "B7F7FF", nullptr},
    {{"0x0e"}, "CCCCCC", nullptr},
    {{"0x19"}, "", pattern(6)},
    {{"0x4b"}, "FFFFFFFF", nullptr},  // eight digits, kept as listed
};

// The table row for the code, or nullptr when the table does not list it.
const LookRow* row_of(std::string_view code) {
    if (code.empty()) return nullptr;  // the table's empty places name no code
    for (const LookRow& row : POLYGON_LOOKS)
        if (std::find(row.keys.begin(), row.keys.end(), code) != row.keys.end()) return &row;
    return nullptr;
}

// The [_polygon] entry of a built-in look, built in one buffer (a pattern has 32 rows): the code's look in the table,
// a solid colour or a fill pattern, else the solid `colour` (hex digits without "#").
std::string builtin_polygon_entry(std::string_view code, std::string_view label, std::string_view colour) {
    const LookRow* row = row_of(code);
    const FillPattern* pattern = row != nullptr ? row->pattern : nullptr;
    if (row != nullptr && pattern == nullptr) colour = row->colour;
    std::string e;
    e.reserve(256);
    e.append("[_polygon]").append(CRLF).append("Type=").append(code).append(CRLF);
    if (!label.empty()) e.append("String1=0x4,").append(label).append(CRLF);
    e.append("ExtendedLabels=N").append(CRLF).append("CustomColor=No").append(CRLF);
    e += "Xpm=";
    if (pattern == nullptr) {
        append_quoted_line(e, "0 0 1 0");
        append_quoted_line(e, std::string("0 c #").append(colour));
    } else {
        append_quoted_line(e, "32 32 2 1");
        append_quoted_line(e, pattern->colour0);
        append_quoted_line(e, pattern->colour1);
        const std::string_view ground(pattern->ground == '0' ? ZEROS : ONES);
        for (std::size_t y = 0; y < 32; ++y) {
            const char* picture = y < pattern->top ? nullptr : pattern->rows[y - pattern->top];
            append_quoted_line(e, picture == nullptr ? ground : std::string_view(picture));
        }
    }
    return e.append("[end]").append(CRLF);
}

// The number after `key` at the start of a line of `text`: a look's ";level=N".
std::optional<int> keyed_number(std::string_view text, std::string_view key) {
    for (std::size_t at = text.find(key); at != std::string_view::npos; at = text.find(key, at + 1)) {
        if (at != 0 && text[at - 1] != '\n') continue;
        const std::string_view rest = text.substr(at + key.size());
        int level = 0;
        const auto [end, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), level);
        if (ec == std::errc() && level >= 1 && (end == rest.data() + rest.size() || *end == '\r' || *end == '\n'))
            return level;
    }
    return std::nullopt;
}

std::uint32_t colour_component(double random) {
    return static_cast<std::uint32_t>(round_half_even(random * 255));
}

// A polygon type as the draw order names it: the hex digits as the rule wrote them, unless they name the type only as
// mkgmap reads styles (0x4f00 for 0x4f, another type to the draw order) or the rule wrote no hexadecimal code.
std::string draw_order_digits(std::string_view code, std::uint32_t value) {
    const std::uint32_t type = section_type(Section::Polygon, value);
    if (type == value && code.size() > 2 && (code[1] | 0x20) == 'x') return std::string(code.substr(2));
    char digits[16];
    std::snprintf(digits, sizeof digits, "%02x", static_cast<unsigned>(type));
    return digits;
}

}  // namespace

bool has_builtin_polygon_look(std::string_view code) {
    return row_of(code) != nullptr;
}

std::vector<std::string_view> polygon_look_kin(std::string_view code) {
    std::vector<std::string_view> kin{code};
    if (const LookRow* row = row_of(code))
        for (std::string_view c : row->keys)
            if (!c.empty() && c != code) kin.push_back(c);
    return kin;
}

void add_polygon_entries(Conversion& cv, const std::string& path) {
    cv.random.reseed();
    cv.open_rules(path);
    // Classic looks draw every type on one level; else each on its look's level.
    const std::string_view library = cv.libraries[Section::Polygon].text();
    const int without_look = cv.classic_looks ? 1 : keyed_number(library, ";level-without-look=").value_or(LEVEL_WITHOUT_LOOK);
    const auto level_of = [&](std::string_view entry) {
        return cv.classic_looks ? 1 : keyed_number(entry, ";level=").value_or(without_look);
    };
    ItemDraws<3> draws(cv.random);
    for (const RuleItem& hit : cv.rules.items()) {
        // Most items repeat a type already written: only a new one is built as text.
        if (!cv.new_type(Section::Polygon, hit, path)) {
            draws.pass();
            continue;
        }
        const auto [r, g, b] = draws.take();
        const std::string code = typ_code(hit.code, *hit.value);

        // Items hold no tabs: stripping made them blanks.
        const std::string text = hit.text();
        const std::string_view item = trim_blanks(text);
        const std::size_t end = item.find(' ');
        const std::string_view rest = end == std::string_view::npos ? "" : trim_blanks(item.substr(end + 1));
        const std::size_t at = rest.find('@');
        const std::string rule_text(at == std::string_view::npos ? "" : rest.substr(at + 1));
        EntryLook look = cv.entry_look(hit);
        const auto write = [&](std::string entry, int level) {
            Entry& e = cv.add_entry(Section::Polygon, std::move(entry), std::move(look));
            e.draw_order = draw_order_digits(hit.code, *hit.value);
            e.level = level;
        };
        // A library look: the code's own, else that of its table row or of its tags.
        std::optional<std::string> found;
        if (std::string chosen = cv.code_look(Section::Polygon, code, hit, rule_text, look); !chosen.empty()) {
            found = std::move(chosen);
        } else if (has_builtin_polygon_look(code)) {
            look.source = LookSource::Table;
            if (!cv.classic_looks) found = cv.table_kin_look(Section::Polygon, code, rule_text, polygon_look_kin(code), look);
        } else {
            found = cv.look_by_tags(Section::Polygon, code, hit, rule_text, look);
        }
        if (found) {
            write(entry_text(Section::Polygon, *found), level_of(*found));
            continue;
        }
        std::optional<FamilyLook> family;
        if (look.source != LookSource::Table) {
            // A colour of the key's family where the key is known; chance only where it is not.
            if (!cv.classic_looks) family = family_look(Section::Polygon, hit.before, r, g);
            look.source = family ? LookSource::Family : LookSource::Random;
        }
        // The colour is drawn for every item (the sequence must not shift) but
        // rounded and formatted only for the entries that use it.
        const std::string colour = family                                                ? family->colour
                                   : cv.classic_looks || look.source != LookSource::Random
                                       ? hex_rgb(colour_component(r) << 16 | colour_component(g) << 8 | colour_component(b))
                                       : cv.calm_colours.area(r, g, b);
        // The label: the condition's value after its first "=".
        const std::string_view value = std::string_view(rule_text).substr(rule_text.find('=') + 1);
        const std::string label = rule_text.empty() ? "" : cv.rule_text_label(Section::Polygon, code, value, hit.before);
        write(builtin_polygon_entry(code, label, colour), without_look);
    }
    cv.close_rules();
}

}  // namespace tessaro
