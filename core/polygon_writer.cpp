#include "polygon_writer.h"

#include "draw_order.h"
#include "entry_builder.h"
#include "polygon_looks.h"
#include "text_util.h"

namespace tessaro {

namespace {

int colour_component(double random) {
    return static_cast<int>(round_half_even(random * 255));
}

std::string builtin_entry(const std::string& code, const std::string& rule_text, std::string colour) {
    std::string e = std::string("[_polygon]") + CRLF + "Type=" + code + CRLF;
    int pattern = 0;
    if (const BuiltinPolygonLook* look = builtin_polygon_look(code)) {
        if (look->pattern != 0) pattern = look->pattern;
        else colour = look->colour;
    }
    if (!rule_text.empty()) {
        const std::size_t eq = rule_text.find('=');
        e += "String1=0x4," + cut_label(eq == std::string::npos ? rule_text : rule_text.substr(eq + 1)) + CRLF;
    }
    e += std::string("ExtendedLabels=N") + CRLF + "CustomColor=No" + CRLF;
    if (pattern == 0) {
        e += "Xpm=" + quoted("0 0 1 0") + CRLF + quoted("0 c #" + colour) + CRLF;
    } else {
        const FillPattern& p = fill_pattern(pattern);
        e += "Xpm=" + quoted("32 32 2 1") + CRLF + quoted(p.colour0) + CRLF + quoted(p.colour1) + CRLF;
        for (std::string_view row : p.rows) e += quoted(row) + CRLF;
    }
    return e + "[end]" + CRLF;
}

}  // namespace

void write_polygons(Conversion& cv, const std::string& path) {
    cv.random.reseed();
    cv.read_rules(path, true);
    cv.rules.scan_polygon_rules();
    if (cv.rules.working_list().empty()) return;
    write_draw_order(cv);

    CaselessSet seen;
    for (const std::string_view raw : cv.rules.working_list()) {
        const double r = cv.random.next();
        const double g = cv.random.next();
        const double b = cv.random.next();

        // Items hold no tabs: stripping made them blanks.
        const std::string_view item = trim_blanks(raw);
        const std::size_t end = item.find(' ');
        const std::string_view token = cut_code(item.substr(0, end));
        if (!is_type_code(token)) continue;
        if (seen.find(token) != seen.end()) continue;
        const std::string& code = *seen.insert(to_lower(token)).first;

        std::string rule_text;
        if (end != std::string_view::npos) {
            const std::string_view rest = trim_blanks(item.substr(end + 1));
            const std::size_t at = rest.find('@');
            if (at != std::string_view::npos) rule_text = rest.substr(at + 1);
        }
        const std::string library_look = cv.library_look(Section::Polygon, code, rule_text);
        if (!library_look.empty()) {
            cv.write_entry(Section::Polygon, std::string("[_polygon]") + CRLF + "Type=" + library_look + CRLF + "[end]" + CRLF);
            continue;
        }
        // The colour is drawn for every item (the sequence must not shift) but
        // rounded and formatted only for the entries that use it.
        const std::string colour = fncol(colour_component(r), colour_component(g), colour_component(b));
        cv.write_entry(Section::Polygon, builtin_entry(code, rule_text, colour));
    }
}

}  // namespace tessaro
