#include "line_writer.h"

#include <cstdio>

#include "entry_builder.h"
#include "line_looks.h"
#include "text_util.h"

namespace tessaro {

namespace {

struct LineLook {
    int width = 2;
    int border = 0;
    std::string colour1;
    std::string colour2;
    int pattern = 0;
};

// The label of a built-in entry: the condition's value after its first "=".
std::string line_label(std::string_view rule_text) {
    std::string_view label = trim_blanks(rule_text);
    const std::size_t at = label.find('@');
    if (at != std::string_view::npos) label = label.substr(at + 1);
    const std::size_t eq = label.find('=');
    if (eq != std::string_view::npos) label = label.substr(eq + 1);
    return cut_label(label);
}

std::string builtin_entry(const std::string& token, const LineLook& look, const std::string& label) {
    std::string e = std::string("[_line]") + CRLF + "Type=" + token + CRLF;
    if (look.pattern == 0) {
        e += "LineWidth=" + std::to_string(look.width) + CRLF;
        e += "BorderWidth=" + std::to_string(look.border) + CRLF;
    }
    e += std::string("UseOrientation=N") + CRLF;
    if (!label.empty()) e += "String1=0x4," + label + CRLF;
    e += std::string("ExtendedLabels=N") + CRLF + "CustomColor=No" + CRLF;
    const LinePattern* pattern = line_pattern(look.pattern);
    if (pattern == nullptr) {
        e += "Xpm=" + quoted(look.colour2.empty() ? "0 0 1 0" : "0 0 2 0") + CRLF;
        e += quoted("0 c #" + look.colour1) + CRLF;
        if (!look.colour2.empty()) e += quoted("0 c #" + look.colour2) + CRLF;
    } else {
        e += "Xpm=" + quoted(pattern->header) + CRLF;
        e += quoted(pattern->colour0) + CRLF + quoted(pattern->colour1) + CRLF;
        for (std::string_view row : pattern->rows)
            if (!row.empty()) e += quoted(row) + CRLF;
    }
    return e + "[end]" + CRLF;
}

std::string line_colour(double r1, double r2) {
    const long g = round_half_even(r1 * 100 + 123);
    const long b = round_half_even(r2 * 45 + 160);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%06lX", static_cast<unsigned long>(b * 65536 + g * 256 + 160));
    return buf;
}

}  // namespace

std::string random_line_colour(RandomSource& random) {
    const double r1 = random.next();
    const double r2 = random.next();
    return line_colour(r1, r2);
}

void write_lines(Conversion& cv, const std::string& path) {
    cv.random.reseed();
    cv.read_rules(path, false);
    cv.rules.scan_rules();
    if (cv.rules.working_list().empty()) return;

    CaselessSet seen;
    for (const std::string_view item : cv.rules.working_list()) {
        // Drawn for every item so that the sequence never shifts; formatted
        // only for the built-in entries that use it.
        const double r1 = cv.random.next();
        const double r2 = cv.random.next();
        // Items hold no tabs: stripping made them blanks.
        const std::string_view trimmed = trim_blanks(item);
        const std::size_t blank = trimmed.find(' ');
        if (blank == std::string_view::npos) continue;
        const std::string_view code = cut_code(trimmed.substr(0, blank));
        if (!is_type_code(code)) continue;
        if (seen.find(code) != seen.end()) continue;
        const std::string& token = *seen.insert(to_lower(code)).first;

        const std::size_t at = item.find('@');
        const std::string_view rule_text = at == std::string_view::npos ? std::string_view() : item.substr(at + 1);
        const std::string library_look = cv.library_look(Section::Line, token, rule_text);
        if (!library_look.empty()) {
            cv.write_entry(Section::Line, std::string("[_line]") + CRLF + "Type=" + library_look + CRLF + "[end]" + CRLF);
            continue;
        }

        LineLook look;
        look.colour1 = line_colour(r1, r2);
        if (const LineLookRow* row = line_look(token)) {
            look.width = row->width;
            look.border = row->border;
            look.colour1 = row->colour1;
            look.colour2 = row->colour2;
            look.pattern = row->pattern;
        }
        if (find_ci(trimmed, "motorway") != std::string_view::npos) {
            look.width = MOTORWAY_WIDTH;
            look.border = MOTORWAY_BORDER;
            look.colour1 = MOTORWAY_COLOUR1;
            look.colour2 = MOTORWAY_COLOUR2;
        }
        cv.write_entry(Section::Line, builtin_entry(token, look, line_label(rule_text)));
    }
}

}  // namespace tessaro
