#include "line_entries.h"

#include "entry_builder.h"
#include "key_families.h"
#include "line_looks.h"
#include "text_util.h"

namespace tessaro {

namespace {

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

// The classic random line colour: G = r1 * 100 + 123 and B = r2 * 45 + 160
// (halves to even), written as BBGGA0.
std::string line_colour(double r1, double r2) {
    const auto g = static_cast<std::uint32_t>(round_half_even(r1 * 100 + 123));
    const auto b = static_cast<std::uint32_t>(round_half_even(r2 * 45 + 160));
    return hex_rgb(b << 16 | g << 8 | 160);
}

}  // namespace

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
            if (motorway) look = {{}, MOTORWAY_WIDTH, MOTORWAY_BORDER, MOTORWAY_COLOUR1, MOTORWAY_COLOUR2, look.pattern};
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
