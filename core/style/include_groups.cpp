#include "include_groups.h"

#include <algorithm>
#include <filesystem>
#include <string_view>
#include <unordered_set>

#include "file_io.h"
#include "style_folder.h"
#include "text_util.h"

namespace tessaro {

namespace {

namespace fs = std::filesystem;

// The parts of a path relative to the style folder, without "." and empty
// ones; none when the path is absolute or a part is ".." or holds a drive letter's ":".
std::vector<std::string_view> path_parts(std::string_view path) {
    if (path.empty() || path[0] == '/' || path[0] == '\\') return {};
    std::vector<std::string_view> parts;
    for (std::size_t start = 0; start <= path.size();) {
        const std::size_t sep = std::min(path.find_first_of("/\\", start), path.size());
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
        // Normalising makes "0x" only of a "0" before blanks, tabs or CRs: without either, no text to normalise.
        const std::string_view bytes = reader.bytes();
        const bool code =
            contains(bytes, "0x") || contains(bytes, "0 ") || contains(bytes, "0\t") || contains(bytes, "0\r");
        const bool types = code && defines_types(reader.text());
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
    std::vector<std::string> picked;
    for (std::size_t row = 0; row < inc.found.size(); ++row)
        if (selected[row]) picked.push_back(inc.found[row]);
    add_missing(inc.groups[group], picked);
    return true;
}

void add_missing(std::vector<std::string>& list, const std::vector<std::string>& names) {
    if (names.empty()) return;
    // A set, not a search per name: a list may hold a hundred thousand names.
    std::unordered_set<std::string> listed(list.begin(), list.end());
    for (const std::string& name : names)
        if (listed.insert(name).second) list.push_back(name);
}

void remove_first_selected(IncludeFiles& inc, Section group, const std::vector<std::size_t>& selected_rows) {
    std::vector<std::string>& names = inc.groups[group];
    if (names.empty() || selected_rows.empty()) return;
    const std::size_t first = *std::min_element(selected_rows.begin(), selected_rows.end());
    if (first < names.size()) names.erase(names.begin() + static_cast<std::ptrdiff_t>(first));
}

std::string include_folder(const std::string& style_folder) {
    return join_path(style_folder, "inc");
}

bool is_plain_file_name(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find_first_of("/\\") == std::string::npos;
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
    for (std::size_t start = 0, sep = 0; sep != std::string::npos; start = sep + 1) {
        sep = file.file.find_first_of("/\\", start);
        if (!is_safe_style_name(file.file.substr(start, sep - start))) return false;
    }
    return true;
}

}  // namespace tessaro
