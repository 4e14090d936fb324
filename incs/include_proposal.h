#pragma once

#include <string>
#include <vector>

#include "include_groups.h"
#include "include_walk.h"
#include "section.h"

namespace tessaro {

// Where the include statements of the style's main rule files lead, for each
// section: the names of the include file list (in list order) that the main
// file includes, directly or through other include files; and the files of
// other styles whose rules it takes (include ... from OTHER, and the rule
// files of its base styles), in the order reached.
struct Proposal {
    PerSection<std::vector<std::string>> groups;
    PerSection<std::vector<OtherStyleFile>> other_styles;

    bool operator==(const Proposal&) const = default;
};

// The statements of files in `known` (the main rule files, as a run read
// them) are taken from there instead of read again.
Proposal propose_groups(const std::string& style_folder, const std::vector<std::string>& found,
                        const KnownStatements* known = nullptr);

// Puts every proposed name into its group, after the names it already holds
// (each name once per group), and the other styles' files likewise into
// their lists; the statements count as followed from now on.
void apply_proposal(IncludeFiles& inc, const Proposal& proposal);

}  // namespace tessaro
