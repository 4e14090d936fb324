#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace tessaro {

// The files (not folders) of a folder, in name order, hidden ones included;
// with `regular`, only regular files (or links to them).
std::vector<std::string> list_files(const std::string& folder, bool regular = false);

struct StyleListing {
    std::size_t files = 0;  // number of files in the folder
    std::string kinds;      // "p", "l", "g" for points, lines, polygons, in listing order
};

// Rule file names count without regard to case: "Points" is a points file;
// so does a folder under such a name (no file, but the user meant one).
StyleListing list_style(const std::string& folder);

// The path of a rule file under the name it has in the folder ("Points" for
// "points" on a case-sensitive file system); folder + name when none matches.
std::string rule_file_path(const std::string& folder, const std::string& name);

}  // namespace tessaro
