#include "point_writer.h"

#include "entry_builder.h"
#include "text_util.h"

namespace tessaro {

void write_points(Conversion& cv, const std::string& path) {
    cv.read_rules(path, false);
    cv.rules.scan_rules();
    if (cv.rules.working_list().empty()) return;

    CaselessSet seen;
    for (const std::string_view raw : cv.rules.working_list()) {
        // Items hold no tabs (stripping made them blanks). The code is
        // lower-cased only when it is new: most items repeat one already seen.
        const std::string_view item = trim_blanks(raw);
        const std::size_t blank = item.find(' ');
        if (blank == std::string::npos) continue;
        std::string_view token = item.substr(0, blank);
        const std::size_t ox = find_ci(token, "0x");
        if (ox != std::string_view::npos) token.remove_prefix(ox);
        token = cut_code(token);
        if (!is_type_code(token)) continue;
        if (seen.find(token) != seen.end()) continue;
        const std::string& code = *seen.insert(to_lower(token)).first;

        std::string_view label = trim_blanks(item.substr(blank + 1));
        const std::size_t at = label.find('@');
        if (at != std::string_view::npos) label = label.substr(at + 1);
        const std::string entry = cv.library_look(Section::Point, code, label);
        if (entry.empty()) continue;
        cv.write_entry(Section::Point, std::string("[_point]") + CRLF + "Type=" + entry + CRLF + "[end]" + CRLF);
    }
}

}  // namespace tessaro
