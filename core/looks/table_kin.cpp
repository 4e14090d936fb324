#include "table_kin.h"

namespace tessaro {

std::optional<std::string> table_kin_look(Conversion& cv, Section section, std::string_view code,
                                          std::string_view rule_text, const std::vector<std::string_view>& kin,
                                          EntryLook& look) {
    for (std::string_view library_code : kin) {
        const std::string entry = cv.library_look(section, library_code, rule_text, code);
        // The first line holds the library's code: the type's own takes its place.
        const std::size_t first_line_end = entry.find_first_of("\r\n");
        if (first_line_end == std::string::npos) continue;
        look.library_code = library_code;
        return std::string(code) + entry.substr(first_line_end);
    }
    return std::nullopt;
}

}  // namespace tessaro
