#pragma once

#include <string>
#include <vector>

#include "section.h"

namespace tessaro {

// A rule file of another style, a sibling folder of this style's folder in
// their styles folder: "points" of "default", or "inc/roadspeed" of it.
struct OtherStyleFile {
    std::string style;
    std::string file;  // within the style, "/" between folders

    bool operator==(const OtherStyleFile&) const = default;
};

// The include files of a style and the user's sorting of them: the files of
// inc/ that define types, and for each section the names put into its group
// (in order, each name once per group). Then the rules that the style takes
// from other styles (include ... from OTHER, base-style=OTHER), for each
// section the files of other styles it reads after the group's own files.
struct IncludeFiles {
    std::vector<std::string> found;
    PerSection<std::vector<std::string>> groups;
    PerSection<std::vector<OtherStyleFile>> other_styles;
    // The statements that take rules from other styles were followed: the
    // lists above are what they lead to, and none is named as left out.
    bool other_styles_followed = false;

    void clear();
    bool groups_empty() const;
    // The found files that no group holds, in found order.
    std::vector<std::string> left_out() const;
};

// The style's include folder.
std::string include_folder(const std::string& style_folder);

// False for names that could reach outside the include folder.
bool is_plain_file_name(const std::string& name);

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
