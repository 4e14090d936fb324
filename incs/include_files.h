#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "app_state.h"
#include "conversion.h"
#include "rule_reader.h"
#include "shell.h"

namespace tessaro {

enum IncludeGroup : int { INC_POINTS = 0, INC_LINES = 1, INC_POLYGONS = 2 };
inline constexpr int INCLUDE_GROUPS = 3;

// The include files of a style and the user's sorting of them. Kept across
// conversions; emptied by a new style folder and by every scan.
struct IncludeFiles {
    std::vector<std::string> found;                             // files that define types
    std::array<std::vector<std::string>, INCLUDE_GROUPS> groups;  // points, lines, polygons

    void clear();
    bool groups_empty() const;
};

// The style's include folder.
std::string include_folder(const std::string& style_folder);

// The files of a folder that the scan looks at: regular files, not hidden, in name order.
std::vector<std::string> list_include_folder(const std::string& folder);

// True when a rule text defines types: "0x" and "resolution" or "level" (case-sensitive).
bool defines_types(const std::string& rule_text);

// Fills inc.found from the include folder without any message. Returns false
// when there is no include folder at all.
bool scan_include_files(IncludeFiles& inc, const std::string& style_folder, RuleReader& reader);

// The scan behind Create: lists the files that define types and asks the user to sort them.
void Command4_Click(IncludeFiles& inc, AppState& state, RuleReader& reader, Shell& shell);

// Add: the selected rows of the include file list go into group index, each name once.
void Command5_Click(IncludeFiles& inc, AppState& state, int index, const std::vector<std::size_t>& selected_rows,
                    Shell& shell);

// Remove: the first selected row of group index goes; the caller clears the selection.
void Command6_Click(IncludeFiles& inc, int index, const std::vector<std::size_t>& selected_rows);

// A press in the folder list: everything sorted is forgotten, the highlighted folder becomes the style.
void Dir1_MouseDown(IncludeFiles& inc, AppState& state, const std::string& highlighted_folder);

// False for names that could reach outside the include folder.
bool is_plain_file_name(const std::string& name);

// The merge: the point, line and polygon writers over the groups' files in
// the include folder ff, after the main conversion.
void do_incs(Conversion& cv, const IncludeFiles& inc, const std::string& ff);

// The message when include files were found but none was sorted into a group.
std::string inc_files_not_added_message();

}  // namespace tessaro
