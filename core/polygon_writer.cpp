#include "polygon_writer.h"

#include "draw_order.h"
#include "entry_builder.h"
#include "polygon_looks.h"
#include "text_util.h"

#include <string>
#include <vector>

namespace tessaro {

namespace {

int colour_component(double random) {
    return static_cast<int>(round_half_even(random * 255));
}

// Built in one buffer: entries are many, and a pattern has 32 rows.
std::string builtin_entry(const std::string& code, const std::string& rule_text, std::string colour) {
    std::string e;
    e.reserve(256);
    e.append("[_polygon]").append(CRLF).append("Type=").append(code).append(CRLF);
    int pattern = 0;
    if (const BuiltinPolygonLook* look = builtin_polygon_look(code)) {
        if (look->pattern != 0) pattern = look->pattern;
        else colour = look->colour;
    }
    if (!rule_text.empty()) {
        const std::size_t eq = rule_text.find('=');
        e.append("String1=0x4,").append(cut_label(eq == std::string::npos ? rule_text : rule_text.substr(eq + 1))).append(CRLF);
    }
    e.append("ExtendedLabels=N").append(CRLF).append("CustomColor=No").append(CRLF);
    e += "Xpm=";
    if (pattern == 0) {
        append_quoted_line(e, "0 0 1 0");
        append_quoted_line(e, "0 c #" + colour);
    } else {
        const FillPattern& p = fill_pattern(pattern);
        append_quoted_line(e, "32 32 2 1");
        append_quoted_line(e, p.colour0);
        append_quoted_line(e, p.colour1);
        for (std::string_view row : p.rows) append_quoted_line(e, row);
    }
    return e.append("[end]").append(CRLF);
}

}  // namespace

void write_polygons(Conversion& cv, const std::string& path) {
    cv.random.reseed();
    cv.rules.open(path, RuleReader::Items::PolygonRules);
    // The draw order opens the section but needs every item: the entries wait
    // for it, and of the items only the first with each code is kept for it.
    std::vector<std::string> entries;
    TextSet listed(false);
    bool any_item = false;
    TextSet seen(true);
    while (cv.rules.next_piece()) {
        for (const RuleItem& hit : cv.rules.items()) {
            any_item = true;
            const std::string_view listed_code = draw_order_code(hit);
            if (!listed_code.empty() && listed.insert(listed_code)) cv.rules.keep_item(hit.text());

            const double r = cv.random.next();
            const double g = cv.random.next();
            const double b = cv.random.next();

            // Most items repeat a code already seen: only a new one is built as text.
            const std::string_view token = item_code(hit);
            if (!is_type_code(token) || !seen.insert(token)) continue;
            const std::string code = to_lower(token);

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
            const std::string library_look = cv.library_look(Section::Polygon, code, rule_text);
            if (!library_look.empty()) {
                entries.push_back(std::string("[_polygon]") + CRLF + "Type=" + library_look + CRLF + "[end]" + CRLF);
                continue;
            }
            // The colour is drawn for every item (the sequence must not shift) but
            // rounded and formatted only for the entries that use it.
            const std::string colour = fncol(colour_component(r), colour_component(g), colour_component(b));
            entries.push_back(builtin_entry(code, rule_text, colour));
        }
    }
    cv.close_rules();
    if (!any_item) return;
    cv.rules.use_kept_items();
    write_draw_order(cv);
    for (const std::string& entry : entries) cv.write_entry(Section::Polygon, entry);
}

}  // namespace tessaro
