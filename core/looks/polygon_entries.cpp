#include "polygon_entries.h"

#include "entry_builder.h"
#include "key_families.h"
#include "polygon_looks.h"
#include "text_util.h"

#include <charconv>
#include <cstdio>
#include <string>

namespace tessaro {

namespace {

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
        std::string rule_text;
        if (end != std::string_view::npos) {
            const std::string_view rest = trim_blanks(item.substr(end + 1));
            const std::size_t at = rest.find('@');
            if (at != std::string_view::npos) rule_text = rest.substr(at + 1);
        }
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
        const std::string label = rule_text.empty() ? std::string() : cv.rule_text_label(Section::Polygon, code, value, hit.before);
        write(builtin_polygon_entry(code, label, colour), without_look);
    }
    cv.close_rules();
}

}  // namespace tessaro
