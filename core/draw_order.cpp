#include "draw_order.h"

#include <unordered_set>

#include "rule_reader.h"
#include "text_util.h"

namespace tessaro {

namespace {

bool all_hex(std::string_view s) {
    for (char c : s)
        if (!is_hex_digit(c)) return false;
    return !s.empty();
}

}  // namespace

void write_draw_order(Conversion& cv) {
    std::string section = std::string("[_drawOrder]") + CRLF;
    // Codes are views into the working list, which outlives the loop; items
    // hold no tabs (stripping made them blanks).
    std::unordered_set<std::string_view> seen;
    for (const std::string_view item : cv.rules.working_list()) {
        const std::size_t x = find_ci(item, "x");
        if (x == std::string::npos) continue;
        const std::string_view rest = item.substr(x + 1);
        const std::size_t blank = rest.find(' ');
        if (blank == std::string_view::npos) continue;
        const std::string_view code = cut_code(rest.substr(0, blank));
        // Anything but hex digits here would make the TYP text unreadable.
        if (!all_hex(code)) continue;
        if (!seen.insert(code).second) continue;
        section += "Type=0X" + std::string(code) + ",1" + CRLF;
    }
    section += std::string("[End]") + CRLF;
    cv.out.append(section);
}

}  // namespace tessaro
