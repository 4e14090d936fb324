#include "include_groups.h"

#include <algorithm>
#include <string_view>
#include <unordered_set>

#include "file_io.h"

namespace tessaro {

void IncludeFiles::clear() {
    found.clear();
    for (Section s : ALL_SECTIONS) groups[s].clear();
}

bool IncludeFiles::groups_empty() const {
    return std::all_of(ALL_SECTIONS.begin(), ALL_SECTIONS.end(), [this](Section s) { return groups[s].empty(); });
}

std::vector<std::string> IncludeFiles::left_out() const {
    // A set, not a search per name: styles with many thousand include files exist.
    std::unordered_set<std::string_view> sorted;
    for (Section s : ALL_SECTIONS) sorted.insert(groups[s].begin(), groups[s].end());
    std::vector<std::string> out;
    for (const std::string& name : found)
        if (sorted.count(name) == 0) out.push_back(name);
    return out;
}

std::string include_folder(const std::string& style_folder) {
    return join_path(style_folder, "inc");
}

bool is_plain_file_name(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\\') == std::string::npos;
}

}  // namespace tessaro
