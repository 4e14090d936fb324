#include "point_writer.h"

#include "entry_builder.h"
#include "text_util.h"

namespace tessaro {

void write_points(Conversion& cv, const std::string& path) {
    cv.rules.open(path);
    while (cv.rules.next_piece()) {
        for (const RuleItem& hit : cv.rules.items()) {
            // Most items repeat a type already written: only a new one is built as text.
            const std::optional<std::string_view> token = cv.new_type(Section::Point, hit, path);
            if (!token) continue;
            const std::string code = to_lower(*token);

            // The label follows the code's word, from the item's "@" on.
            const std::string text = hit.text();
            const std::string_view item = trim_blanks(text);
            std::string_view label = trim_blanks(item.substr(item.find(' ') + 1));
            const std::size_t at = label.find('@');
            if (at != std::string_view::npos) label = label.substr(at + 1);
            const std::string entry = cv.library_look(Section::Point, code, label);
            if (entry.empty()) continue;
            cv.write_entry(Section::Point, std::string("[_point]") + CRLF + "Type=" + entry + CRLF + "[end]" + CRLF);
        }
    }
    cv.close_rules();
}

}  // namespace tessaro
