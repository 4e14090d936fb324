#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "failure.h"
#include "include_groups.h"
#include "include_statements.h"
#include "rule_reader.h"
#include "section.h"

namespace tessaro {

// True when a rule text defines types: "0x" and "resolution" or "level" (case-sensitive).
bool defines_types(std::string_view rule_text);

struct IncludeScan {
    bool folder_found = false;      // the style has an include folder
    std::vector<Failure> failures;  // files that could not be read, in listing order
};

// The scan (Get INC Files): forgets the list and the groups, then lists the
// include files that define types. The other styles' files stay: they do
// not come from the include folder.
// With `statements`, the include statements of the files read whole go there
// too (by path), for a proposal that need not read them again.
IncludeScan scan_include_files(IncludeFiles& inc, const std::string& style_folder, RuleReader& reader,
                               KnownStatements* statements = nullptr);

// Add: the selected rows of the include file list go into the section's
// group, each name once, in list order. False when the list is empty, so
// there was nothing to select.
bool add_selected_to_group(IncludeFiles& inc, Section group, const std::vector<std::size_t>& selected_rows);

// Appends the names that `list` lacks, in order, each once.
void add_missing(std::vector<std::string>& list, const std::vector<std::string>& names);

// Puts the names into their groups, after the names each already holds (each
// name once per group).
void add_to_groups(IncludeFiles& inc, const PerSection<std::vector<std::string>>& names);

// Remove: the first selected row of the section's group goes.
void remove_first_selected(IncludeFiles& inc, Section group, const std::vector<std::size_t>& selected_rows);

}  // namespace tessaro
