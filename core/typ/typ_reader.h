#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "section.h"

namespace tessaro {

struct XpmColour {
    std::string key;     // the pixel characters ("" when the image has no pixels)
    std::string colour;  // "#RRGGBB" (or longer) or "none"
};

// An XPM image as a TYP text holds it: "w h colours chars-per-pixel", then
// the colour lines, then h rows of w pixels.
struct XpmImage {
    int width = 0;
    int height = 0;
    int colour_count = 0;
    int chars_per_pixel = 0;
    std::vector<XpmColour> colours;
    std::vector<std::string> rows;
    bool present = false;
};

// One String= of an entry: its language number (0 when none is written) and
// its text decoded to UTF-8 from the charset the file is read in.
struct TypLabel {
    int language = 0;
    std::string text;
    std::size_t line = 0;  // 1-based
};

struct TypEntry {
    Section section = Section::Point;
    std::size_t first_line = 0;  // 1-based, the section tag line; lines end at CR LF, a lone CR or a lone LF
    std::size_t last_line = 0;   // its "[end]"
    std::string type;            // as written, e.g. "0x02f0b"
    std::string subtype;         // a SubType= value as written; empty when none
    std::string label;           // UTF-8: the English string (0x04) when there is one, else the first
    std::vector<TypLabel> labels;  // every String=, String1=, String2=, ... in file order
    std::string name;            // from a comment line, as the library files name their looks; may be empty
    int line_width = -1;         // -1: not given
    int border_width = -1;
    XpmImage xpm;
    XpmImage night_xpm;          // a point's NightXpm
    int draw_level = 0;          // a polygon's level in the draw order; 0 when the draw order leaves it out
    std::string font_style;      // FontStyle= in lower case ("nolabel", "smallfont", ...); empty when none
    std::string day_label_colour;    // DayCustomColor= as "#RRGGBB" (or with alpha); empty when none
    std::string night_label_colour;  // NightCustomColor=
    std::string text;            // the entry's lines, LF-separated, as written
};

// An error makes mkgmap refuse the text; mkgmap takes a text with warnings
// but loses or draws differently what they point at.
enum class Severity { Error, Warning };

struct TypProblem {
    std::size_t line = 0;  // 1-based
    std::string message;
    Severity severity = Severity::Error;
};

struct TypDocument {
    std::vector<TypEntry> entries;        // points, lines and polygons in file order
    std::vector<std::string> draw_order;  // the codes of every [_drawOrder] block
    std::vector<std::size_t> draw_order_lines;  // the line of each of those codes
    std::vector<std::size_t> draw_order_tags;   // the "[_drawOrder]" line of each block
    std::vector<TypProblem> problems;     // in line order
    int code_page = 0;            // the CodePage= of [_id]; 0 when there is none
    std::string charset;          // what mkgmap decodes the file's bytes in: "UTF-8", "cp1251", "UTF-16LE", ...
};

// The code page mkgmap writes the labels in when the command line names none:
// the text's own, else 1252.
inline int label_code_page(const TypDocument& doc) { return doc.code_page > 0 ? doc.code_page : 1252; }

// Reads a TYP text as mkgmap's compiler does and finds what it refuses (errors)
// or takes with losses (warnings). A text without any entry is an error.
TypDocument read_typ_text(std::string_view text);

bool has_error(const TypDocument& doc);

// The type a Type= value stands for, read as typ_type reads it, a SubType=
// value taking the place of its low byte as mkgmap's compiler has it
// (Type=0x2f with SubType=0x0b is 0x2f0b); nothing when either is no number.
std::optional<std::uint32_t> typ_value_type(std::string_view type, std::string_view subtype = {});
inline std::optional<std::uint32_t> entry_type(const TypEntry& entry) {
    return typ_value_type(entry.type, entry.subtype);
}

}  // namespace tessaro
