#include "point_writer.h"

#include <unordered_set>

#include "entry_builder.h"
#include "text_util.h"

namespace tessaro {

void pois(Conversion& cv, const std::string& path) {
    if (!cv.state.points_on) return;
    cv.rules.loadbinary(path);
    cv.rules.scan_rules();
    if (cv.rules.working_list().empty()) return;

    std::unordered_set<std::string> seen;
    for (const std::string_view raw : cv.rules.working_list()) {
        const std::string with_blanks = untabbed(raw);
        const std::string_view item = trim_blanks(with_blanks.empty() ? raw : with_blanks);
        const std::size_t blank = item.find(' ');
        if (blank == std::string::npos) continue;
        std::string code = to_lower(item.substr(0, blank));
        const std::size_t ox = code.find("0x");
        if (ox != std::string::npos) code.erase(0, ox);
        code = std::string(cut_code(code));
        if (!is_type_code(code)) continue;

        std::string_view label = trim_blanks(item.substr(blank + 1));
        const std::size_t at = label.find('@');
        if (at != std::string_view::npos) label = label.substr(at + 1);

        if (!seen.insert(code).second) continue;
        const std::string entry = get_code(SECTION_POINT, code, std::string(label), cv.state);
        if (entry.empty()) continue;
        cv.out.append_(std::string("[_point]") + CRLF + "Type=" + entry + CRLF + "[end]" + CRLF);
    }
}

}  // namespace tessaro
