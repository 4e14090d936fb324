#include "include_groups.h"

#include <algorithm>
#include <filesystem>
#include <string_view>
#include <unordered_set>

#include "file_io.h"
#include "text_util.h"

namespace tessaro {

namespace {

namespace fs = std::filesystem;

// The parts of a path relative to the style folder, without "." and empty
// ones; none when the path is absolute or a part is ".." or holds a drive letter's ":".
std::vector<std::string_view> path_parts(std::string_view path) {
    if (path.empty() || path[0] == '/' || path[0] == '\\') return {};
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t sep = path.find_first_of("/\\", start);
        if (sep == std::string_view::npos) sep = path.size();
        const std::string_view part = path.substr(start, sep - start);
        start = sep + 1;
        if (part.empty() || part == ".") continue;
        if (part == ".." || part.find(':') != std::string_view::npos) return {};
        parts.push_back(part);
    }
    return parts;
}

std::string joined(const std::vector<std::string_view>& parts, char sep) {
    std::string out;
    for (std::string_view part : parts) {
        if (!out.empty()) out += sep;
        out += part;
    }
    return out;
}

// The folder that holds the style folder. A path that ends in "." or ".."
// names no folder by its last name: the whole path, made absolute, does.
std::string styles_folder_of(const std::string& style_folder) {
    fs::path path = to_fs_path(style_folder);
    const fs::path last = path.filename();
    if (last.empty() || last == "." || last == "..") {
        std::error_code ec;
        fs::path whole = fs::absolute(path, ec).lexically_normal();
        if (!ec) {
            if (whole.filename().empty()) whole = whole.parent_path();
            path = whole;
        }
    }
    return from_fs_path(path.parent_path());
}

}  // namespace

bool IncludeFiles::groups_empty() const {
    return std::all_of(ALL_SECTIONS.begin(), ALL_SECTIONS.end(), [this](Section s) { return groups[s].empty(); });
}

std::vector<std::string> IncludeFiles::left_out() const {
    // A set, not a search per name: styles with many thousand include files exist.
    std::unordered_set<std::string_view> sorted;
    std::size_t names = 0;
    for (Section s : ALL_SECTIONS) names += groups[s].size();
    // Grown once: each growth of a large table visits every name again.
    sorted.reserve(names);
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

std::optional<std::string> normal_path_in_style(std::string_view path) {
    const std::vector<std::string_view> parts = path_parts(path);
    if (parts.empty()) return std::nullopt;
    return joined(parts, '/');
}

std::optional<std::string> included_file_name(std::string_view statement_path) {
    // The common spelling, "inc/NAME", goes without taking the path apart:
    // a style may have a hundred thousand statements.
    if (statement_path.size() > 4 && statement_path.compare(0, 4, "inc/") == 0) {
        const std::string_view rest = statement_path.substr(4);
        if (rest.find_first_of("/\\:") == std::string_view::npos && rest != "." && rest != "..") return std::string(rest);
    }
    const std::vector<std::string_view> parts = path_parts(statement_path);
    if (parts.empty()) return std::nullopt;
    if (parts.size() == 2 && parts[0] == "inc") return std::string(parts[1]);
    if (parts.size() == 1) return "./" + std::string(parts[0]);
    return joined(parts, '/');
}

std::optional<std::string> include_group_name(std::string_view name) {
    const std::string plain(name);
    if (is_plain_file_name(plain)) return plain;
    return included_file_name(name);
}

std::string include_file_path(const std::string& style_folder, const std::string& name) {
    if (is_plain_file_name(name)) return join_path(include_folder(style_folder), name);
    const std::vector<std::string_view> parts = path_parts(name);
    return parts.empty() ? std::string() : join_path(style_folder, joined(parts, PATH_SEP));
}

// A drive letter ("C:") would make a name absolute on Windows.
bool is_safe_style_name(const std::string& name) {
    return is_plain_file_name(name) && name.find(':') == std::string::npos;
}

std::string other_style_folder(const std::string& style_folder, const std::string& name) {
    const std::string parent = styles_folder_of(style_folder);
    return parent.empty() ? name : join_path(parent, name);
}

std::string other_style_path(const std::string& style_folder, const OtherStyleFile& file) {
    return join_path(other_style_folder(style_folder, file.style), replace_all(file.file, "/", std::string(1, PATH_SEP)));
}

bool is_safe_other_style_file(const OtherStyleFile& file) {
    if (!is_safe_style_name(file.style)) return false;
    std::size_t start = 0;
    while (true) {
        const std::size_t sep = file.file.find_first_of("/\\", start);
        if (!is_safe_style_name(file.file.substr(start, sep - start))) return false;
        if (sep == std::string::npos) return true;
        start = sep + 1;
    }
}

}  // namespace tessaro
