#pragma once

#include <string>
#include <vector>

#include "include_groups.h"
#include "include_statements.h"
#include "section.h"

namespace tessaro {

// Where the include statements of the style's main rule files lead, for each
// section: the names of the include file list (in list order) that the main
// file includes, directly or through other include files, then the style's
// files outside the include folder that it so includes and that define types
// (in the order reached), then the names that could lead out of the style
// folder, for the run to refuse; and the files of other styles whose rules it
// takes (include ... from OTHER, and the rule files of its base styles), in
// the order reached.
struct Proposal {
    PerSection<std::vector<std::string>> groups;
    PerSection<std::vector<OtherStyleFile>> other_styles;
    // The files outside the include folder that the groups hold, and the
    // names they hold that could lead out, each once, in the order reached.
    std::vector<std::string> elsewhere;
    std::vector<std::string> refused;

    bool operator==(const Proposal&) const = default;
};

// The statements of files in `known` (the main rule files, as a run read
// them) are taken from there instead of read again.
Proposal propose_groups(const std::string& style_folder, const std::vector<std::string>& found,
                        const KnownStatements* known = nullptr);

// Puts every proposed name into its group, after the names it already holds
// (each name once per group), and among the found files, and the other
// styles' files likewise into their lists; the statements count as followed
// from now on.
void apply_proposal(IncludeFiles& inc, const Proposal& proposal);

// Lists the proposal's files outside the include folder among the found
// files, unsorted: the run names them as left out, as it names the files of
// the include folder that no group holds.
void add_files_elsewhere(IncludeFiles& inc, const Proposal& proposal);

}  // namespace tessaro
