#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "include_groups.h"
#include "section.h"

namespace tessaro {

// The paths named by the include statements of a rule text, in order:
// include 'inc/roadspeed';  include "inc/name"  (quotes single or double,
// ";" optional). Statements that take a file from another style ("from") are
// left out: they name no file of this style.
std::vector<std::string> include_statements(std::string_view rule_text);

// For each section, the names of the include file list (in list order) that
// its main rule file includes, directly or through other include files.
PerSection<std::vector<std::string>> propose_groups(const std::string& style_folder,
                                                    const std::vector<std::string>& found);

// Puts every proposed name into its group, after the names it already holds
// (each name once per group).
void apply_proposal(IncludeFiles& inc, const PerSection<std::vector<std::string>>& proposal);

}  // namespace tessaro
