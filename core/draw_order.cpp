#include "draw_order.h"

#include <unordered_set>

#include "rule_reader.h"
#include "text_util.h"

namespace tessaro {

void write_draw_order(Conversion& cv) {
    std::string section = std::string("[_drawOrder]") + CRLF;
    // Codes are views into the working list, which outlives the loop; items
    // hold no tabs (stripping made them blanks).
    std::unordered_set<std::string_view> seen;
    for (const std::string_view item : cv.rules.working_list()) {
        // Anything but hex digits here would make the TYP text unreadable.
        const std::string_view code = draw_order_code(item);
        if (code.empty() || !seen.insert(code).second) continue;
        section += "Type=0X" + std::string(code) + ",1" + CRLF;
    }
    section += std::string("[End]") + CRLF;
    cv.out.append(section);
}

}  // namespace tessaro
