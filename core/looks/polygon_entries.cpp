#include "polygon_entries.h"

#include "draw_order.h"
#include "entry_builder.h"
#include "key_families.h"
#include "polygon_looks.h"
#include "table_kin.h"
#include "text_util.h"

#include <cstdio>
#include <string>

namespace tessaro {

namespace {

int colour_component(double random) {
    return static_cast<int>(round_half_even(random * 255));
}

// Built in one buffer: entries are many, and a pattern has 32 rows.
std::string builtin_entry(const std::string& code, const std::string& label, std::string colour) {
    std::string e;
    e.reserve(256);
    e.append("[_polygon]").append(CRLF).append("Type=").append(code).append(CRLF);
    const BuiltinPolygonLook* look = builtin_polygon_look(code);
    const FillPattern* pattern = look != nullptr ? look->pattern : nullptr;
    if (look != nullptr && pattern == nullptr) colour = look->colour;
    if (!label.empty()) e.append("String1=0x4,").append(label).append(CRLF);
    e.append("ExtendedLabels=N").append(CRLF).append("CustomColor=No").append(CRLF);
    e += "Xpm=";
    if (pattern == nullptr) {
        append_quoted_line(e, "0 0 1 0");
        append_quoted_line(e, "0 c #" + colour);
    } else {
        append_quoted_line(e, "32 32 2 1");
        append_quoted_line(e, pattern->colour0);
        append_quoted_line(e, pattern->colour1);
        for (std::string_view row : pattern->rows) append_quoted_line(e, row);
    }
    return e.append("[end]").append(CRLF);
}

// A polygon type as the draw order names it: the hexadecimal digits as the
// rule wrote them, unless they name the type only as mkgmap reads styles
// (0x4f00 for 0x4f), which the draw order would take for another type, or
// the rule wrote no hexadecimal code.
std::string draw_order_digits(std::string_view code, std::uint32_t value) {
    const std::uint32_t type = section_type(Section::Polygon, value);
    if (type == value && code.size() > 2 && (code[1] | 0x20) == 'x') return std::string(code.substr(2));
    char digits[16];
    std::snprintf(digits, sizeof digits, "%02x", static_cast<unsigned>(type));
    return digits;
}

}  // namespace

void add_polygon_entries(Conversion& cv, const std::string& path) {
    cv.random.reseed();
    cv.open_rules(path);
    // Classic looks draw every type on one level; else each on its look's level.
    const int without_look = cv.classic_looks ? 1 : level_without_look(cv.libraries[Section::Polygon].text());
    const auto level_of = [&](std::string_view entry) {
        return cv.classic_looks ? 1 : look_level(entry).value_or(without_look);
    };
    ItemDraws<3> draws(cv.random);
    for (const RuleItem& hit : cv.rules.items()) {
        // Most items repeat a type already written: only a new one is built as text.
        if (!cv.new_type(Section::Polygon, hit, path)) {
            draws.pass();
            continue;
        }
        const auto [r, g, b] = draws.take();
        const std::string digits = draw_order_digits(hit.code, *hit.value);
        const auto write = [&](std::string entry, EntryLook look, int level) {
            Entry& e = cv.add_entry(Section::Polygon, std::move(entry), std::move(look));
            e.draw_order = digits;
            e.level = level;
        };
        const std::string code = typ_code(hit.code, *hit.value);

        // Items hold no tabs: stripping made them blanks.
        const std::string text = hit.text();
        const std::string_view item = trim_blanks(text);
        const std::size_t end = item.find(' ');
        std::string rule_text;
        if (end != std::string_view::npos) {
            const std::string_view rest = trim_blanks(item.substr(end + 1));
            const std::size_t at = rest.find('@');
            if (at != std::string_view::npos) rule_text = rest.substr(at + 1);
        }
        EntryLook look = cv.entry_look(LookSource::Library, hit);
        const std::string library_look = cv.library_look(Section::Polygon, code, rule_text);
        if (!library_look.empty()) {
            const std::optional<std::string> meant = cv.look_over_code(Section::Polygon, code, hit, rule_text, library_look, look);
            const std::string& chosen = meant ? *meant : library_look;
            write(entry_text(Section::Polygon, chosen), std::move(look), level_of(chosen));
            continue;
        }
        std::optional<FamilyLook> family;
        if (builtin_polygon_look(code) != nullptr) {
            look.source = LookSource::Table;
            std::optional<std::string> in_palette;
            if (!cv.classic_looks)
                in_palette = table_kin_look(cv, Section::Polygon, code, rule_text, polygon_look_kin(code), look);
            if (in_palette) {
                write(entry_text(Section::Polygon, *in_palette), std::move(look), level_of(*in_palette));
                continue;
            }
        } else if (std::optional<std::string> by_tags = cv.look_by_tags(Section::Polygon, code, hit, rule_text, look)) {
            write(entry_text(Section::Polygon, *by_tags), std::move(look), level_of(*by_tags));
            continue;
        } else if (!cv.classic_looks && (family = family_look(Section::Polygon, hit.before, r, g))) {
            // A colour of the key's family where the key is known; chance only where it is not.
            look.source = LookSource::Family;
        } else {
            look.source = LookSource::Random;
        }
        // The colour is drawn for every item (the sequence must not shift) but
        // rounded and formatted only for the entries that use it.
        const std::string colour = family                                                ? family->colour
                                   : cv.classic_looks || look.source != LookSource::Random
                                       ? hex_colour(colour_component(r), colour_component(g), colour_component(b))
                                       : cv.calm_colours.area(r, g, b);
        // The label: the condition's value after its first "=".
        const std::string label =
            rule_text.empty() ? std::string()
                              : cv.rule_text_label(Section::Polygon, code, std::string_view(rule_text).substr(rule_text.find('=') + 1),
                                                   hit.before);
        write(builtin_entry(code, label, colour), std::move(look), without_look);
    }
    cv.close_rules();
}

}  // namespace tessaro
