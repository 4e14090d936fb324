#pragma once

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "failure.h"
#include "include_statements.h"
#include "rule_reader.h"
#include "section.h"

namespace tessaro {

// A rule file of another style, a sibling folder of this style's folder in
// their styles folder: "points" of "default", or "inc/roadspeed" of it.
struct OtherStyleFile {
    std::string style;
    std::string file;  // within the style, "/" between folders

    bool operator==(const OtherStyleFile&) const = default;
};

// The include files of a style and the user's sorting of them: the files of inc/ that define types (and those
// elsewhere in the style that its rule files include, once the statements were followed), and for each section the
// names put into its group (in order, each name once per group). Then the rules that the style takes from other
// styles (include ... from OTHER, base-style=OTHER): for each section the files it reads after the group's own.
struct IncludeFiles {
    std::vector<std::string> found;
    PerSection<std::vector<std::string>> groups;
    PerSection<std::vector<OtherStyleFile>> other_styles;
    // The statements that take rules from other styles were followed: the
    // lists above are what they lead to, and none is named as left out.
    bool other_styles_followed = false;

    void clear() { *this = {}; }
    bool groups_empty() const {
        return std::ranges::all_of(ALL_SECTIONS, [this](Section s) { return groups[s].empty(); });
    }
    // The found files that no group holds, in found order.
    std::vector<std::string> left_out() const;
};

// True when a rule text defines types: "0x" and "resolution" or "level" (case-sensitive).
bool defines_types(std::string_view rule_text);

struct IncludeScan {
    bool folder_found = false;      // the style has an include folder
    std::vector<Failure> failures;  // files that could not be read, in listing order
};

// The scan (Get INC Files): forgets the list and the groups, then lists the include files that define types; the
// other styles' files stay (they do not come from the include folder). With `statements`, the include statements of
// the files read whole go there too (by path), for a proposal that need not read them again.
IncludeScan scan_include_files(IncludeFiles& inc, const std::string& style_folder, RuleReader& reader,
                               KnownStatements* statements = nullptr);

// Add: the selected rows of the include file list go into the section's group, each name once, in list order. False
// when the list is empty, so there was nothing to select.
bool add_selected_to_group(IncludeFiles& inc, Section group, const std::vector<std::size_t>& selected_rows);

// Appends the names that `list` lacks, in order, each once.
void add_missing(std::vector<std::string>& list, const std::vector<std::string>& names);

// Puts the names into their groups, after the names each already holds (each name once per group).
inline void add_to_groups(IncludeFiles& inc, const PerSection<std::vector<std::string>>& names) {
    for (Section s : ALL_SECTIONS) add_missing(inc.groups[s], names[s]);
}

// Remove: the first selected row of the section's group goes.
void remove_first_selected(IncludeFiles& inc, Section group, const std::vector<std::size_t>& selected_rows);

// The style's include folder.
std::string include_folder(const std::string& style_folder);

// False for names that could reach outside the include folder.
bool is_plain_file_name(const std::string& name);

// A path within a style, "/" between its parts, without "." and empty parts ("./inc//x" is "inc/x"); none when it
// could lead out of the style folder ("..", an absolute path, a drive letter) or names the folder itself.
std::optional<std::string> normal_path_in_style(std::string_view path);

// The name of the file that an include statement of this style names, as lists and messages name it: a file of the
// include folder by its plain name ("roads", as users' stored names have it), any other by its path in the style
// folder ("sub/more", "inc/deeper/x", "./extra" for one of the folder itself), so that no name stands for two files.
// mkgmap resolves the name relative to the style folder, whichever file the statement stands in; "." and empty
// parts and "\" between folders spell the same file. None as for normal_path_in_style.
std::optional<std::string> included_file_name(std::string_view statement_path);

// A group name as the lists hold it: a plain name stays a file of the include folder, any other is read as a
// statement's name ("inc/x" is "x"). None when it could lead out of the style folder.
std::optional<std::string> include_group_name(std::string_view name);

// The path of a group's file; empty when the name could lead out of the style folder.
std::string include_file_path(const std::string& style_folder, const std::string& name);

// False for a style name that could lead out of the styles folder.
bool is_safe_style_name(const std::string& name);
// The folder of another style: the style folder's sibling of that name.
std::string other_style_folder(const std::string& style_folder, const std::string& name);
// The path of a file of another style.
std::string other_style_path(const std::string& style_folder, const OtherStyleFile& file);
// False for a style name or a path within it that could lead out of the
// styles folder or the style: "..", ".", absolute paths, drive letters.
bool is_safe_other_style_file(const OtherStyleFile& file);

}  // namespace tessaro
