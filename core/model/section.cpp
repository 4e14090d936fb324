#include "section.h"

namespace tessaro {

const char* section_name(Section s) {
    switch (s) {
        case Section::Point: return "point";
        case Section::Line: return "line";
        case Section::Polygon: return "polygon";
    }
    return "";
}

const char* rule_file_name(Section s) {
    switch (s) {
        case Section::Point: return "points";
        case Section::Line: return "lines";
        case Section::Polygon: return "polygons";
    }
    return "";
}

char kind_letter(Section s) {
    switch (s) {
        case Section::Point: return 'p';
        case Section::Line: return 'l';
        case Section::Polygon: return 'g';
    }
    return '?';
}

}  // namespace tessaro
