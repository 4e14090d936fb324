#include "include_proposal.h"

#include <unordered_set>

#include "include_files.h"
#include "include_walk.h"

namespace tessaro {

Proposal propose_groups(const std::string& style_folder, const std::vector<std::string>& found,
                        const KnownStatements* known) {
    Proposal proposal;
    // The include statements of each file are read once for all sections:
    // the main files often include the same ones.
    IncludeWalk walk(style_folder, known);
    for (Section s : ALL_SECTIONS) {
        IncludeReach reach = walk.follow(s);
        proposal.other_styles[s] = std::move(reach.other_styles);
        if (reach.own.empty()) continue;
        for (const std::string& name : found)
            if (reach.own.count(name) != 0) proposal.groups[s].push_back(name);
    }
    return proposal;
}

void apply_proposal(IncludeFiles& inc, const Proposal& proposal) {
    add_to_groups(inc, proposal.groups);
    for (Section s : ALL_SECTIONS) {
        std::vector<OtherStyleFile>& list = inc.other_styles[s];
        std::unordered_set<std::string> listed;
        for (const OtherStyleFile& file : list) listed.insert(file.style + '\n' + file.file);
        for (const OtherStyleFile& file : proposal.other_styles[s])
            if (listed.insert(file.style + '\n' + file.file).second) list.push_back(file);
    }
    inc.other_styles_followed = true;
}

}  // namespace tessaro
