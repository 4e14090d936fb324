#include "line_entries.h"

#include "text_util.h"

namespace tessaro {

namespace {

// A built-in line look. A row with a pattern writes no widths and no colours: the pattern brings its own.
struct LineLookRow {
    std::array<std::string_view, 4> codes;  // unused places empty
    int width;
    int border;
    std::string_view colour1;
    std::string_view colour2;      // empty: one colour
    const LinePattern* pattern;  // none: widths and colours
};

// The whole look of a motorway, whatever its code.
constexpr LineLookRow MOTORWAY{{}, 5, 1, "1CA9DE", "0000A0", nullptr};

// clang-format off
// The given rows of pattern 11 are 31 pixels; a transparent "1" completes each to 32.
constexpr LinePattern PATTERN_10{"32 2 2 1", "0 c #000000", "1 c none", {
    "00011111000111110001111100011111",
    "00011111000111110001111100011111"}};
constexpr LinePattern PATTERN_11{"32 3 2 1", "0 c #804000", "1 c none", {
    "0001111100000000001111100011111" "1",
    "0001111100011111000111110000000" "1",
    "0001111100000000001111100011111" "1"}};
constexpr LinePattern PATTERN_14{"32 5 2 1", "0 c #000000", "1 c #FFFFFF", {
    "00000000000000000000000000000000",
    "00000000000000000000000000000000",
    "00000011111110000000001111111000",
    "00000000000000000000000000000000",
    "00000000000000000000000000000000"}};
constexpr LinePattern PATTERN_16{"32 2 2 1", "0 c #269329", "1 c none", {
    "00011111000111110001111100011111",
    "00011111000111110001111100011111"}};
constexpr LinePattern PATTERN_17{"32 3 2 1", "0 c #0000ff", "1 c none", {
    "00000111111111110000011111111110",
    "00000111111111110000011111111110",
    "00000111111111110000011111111110"}};

constexpr LineLookRow LINE_LOOKS[] = {
    // codes                               width border colour1   colour2   pattern
    {{"0x01"},                              5, 1, "1CA9DE", "0000A0", nullptr},
    {{"0x02"},                              4, 1, "11A868", "",       nullptr},
    {{"0x03"},                              4, 1, "C4136E", "",       nullptr},
    {{"0x04"},                              4, 1, "ECC508", "",       nullptr},
    {{"0x05"},                              3, 1, "FFFF00", "",       nullptr},
    {{"0x06"},                              3, 1, "FFFFFF", "",       nullptr},
    {{"0x07"},                              2, 1, "a0a0a0", "",       nullptr},
    {{"0x0a", "0x0e"},                      0, 0, "",       "",       &PATTERN_10},
    {{"0x0f"},                              0, 0, "",       "",       &PATTERN_11},
    {{"0x16"},                              0, 0, "",       "",       &PATTERN_16},
    {{"0x10", "0x0d"},                      0, 0, "",       "",       &PATTERN_17},
    {{"0x20"},                              1, 0, "FF8040", "",       nullptr},
    {{"0x21"},                              1, 0, "FFBD9D", "",       nullptr},
    {{"0x22", "0x23", "0x24", "0x25"},      2, 0, "FFBD9D", "",       nullptr},
    {{"0x27"},                             14, 0, "0c0c0c", "",       nullptr},
    {{"0x18"},                              4, 0, "B7F7FF", "",       nullptr},
    {{"0x26", "0x1f"},                      8, 1, "B7F7FF", "",       nullptr},
    {{"0x14"},                              0, 0, "",       "",       &PATTERN_14},
};
// clang-format on

// The first row listing the (lower-case) code, or nullptr.
const LineLookRow* line_look(std::string_view code) {
    for (const LineLookRow& row : LINE_LOOKS)
        for (std::string_view c : row.codes)
            if (!c.empty() && c == code) return &row;
    return nullptr;
}

// The text of a built-in entry's label: the condition's value after its first "=".
std::string_view line_label(std::string_view rule_text) {
    std::string_view label = trim_blanks(rule_text);
    label = label.substr(label.find('@') + 1);  // npos + 1: from the start
    return label.substr(label.find('=') + 1);
}

// Built in one buffer: entries are many, their pieces short.
std::string builtin_entry(const std::string& token, const LineLookRow& look, const std::string& label) {
    std::string e;
    e.reserve(256);
    e.append("[_line]").append(CRLF).append("Type=").append(token).append(CRLF);
    if (look.pattern == nullptr) {
        e.append("LineWidth=").append(std::to_string(look.width)).append(CRLF);
        e.append("BorderWidth=").append(std::to_string(look.border)).append(CRLF);
    }
    e.append("UseOrientation=N").append(CRLF);
    if (!label.empty()) e.append("String1=0x4,").append(label).append(CRLF);
    e.append("ExtendedLabels=N").append(CRLF).append("CustomColor=No").append(CRLF);
    e += "Xpm=";
    if (look.pattern == nullptr) {
        append_quoted_line(e, look.colour2.empty() ? "0 0 1 0" : "0 0 2 0");
        append_quoted_line(e, std::string("0 c #").append(look.colour1));
        if (!look.colour2.empty()) append_quoted_line(e, std::string("0 c #").append(look.colour2));
    } else {
        append_quoted_line(e, look.pattern->header);
        append_quoted_line(e, look.pattern->colour0);
        append_quoted_line(e, look.pattern->colour1);
        for (std::string_view row : look.pattern->rows)
            if (!row.empty()) append_quoted_line(e, row);
    }
    return e.append("[end]").append(CRLF);
}

// The classic random line colour: G = r1 * 100 + 123 and B = r2 * 45 + 160 (halves to even), written as BBGGA0.
std::string line_colour(double r1, double r2) {
    const auto g = static_cast<std::uint32_t>(round_half_even(r1 * 100 + 123));
    const auto b = static_cast<std::uint32_t>(round_half_even(r2 * 45 + 160));
    return hex_rgb(b << 16 | g << 8 | 160);
}

}  // namespace

std::vector<std::string_view> line_look_kin(std::string_view code, bool motorway, bool link) {
    if (motorway) return {link ? "0x09" : "0x01"};
    std::vector<std::string_view> kin{code};
    if (const LineLookRow* row = line_look(code))
        for (std::string_view c : row->codes)
            if (!c.empty() && c != code) kin.push_back(c);
    return kin;
}

void add_line_entries(Conversion& cv, const std::string& path) {
    cv.random.reseed();
    cv.open_rules(path);
    // Two numbers an item, formatted only for the built-in entries that use them.
    ItemDraws<2> draws(cv.random);
    for (const RuleItem& hit : cv.rules.items()) {
        // Most items repeat a type already written: only a new one is built as text.
        if (!cv.new_type(Section::Line, hit, path)) {
            draws.pass();
            continue;
        }
        const auto [r1, r2] = draws.take();
        const std::string token = typ_code(hit.code, *hit.value);

        const std::string item = hit.text();
        const std::string_view rule_text = std::string_view(item).substr(item.find('@') + 1);
        EntryLook source = cv.entry_look(hit);
        // A library look: the code's own, else that of its table row or of its tags.
        std::optional<std::string> found;
        // Else width 2 in a random colour, unless the table or a motorway give a look.
        LineLookRow look{{}, 2, 0, {}, {}, nullptr};
        if (std::string chosen = cv.code_look(Section::Line, token, hit, rule_text, source); !chosen.empty()) {
            found = std::move(chosen);
        } else {
            const bool motorway = find_ci(item, "motorway") != std::string_view::npos;
            const LineLookRow* row = line_look(token);
            if (row != nullptr) look = *row;
            // A pattern of the code's row stays.
            if (motorway) look = {{}, MOTORWAY.width, MOTORWAY.border, MOTORWAY.colour1, MOTORWAY.colour2, look.pattern};
            source.source = row != nullptr || motorway ? LookSource::Table : LookSource::Random;
            if (source.source == LookSource::Random) {
                found = cv.look_by_tags(Section::Line, token, hit, rule_text, source);
            } else if (!cv.classic_looks) {
                const bool link = find_ci(item, "link") != std::string_view::npos;
                found = cv.table_kin_look(Section::Line, token, rule_text, line_look_kin(token, motorway, link), source);
            }
        }
        if (found) {
            cv.add_entry(Section::Line, entry_text(Section::Line, *found), std::move(source));
            continue;
        }
        std::string random_colour;
        if (source.source == LookSource::Random) {
            // A colour of the key's family where the key is known; chance only where it is not.
            const std::optional<FamilyLook> family =
                cv.classic_looks ? std::nullopt : family_look(Section::Line, hit.before, r1, r2);
            if (family) {
                source.source = LookSource::Family;
                random_colour = family->colour;
                if (family->pattern != nullptr) look.pattern = family->pattern;
            } else {
                random_colour = cv.classic_looks ? line_colour(r1, r2) : cv.calm_colours.line(r1, r2);
            }
            look.colour1 = random_colour;
        }
        const std::string label = cv.rule_text_label(Section::Line, token, line_label(rule_text), hit.before);
        cv.add_entry(Section::Line, builtin_entry(token, look, label), std::move(source));
    }
    cv.close_rules();
}

}  // namespace tessaro
