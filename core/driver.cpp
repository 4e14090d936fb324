#include "driver.h"

#include <algorithm>
#include <filesystem>

#include "file_io.h"
#include "line_writer.h"
#include "point_writer.h"
#include "polygon_writer.h"
#include "style_folder.h"

namespace tessaro {

bool get_types(Conversion& cv, const std::string& kinds, std::string& style_folder) {
    cv.shell.hon();
    if (!cv.out.createheader(style_folder)) return false;
    // The reader's buffers sized once for the largest rule file it will read:
    // grown file by file, each growth would take fresh memory again, and the
    // time to map it.
    std::uintmax_t largest = 0;
    const auto consider = [&](char kind, bool on, const char* name) {
        if (!on || kinds.find(kind) == std::string::npos) return;
        std::error_code ec;
        const std::uintmax_t size = std::filesystem::file_size(to_fs_path(rule_file_path(style_folder, name)), ec);
        if (!ec) largest = std::max(largest, size);
    };
    consider('g', cv.state.polygons_on, "polygons");
    consider('l', cv.state.lines_on, "lines");
    consider('p', cv.state.points_on, "points");
    cv.rules.reserve(static_cast<std::size_t>(largest));
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
