#pragma once

#include <string>
#include <vector>

#include "section.h"

namespace tessaro {

// The include files of a style and the user's sorting of them: the files of
// inc/ that define types, and for each section the names put into its group
// (in order, each name once per group).
struct IncludeFiles {
    std::vector<std::string> found;
    PerSection<std::vector<std::string>> groups;

    void clear();
    bool groups_empty() const;
    // The found files that no group holds, in found order.
    std::vector<std::string> left_out() const;
};

// The style's include folder.
std::string include_folder(const std::string& style_folder);

// False for names that could reach outside the include folder.
bool is_plain_file_name(const std::string& name);

}  // namespace tessaro
