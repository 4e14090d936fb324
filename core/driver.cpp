#include "driver.h"

#include "line_writer.h"
#include "point_writer.h"
#include "polygon_writer.h"
#include "style_folder.h"

namespace tessaro {

bool get_types(Conversion& cv, const std::string& kinds, std::string& style_folder) {
    cv.shell.hon();
    if (!cv.out.createheader(style_folder)) return false;
    if (kinds.find('g') != std::string::npos) polygons(cv, rule_file_path(style_folder, "polygons"));
    if (kinds.find('l') != std::string::npos) lines(cv, rule_file_path(style_folder, "lines"));
    if (kinds.find('p') != std::string::npos) pois(cv, rule_file_path(style_folder, "points"));
    return true;
}

std::vector<std::string> missing_library_messages(const AppState& state) {
    std::vector<std::string> out;
    if (state.point_library.empty()) out.emplace_back("Cannot find file to parse points");
    if (state.line_library.empty()) out.emplace_back("Cannot find file to parse lines");
    if (state.polygon_library.empty()) out.emplace_back("Cannot find file to parse polygons - see Preferences,Settings");
    return out;
}

}  // namespace tessaro
