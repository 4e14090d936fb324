#include "style_folder.h"

#include <algorithm>
#include <filesystem>

#include "file_io.h"
#include "text_util.h"

namespace tessaro {

namespace fs = std::filesystem;

std::vector<std::string> list_files(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    fs::directory_iterator it(to_fs_path(folder), ec);
    if (ec) return names;
    for (const fs::directory_entry& e : it) {
        std::error_code type_ec;
        if (!e.is_directory(type_ec)) names.push_back(from_fs_path(e.path().filename()));
    }
    std::sort(names.begin(), names.end());
    return names;
}

StyleListing list_style(const std::string& folder) {
    StyleListing out;
    for (const std::string& name : list_files(folder)) {
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
