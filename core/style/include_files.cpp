#include "include_files.h"

#include <algorithm>
#include <unordered_set>

#include "file_io.h"
#include "style_folder.h"
#include "text_util.h"

namespace tessaro {

bool defines_types(std::string_view rule_text) {
    return contains(rule_text, "0x") && (contains(rule_text, "resolution") || contains(rule_text, "level"));
}

IncludeScan scan_include_files(IncludeFiles& inc, const std::string& style_folder, RuleReader& reader,
                               KnownStatements* statements) {
    IncludeScan scan;
    inc.found.clear();
    for (Section s : ALL_SECTIONS) inc.groups[s].clear();
    const std::string folder = include_folder(style_folder);
    if (!file_exists(folder)) return scan;
    scan.folder_found = true;
    // Regular files, not hidden, in name order.
    for (const std::string& name : list_files(folder, true)) {
        if (name[0] == '.') continue;
        const std::string path = join_path(folder, name);
        reader.open(path, RuleReader::Items::None, statements != nullptr);
        const bool types = defines_types(reader.text());
        if (std::optional<Failure> failure = reader.close()) scan.failures.push_back(std::move(*failure));
        if (statements != nullptr)
            if (std::optional<std::vector<IncludeStatement>> kept = reader.take_statements()) (*statements)[path] = std::move(*kept);
        if (types) inc.found.push_back(name);
    }
    return scan;
}

bool add_selected_to_group(IncludeFiles& inc, Section group, const std::vector<std::size_t>& selected_rows) {
    if (inc.found.empty()) return false;
    // Sets instead of searches: a style may have many thousand include files.
    std::vector<bool> selected(inc.found.size(), false);
    for (std::size_t row : selected_rows)
        if (row < selected.size()) selected[row] = true;
    std::vector<std::string>& names = inc.groups[group];
    std::unordered_set<std::string> in_group(names.begin(), names.end());
    for (std::size_t row = 0; row < inc.found.size(); ++row)
        if (selected[row] && in_group.insert(inc.found[row]).second) names.push_back(inc.found[row]);
    return true;
}

void add_missing(std::vector<std::string>& list, const std::vector<std::string>& names) {
    if (names.empty()) return;
    // A set, not a search per name: a list may hold a hundred thousand names.
    std::unordered_set<std::string> listed(list.begin(), list.end());
    for (const std::string& name : names)
        if (listed.insert(name).second) list.push_back(name);
}

void add_to_groups(IncludeFiles& inc, const PerSection<std::vector<std::string>>& names) {
    for (Section s : ALL_SECTIONS) add_missing(inc.groups[s], names[s]);
}

void remove_first_selected(IncludeFiles& inc, Section group, const std::vector<std::size_t>& selected_rows) {
    std::vector<std::string>& names = inc.groups[group];
    if (names.empty() || selected_rows.empty()) return;
    const std::size_t first = *std::min_element(selected_rows.begin(), selected_rows.end());
    if (first < names.size()) names.erase(names.begin() + static_cast<std::ptrdiff_t>(first));
}

}  // namespace tessaro
