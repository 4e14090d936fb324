#include "draw_order.h"

#include "text_util.h"

namespace tessaro {

void write_draw_order(Conversion& cv, const std::vector<std::string>& codes) {
    std::string section = std::string("[_drawOrder]") + CRLF;
    for (const std::string& code : codes) section.append("Type=0X").append(code).append(",1").append(CRLF);
    section.append("[End]").append(CRLF);
    cv.out.append(section);
}

}  // namespace tessaro
