#pragma once

#include <array>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "include_files.h"

namespace tessaro {

// The paths named by the include statements of a rule text, in order:
// include 'inc/roadspeed';  include "inc/name"  (quotes single or double,
// ";" optional). Statements that take a file from another style ("from") are
// left out: they name no file of this style.
std::vector<std::string> include_statements(std::string_view rule_text);

// For every name of the include file list, the groups of the main rule files
// (points, lines, polygons) that include it, directly or through other
// include files. Names that no main file includes get no entry.
std::map<std::string, std::vector<int>> propose_groups(const std::string& style_folder,
                                                       const std::vector<std::string>& found);

// Puts every proposed name into its groups (each name once per group).
void apply_proposal(IncludeFiles& inc, const std::map<std::string, std::vector<int>>& proposal);

}  // namespace tessaro
