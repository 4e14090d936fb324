#pragma once

#include <string>
#include <vector>

#include "include_groups.h"
#include "include_statements.h"
#include "section.h"

namespace tessaro {

// A base style of a style (base-style in its info file).
struct BaseStyle {
    std::string name;
    std::string folder;  // empty when the name could lead out of the styles folder
    bool found = false;  // the folder is there
};

// The base styles of a style in the order their rules follow the style's own:
// each base, then the bases of that base; a style met again ends the chain.
std::vector<BaseStyle> base_styles(const std::string& style_folder);

// A statement in one of the style's own files that takes rules from another style.
struct StatementPlace {
    std::string path;  // the file that holds it
    IncludeStatement statement;
};

// The statements of the style's own files that take rules from other styles, each once: those of the main rule
// files of the sections that are on, of the files of their groups (when given) and of the style's files these
// include; then the base-style lines of its info file. No file of another style is read.
std::vector<StatementPlace> statements_leaving(const std::string& style_folder, const PerSection<bool>& sections,
                                               const PerSection<std::vector<std::string>>* groups);

// Where the include statements of the style's main rule files lead, for each section: the names of the include file
// list (in list order) that the main file includes, directly or through other include files, then the style's files
// outside the include folder that it so includes and that define types (in the order reached), then the names that
// could lead out of the style folder, for the run to refuse; and the files of other styles whose rules it takes
// (include ... from OTHER, and the rule files of its base styles), in the order reached.
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

// Puts every proposed name into its group, after the names it already holds (each name once per group), and among
// the found files, and the other styles' files likewise into their lists; the statements count as followed from now on.
void apply_proposal(IncludeFiles& inc, const Proposal& proposal);

// Lists the proposal's files outside the include folder among the found files, unsorted: the run names them as left
// out, as it names the files of the include folder that no group holds.
inline void add_files_elsewhere(IncludeFiles& inc, const Proposal& proposal) {
    add_missing(inc.found, proposal.elsewhere);
}

}  // namespace tessaro
