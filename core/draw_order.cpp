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

void draworder(Conversion& cv) {
    std::string section = std::string("[_drawOrder]") + CRLF;
    std::unordered_set<std::string> seen;
    for (const std::string_view raw : cv.rules.working_list()) {
        const std::string with_blanks = untabbed(raw);
        const std::string_view item = with_blanks.empty() ? raw : with_blanks;
        const std::size_t x = find_ci(item, "x");
        if (x == std::string::npos) continue;
        const std::string_view rest = item.substr(x + 1);
        const std::size_t blank = rest.find(' ');
        if (blank == std::string_view::npos) continue;
        const std::string_view code = cut_code(rest.substr(0, blank));
        // Anything but hex digits here would make the TYP text unreadable.
        if (!all_hex(code)) continue;
        if (!seen.emplace(code).second) continue;
        section += "Type=0X" + std::string(code) + ",1" + CRLF;
    }
    section += std::string("[End]") + CRLF;
    cv.out.append_(section);
}

}  // namespace tessaro
