#include "section.h"

namespace tessaro {

// Each table in the order of the enum.
const char* section_name(Section s) {
    constexpr const char* NAMES[SECTION_COUNT] = {"point", "line", "polygon"};
    return NAMES[static_cast<std::size_t>(s)];
}

const char* rule_file_name(Section s) {
    constexpr const char* NAMES[SECTION_COUNT] = {"points", "lines", "polygons"};
    return NAMES[static_cast<std::size_t>(s)];
}

char kind_letter(Section s) {
    constexpr char LETTERS[SECTION_COUNT] = {'p', 'l', 'g'};
    return LETTERS[static_cast<std::size_t>(s)];
}

}  // namespace tessaro
