#include "include_files.h"

#include <algorithm>

#include "file_io.h"
#include "line_writer.h"
#include "point_writer.h"
#include "polygon_writer.h"
#include "style_folder.h"
#include "text_util.h"

namespace tessaro {

void IncludeFiles::clear() {
    found.clear();
    for (auto& g : groups) g.clear();
}

bool IncludeFiles::groups_empty() const {
    return std::all_of(groups.begin(), groups.end(), [](const auto& g) { return g.empty(); });
}

std::string include_folder(const std::string& style_folder) {
    return join_path(style_folder, "inc");
}

std::vector<std::string> list_include_folder(const std::string& folder) {
    std::vector<std::string> names;
    for (std::string& name : list_files(folder))
        if (name[0] != '.' && is_regular_file(join_path(folder, name))) names.push_back(std::move(name));
    return names;
}

bool defines_types(const std::string& rule_text) {
    return contains(rule_text, "0x") && (contains(rule_text, "resolution") || contains(rule_text, "level"));
}

bool scan_include_files(IncludeFiles& inc, const std::string& style_folder, RuleReader& reader) {
    inc.clear();
    const std::string folder = include_folder(style_folder);
    if (!file_exists(folder)) return false;
    for (const std::string& name : list_include_folder(folder)) {
        reader.load_text(join_path(folder, name));
        if (defines_types(reader.rule_text())) inc.found.push_back(name);
    }
    return true;
}

void Command4_Click(IncludeFiles& inc, AppState& state, RuleReader& reader, Shell& shell) {
    if (!scan_include_files(inc, state.style_folder, reader)) return;
    if (!inc.found.empty())
        shell.message(std::string("Please sort 'Inc' files into points ,lines or polygons.") + CRLF + CRLF +
                      "Select file(s) and click appropriate 'Add' button");
    state.create_needed = true;
}

void Command5_Click(IncludeFiles& inc, AppState& state, int index, const std::vector<std::size_t>& selected_rows,
                    Shell& shell) {
    if (inc.found.empty()) {
        shell.message("Please select");
        return;
    }
    if (index >= 0 && index < INCLUDE_GROUPS) {
        std::vector<std::string>& group = inc.groups[static_cast<std::size_t>(index)];
        for (std::size_t row = 0; row < inc.found.size(); ++row) {
            if (std::find(selected_rows.begin(), selected_rows.end(), row) == selected_rows.end()) continue;
            if (std::find(group.begin(), group.end(), inc.found[row]) == group.end()) group.push_back(inc.found[row]);
        }
    }
    state.create_needed = true;
}

void Command6_Click(IncludeFiles& inc, int index, const std::vector<std::size_t>& selected_rows) {
    if (index < 0 || index >= INCLUDE_GROUPS) return;
    std::vector<std::string>& group = inc.groups[static_cast<std::size_t>(index)];
    if (group.empty() || selected_rows.empty()) return;
    const std::size_t first = *std::min_element(selected_rows.begin(), selected_rows.end());
    if (first < group.size()) group.erase(group.begin() + static_cast<std::ptrdiff_t>(first));
}

void Dir1_MouseDown(IncludeFiles& inc, AppState& state, const std::string& highlighted_folder) {
    inc.clear();
    state.style_folder = highlighted_folder;
}

bool is_plain_file_name(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\\') == std::string::npos;
}

std::string inc_files_not_added_message() {
    return std::string("inc files not added ") + CRLF + CRLF + "to points, lines or polygons list boxes.";
}

void do_incs(Conversion& cv, const IncludeFiles& inc, const std::string& ff) {
    if (inc.found.empty()) return;
    if (inc.groups_empty()) {
        cv.shell.message(inc_files_not_added_message());
        return;
    }
    using Writer = void (*)(Conversion&, const std::string&);
    const Writer writers[INCLUDE_GROUPS] = {pois, lines, polygons};
    for (int g = 0; g < INCLUDE_GROUPS; ++g) {
        for (const std::string& name : inc.groups[static_cast<std::size_t>(g)]) {
            if (!is_plain_file_name(name)) {
                cv.shell.message(name + ": refused: an include file is named without any folder");
                continue;
            }
            const std::string path = join_path(ff, name);
            // A sorted file that has gone since yields nothing, without a message.
            if (file_exists(path)) writers[g](cv, path);
        }
    }
}

}  // namespace tessaro
