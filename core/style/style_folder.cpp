#include "style_folder.h"

#include <algorithm>
#include <filesystem>

#include "file_io.h"
#include "section.h"
#include "text_util.h"

namespace tessaro {

namespace fs = std::filesystem;

namespace {

// The names of a folder's entries that pass `keep`, in name order. The entries' types come with the listing where the
// system gives them, so most need no look of their own.
template <typename Keep>
std::vector<std::string> list_entries(const std::string& folder, Keep keep) {
    std::vector<std::string> names;
    std::error_code ec;
    fs::directory_iterator it(to_fs_path(folder), ec);
    if (ec) return names;
    for (const fs::directory_entry& e : it)
        if (keep(e)) names.push_back(from_fs_path(e.path().filename()));
    std::sort(names.begin(), names.end());
    return names;
}

// The kind letter of a rule file's name, in any case; 0 for any other name.
char rule_kind(const std::string& name) {
    const std::string lower = to_lower(name);
    for (Section s : ALL_SECTIONS)
        if (lower == rule_file_name(s)) return kind_letter(s);
    return 0;
}

}  // namespace

std::vector<std::string> list_files(const std::string& folder, bool regular) {
    return list_entries(folder, [regular](const fs::directory_entry& e) {
        std::error_code ec;
        return regular ? e.is_regular_file(ec) : !e.is_directory(ec);
    });
}

StyleListing list_style(const std::string& folder) {
    // A folder under a rule file's name counts as that rule file: the run
    // then names it as unreadable instead of passing over its types.
    const std::vector<std::string> names = list_entries(folder, [](const fs::directory_entry& e) {
        std::error_code ec;
        return !e.is_directory(ec) || rule_kind(from_fs_path(e.path().filename())) != 0;
    });
    StyleListing out{names.size(), {}};
    for (const std::string& name : names)
        if (const char kind = rule_kind(name)) out.kinds += kind;
    return out;
}

std::string rule_file_path(const std::string& folder, const std::string& name) {
    const std::string exact = join_path(folder, name);
    if (file_exists(exact)) return exact;
    for (const std::string& f : list_files(folder))
        if (to_lower(f) == name) return join_path(folder, f);
    return exact;
}

}  // namespace tessaro
