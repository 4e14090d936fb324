#include "library_generator.h"

#include <algorithm>
#include <map>
#include <set>
#include <vector>

#include "colour.h"
#include "entry_builder.h"
#include "look_text.h"

namespace tessaro {

namespace {

constexpr const char* CRLF = "\r\n";
constexpr int ICON_SIZE = 16;  // the largest point icon
constexpr int PATTERN_WIDTH = 32;

using detail::attach_tags;
using detail::fail;
using detail::is_row;
using detail::name_from;
using detail::Palette;
using detail::read_blocks;
using detail::read_source;
using detail::Rows;
using detail::SourceLine;

// "0x2f0b" with the section's key form: "0x02f0b". Keys are what the lookup
// searches, so the library and the lookup can never disagree.
std::string library_type(const SourceLine& line, Section section, const std::string& code) {
    if (code.size() < 3 || code.compare(0, 2, "0x") != 0 ||
        code.find_first_not_of("0123456789abcdef", 2) != std::string::npos)
        fail(line.where, "a type code is 0x and lower-case hexadecimal digits: " + code);
    return "0x" + library_key(section, code);
}

std::string quoted(const std::string& s) { return "\"" + s + "\""; }

struct Xpm {
    int width = 0;
    int height = 0;
    std::vector<std::pair<char, std::string>> colours;  // key, colour text
    Rows rows;

    std::string text(const char* header = "Xpm") const {
        std::string out = header + ("=" + quoted(std::to_string(width) + " " + std::to_string(height) + " " +
                                          std::to_string(colours.size()) + (rows.empty() ? " 0" : " 1"))) + CRLF;
        for (const auto& [key, colour] : colours)
            out += quoted(std::string(1, key) + " c " + colour) + CRLF;
        for (const std::string& row : rows) out += quoted(row) + CRLF;
        return out;
    }
};

// ---- night colours ----------------------------------------------------------
//
// Every look has a night variant, made from its day colours by one rule, unless
// its source gives its own ("night" under the look):
//   grounds (areas, pattern backgrounds, line borders) darken: lightness
//     0.06 + 0.28 x day, saturation 0.7 x day;
//   strokes (lines, pattern marks, icon colours) lighten: lightness 0.45 +
//     0.5 x day, saturation as by day;
//   the white of an icon (a bare glyph's halo, a badge's glyph) turns dark grey;
//   label text is black by day and light grey by night.
constexpr const char* NIGHT_ICON_WHITE = "#262626";
constexpr const char* DAY_TEXT = "#000000";
constexpr const char* NIGHT_TEXT = "#E6E6E6";

std::string night_of(const std::string& day, bool stroke) {
    if (day == "none") return day;
    Hsl c = *hsl_of(day);
    if (stroke) {
        c.l = 0.45 + 0.5 * c.l;
    } else {
        c.l = 0.06 + 0.28 * c.l;
        c.s *= 0.7;
    }
    return "#" + hex_of(c);
}

// The comments go right under Type=, tags first: TYP compilers skip comment
// lines, and TagLooks finds the look's code just above them. The name comes
// twice: above the entry for people, under Type= for the conversion to find.
std::string entry(const std::string& name, const char* tag, const std::string& type, const SourceLine& line,
                  const std::string& body, int level = 0) {
    std::string out = ";" + name + CRLF + tag + CRLF + "Type=" + type + CRLF;
    if (!line.tags.empty()) out += ";tags=" + line.tags + CRLF;
    if (level > 0) out += ";level=" + std::to_string(level) + CRLF;
    out += ";name=" + name + CRLF;
    if (!line.night.empty()) out += std::string(";night=own") + CRLF;
    out += std::string("DayCustomColor=") + DAY_TEXT + CRLF + "NightCustomColor=" + NIGHT_TEXT + CRLF;
    return out + body + "[end]" + CRLF + CRLF;
}


// The night colours of a look, one for each of its day colours (a colour and
// whether it is a stroke): its own from its "night" line, else the rule's.
std::vector<std::string> night_colours(const SourceLine& line, const Palette& palette,
                                       const std::vector<std::pair<std::string, bool>>& day) {
    std::vector<std::string> night;
    if (!line.night.empty() && line.night.size() != day.size())
        fail(line.where, "night takes " + std::to_string(day.size()) + " colours for this look");
    for (std::size_t i = 0; i < day.size(); ++i)
        night.push_back(line.night.empty() ? night_of(day[i].first, day[i].second)
                                           : palette.colour(line, line.night[i], day[i].first == "none"));
    return night;
}

// The colours of a line or polygon picture: the day colours, then their night
// ones, keyed from `first` on (the form mkgmap reads as day and night).
void add_day_and_night(Xpm& xpm, const SourceLine& line, const Palette& palette,
                       const std::vector<std::pair<std::string, bool>>& day, char first) {
    std::vector<std::string> colours;
    for (const auto& colour : day) colours.push_back(colour.first);
    for (std::string& colour : night_colours(line, palette, day)) colours.push_back(std::move(colour));
    for (std::size_t i = 0; i < colours.size(); ++i) xpm.colours.push_back({static_cast<char>(first + i), colours[i]});
}

// ---- points ---------------------------------------------------------------

struct Category {
    bool badge = true;  // a rounded square in the colour with the glyph in white;
                        // else the glyph itself in the colour, with a white halo
    std::string colour;
};

// Pixel keys of the icons: transparent, the category colour, white.
constexpr char CLEAR = '.', INK = 'a', WHITE = 'b';

Rows badge_icon(const Rows& glyph) {
    Rows icon(ICON_SIZE, std::string(ICON_SIZE, INK));
    // Round the corners.
    for (int y : {0, ICON_SIZE - 1}) {
        icon[y][0] = icon[y][1] = icon[y][ICON_SIZE - 2] = icon[y][ICON_SIZE - 1] = CLEAR;
    }
    for (int y : {1, ICON_SIZE - 2}) icon[y][0] = icon[y][ICON_SIZE - 1] = CLEAR;
    const std::size_t top = (ICON_SIZE - glyph.size()) / 2, left = (ICON_SIZE - glyph[0].size()) / 2;
    for (std::size_t y = 0; y < glyph.size(); ++y)
        for (std::size_t x = 0; x < glyph[y].size(); ++x)
            if (glyph[y][x] == '#') icon[top + y][left + x] = WHITE;
    return icon;
}

Rows bare_icon(const Rows& glyph) {
    const std::size_t h = glyph.size() + 2, w = glyph[0].size() + 2;
    Rows icon(h, std::string(w, CLEAR));
    for (std::size_t y = 0; y < glyph.size(); ++y)
        for (std::size_t x = 0; x < glyph[y].size(); ++x) {
            if (glyph[y][x] == '+') icon[y + 1][x + 1] = WHITE;
            if (glyph[y][x] != '#') continue;
            // A white halo keeps the glyph readable on any ground.
            for (std::size_t yy = y; yy <= y + 2; ++yy)
                for (std::size_t xx = x; xx <= x + 2; ++xx)
                    if (icon[yy][xx] == CLEAR) icon[yy][xx] = WHITE;
        }
    for (std::size_t y = 0; y < glyph.size(); ++y)
        for (std::size_t x = 0; x < glyph[y].size(); ++x)
            if (glyph[y][x] == '#') icon[y + 1][x + 1] = INK;
    return icon;
}

std::string make_points(const std::vector<SourceLine>& source, const std::map<std::string, Rows>& glyphs,
                        const Palette& palette) {
    const std::vector<SourceLine> lines = attach_tags(source, {"point"});
    std::map<std::string, Category> categories;
    std::set<std::string> types;
    std::string out;
    for (const SourceLine& line : lines) {
        if (line.words.empty()) continue;
        const std::string& kind = line.words[0];
        if (kind == "category") {
            if (line.words.size() != 4 || (line.words[2] != "badge" && line.words[2] != "bare"))
                fail(line.where, "expected: category NAME badge|bare COLOUR");
            categories[line.words[1]] = {line.words[2] == "badge", palette.colour(line, line.words[3])};
        } else if (kind == "point") {
            if (line.words.size() < 5) fail(line.where, "expected: point CODE CATEGORY GLYPH NAME");
            const std::string type = library_type(line, Section::Point, line.words[1]);
            if (!types.insert(type).second) fail(line.where, "second look for " + line.words[1]);
            const auto category = categories.find(line.words[2]);
            if (category == categories.end()) fail(line.where, "unknown category " + line.words[2]);
            const auto glyph = glyphs.find(line.words[3]);
            if (glyph == glyphs.end()) fail(line.where, "unknown glyph " + line.words[3]);
            const Rows& g = glyph->second;
            const int room = category->second.badge ? ICON_SIZE - 4 : ICON_SIZE - 2;
            if (static_cast<int>(g.size()) > room || static_cast<int>(g[0].size()) > room)
                fail(line.where, "glyph " + line.words[3] + " is larger than " + std::to_string(room) + " pixels");
            Xpm xpm;
            xpm.rows = category->second.badge ? badge_icon(g) : bare_icon(g);
            xpm.height = static_cast<int>(xpm.rows.size());
            xpm.width = static_cast<int>(xpm.rows[0].size());
            const std::vector<std::string> night_ink =
                night_colours(line, palette, {{category->second.colour, true}, {"#FFFFFF", false}});
            const std::pair<char, std::string> keys[] = {
                {CLEAR, "none"}, {INK, category->second.colour}, {WHITE, "#FFFFFF"}};
            const std::string night_keys[] = {"none", night_ink[0], line.night.empty() ? NIGHT_ICON_WHITE : night_ink[1]};
            Xpm night = xpm;
            for (std::size_t k = 0; k < 3; ++k)
                if (std::any_of(xpm.rows.begin(), xpm.rows.end(),
                                [&](const std::string& r) { return r.find(keys[k].first) != std::string::npos; })) {
                    xpm.colours.push_back(keys[k]);
                    night.colours.push_back({keys[k].first, night_keys[k]});
                }
            out += entry(name_from(line, 4), "[_point]", type, line, xpm.text() + night.text("NightXpm"));
        } else {
            fail(line.where, "expected category or point, not " + kind);
        }
    }
    return out;
}

// ---- lines and polygons ---------------------------------------------------

// A pattern's rows repeated across (and, for polygons, down) to full size.
Rows tiled(const SourceLine& line, const Rows& tile, int height) {
    if (PATTERN_WIDTH % static_cast<int>(tile[0].size()) != 0 || height % static_cast<int>(tile.size()) != 0)
        fail(line.where, "a pattern's width must divide 32" + std::string(height == PATTERN_WIDTH ? ", and its height too" : ""));
    Rows rows;
    for (int y = 0; y < height; ++y) {
        std::string row;
        while (static_cast<int>(row.size()) < PATTERN_WIDTH) row += tile[static_cast<std::size_t>(y) % tile.size()];
        for (char& c : row) c = c == '#' ? '0' : '1';
        rows.push_back(row);
    }
    return rows;
}

const Rows& pattern_of(const SourceLine& line, const std::map<std::string, Rows>& patterns, const std::string& name) {
    const auto hit = patterns.find(name);
    if (hit == patterns.end()) fail(line.where, "unknown pattern " + name);
    return hit->second;
}

Xpm two_colour_pattern(Rows rows, std::string first, std::string second) {
    Xpm xpm;
    xpm.width = PATTERN_WIDTH;
    xpm.height = static_cast<int>(rows.size());
    xpm.colours = {{'0', first}, {'1', second}};
    xpm.rows = std::move(rows);
    return xpm;
}

int small_number(const SourceLine& line, const std::string& word, int most) {
    if (word.empty() || word.size() > 2 || word.find_first_not_of("0123456789") != std::string::npos ||
        std::stoi(word) > most)
        fail(line.where, "expected a number from 0 to " + std::to_string(most) + ", not " + word);
    return std::stoi(word);
}

// Walks the looks of a lines or polygons source, pattern blocks left out: checks
// each line's kind, its number of words and its type code (one look per code),
// then hands it on with its library type and name.
template <typename Make>
void for_each_look(const std::vector<SourceLine>& lines, Section section, const std::string& solid,
                   std::size_t solid_name_at, const std::string& patterned, std::size_t patterned_name_at, Make make) {
    std::set<std::string> types;
    for (const SourceLine& line : lines) {
        if (line.words.empty() || line.words[0] == "pattern" || is_row(line.text)) continue;
        const std::string& kind = line.words[0];
        if (kind != solid && kind != patterned)
            fail(line.where, "expected pattern, " + solid + " or " + patterned + ", not " + kind);
        const std::size_t name_at = kind == solid ? solid_name_at : patterned_name_at;
        if (line.words.size() <= name_at) fail(line.where, "too few words for " + kind);
        const std::string type = library_type(line, section, line.words[1]);
        if (!types.insert(type).second) fail(line.where, "second look for " + line.words[1]);
        make(line, kind == solid, type, name_from(line, name_at));
    }
}

std::string make_lines(const std::vector<SourceLine>& source, const Palette& palette) {
    const std::vector<SourceLine> lines = attach_tags(source, {"line", "dashed"});
    const std::map<std::string, Rows> patterns = read_blocks(lines, "pattern");
    std::string out;
    for_each_look(lines, Section::Line, "line", 6, "dashed", 5,
                  [&](const SourceLine& line, bool solid, const std::string& type, const std::string& name) {
        std::string body = "UseOrientation=N" + std::string(CRLF);
        Xpm xpm;
        // The day colours, then the night ones: the line (or its marks) a stroke, its border or gaps a ground.
        std::vector<std::pair<std::string, bool>> day;
        if (solid) {
            const int width = small_number(line, line.words[2], 24);
            const int border = small_number(line, line.words[3], 8);
            body += "LineWidth=" + std::to_string(width) + CRLF;
            day.push_back({palette.colour(line, line.words[4]), true});
            if (border > 0) {
                body += "BorderWidth=" + std::to_string(border) + CRLF;
                day.push_back({palette.colour(line, line.words[5]), false});
            } else if (line.words[5] != "-") {
                fail(line.where, "a line without border takes - as its border colour");
            }
        } else {
            const Rows& tile = pattern_of(line, patterns, line.words[2]);
            day = {{palette.colour(line, line.words[3]), true}, {palette.colour(line, line.words[4], true), false}};
            xpm = two_colour_pattern(tiled(line, tile, static_cast<int>(tile.size())), day[0].first, day[1].first);
            xpm.colours.clear();
        }
        add_day_and_night(xpm, line, palette, day, solid ? '1' : '0');
        out += entry(name, "[_line]", type, line, body + xpm.text());
    });
    return out;
}

std::string make_polygons(const std::vector<SourceLine>& source, const Palette& palette) {
    const std::vector<SourceLine> lines = attach_tags(source, {"area", "filled"});
    const std::map<std::string, Rows> patterns = read_blocks(lines, "pattern");
    // The draw-order level of each look: the last "level N" line above it.
    std::map<std::string, int> levels;  // where -> level
    int level = 0;
    std::string out;
    for (const SourceLine& line : lines) {
        if (line.words.empty() || line.words[0] == "pattern" || is_row(line.text)) continue;
        const bool level_line = line.words[0] == "level" || line.words[0] == "level-without-look";
        if (level_line && line.words.size() != 2) fail(line.where, "expected: " + line.words[0] + " N");
        if (line.words[0] == "level") {
            level = small_number(line, line.words[1], 9);
            if (level == 0) fail(line.where, "draw-order levels start at 1");
        } else if (level_line) {
            if (!out.empty()) fail(line.where, "a second level-without-look");
            out = ";level-without-look=" + std::to_string(small_number(line, line.words[1], 9)) + CRLF + CRLF;
        } else if (level == 0) {
            fail(line.where, "a polygon look needs a level line above it");
        } else {
            levels[line.where] = level;
        }
    }
    if (out.empty()) fail("polygons.txt", "level-without-look is missing");
    std::vector<SourceLine> looks;
    for (const SourceLine& line : lines)
        if (line.words.empty() || (line.words[0] != "level" && line.words[0] != "level-without-look")) looks.push_back(line);
    for_each_look(looks, Section::Polygon, "area", 3, "filled", 5,
                  [&](const SourceLine& line, bool solid, const std::string& type, const std::string& name) {
        Xpm xpm;
        // The fill a ground; a pattern's marks strokes on their ground.
        std::vector<std::pair<std::string, bool>> day;
        if (solid) {
            day = {{palette.colour(line, line.words[2]), false}};
        } else {
            day = {{palette.colour(line, line.words[3]), true}, {palette.colour(line, line.words[4]), false}};
            xpm = two_colour_pattern(tiled(line, pattern_of(line, patterns, line.words[2]), PATTERN_WIDTH),
                                     day[0].first, day[1].first);
            xpm.colours.clear();
        }
        add_day_and_night(xpm, line, palette, day, solid ? '1' : '0');
        out += entry(name, "[_polygon]", type, line, xpm.text(), levels.at(line.where));
    });
    return out;
}

}  // namespace

LibraryFiles make_libraries(const std::string& looks_folder) {
    const Palette palette(read_source(looks_folder, "palette.txt"));
    const std::vector<SourceLine> glyph_lines = read_source(looks_folder, "glyphs.txt");
    const std::map<std::string, Rows> glyphs = read_blocks(glyph_lines, "glyph");
    for (const SourceLine& line : glyph_lines)
        if (!line.words.empty() && line.words[0] != "glyph" && !is_row(line.text))
            fail(line.where, "expected glyph NAME or a row of . # +");
    LibraryFiles files;
    files.points = make_points(read_source(looks_folder, "points.txt"), glyphs, palette);
    files.lines = make_lines(read_source(looks_folder, "lines.txt"), palette);
    files.polygons = make_polygons(read_source(looks_folder, "polygons.txt"), palette);
    for (std::string* file : {&files.points, &files.lines, &files.polygons}) file->insert(0, seal_line(*file));
    return files;
}

}  // namespace tessaro
