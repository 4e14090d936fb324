#include "style_folder.h"

#include <algorithm>
#include <filesystem>

#include "file_io.h"
#include "text_util.h"

namespace tessaro {

namespace fs = std::filesystem;

namespace {

// The names of a folder's entries that pass `keep`, in name order. The
// entries' types come with the listing where the system gives them, so
// most need no look of their own.
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

}  // namespace

std::vector<std::string> list_files(const std::string& folder) {
    return list_entries(folder, [](const fs::directory_entry& e) {
        std::error_code ec;
        return !e.is_directory(ec);
    });
}

std::vector<std::string> list_regular_files(const std::string& folder) {
    return list_entries(folder, [](const fs::directory_entry& e) {
        std::error_code ec;
        return e.is_regular_file(ec);
    });
}

StyleListing list_style(const std::string& folder) {
    StyleListing out;
    // A folder under a rule file's name counts as that rule file: the run
    // then names it as unreadable instead of passing over its types.
    const std::vector<std::string> names = list_entries(folder, [](const fs::directory_entry& e) {
        std::error_code ec;
        if (!e.is_directory(ec)) return true;
        const std::string lower = to_lower(from_fs_path(e.path().filename()));
        return lower == "points" || lower == "lines" || lower == "polygons";
    });
    for (const std::string& name : names) {
        ++out.files;
        const std::string lower = to_lower(name);
        if (lower == "points") out.kinds += 'p';
        else if (lower == "lines") out.kinds += 'l';
        else if (lower == "polygons") out.kinds += 'g';
    }
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
