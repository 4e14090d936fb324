#include "include_proposal.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "file_io.h"
#include "include_groups.h"
#include "include_walk.h"

namespace tessaro {

namespace {

// Whether a file outside the include folder belongs in a group, as the scan
// decides for the files of the include folder: it defines types. One that
// cannot be read goes in too, so that the run names it.
bool belongs_in_group(const std::string& path) {
    if (!is_regular_file(path)) return false;
    std::string text;
    std::error_code error;
    return !read_file(path, text, error) || defines_types(text);
}

}  // namespace

Proposal propose_groups(const std::string& style_folder, const std::vector<std::string>& found,
                        const KnownStatements* known) {
    Proposal proposal;
    // The include statements of each file are read once for all sections:
    // the main files often include the same ones.
    IncludeWalk walk(style_folder, known);
    // The list as a set only once a file elsewhere is met: most styles have
    // none, and a list may hold a hundred thousand names.
    std::optional<std::unordered_set<std::string_view>> listed;
    std::unordered_map<std::string, bool> belongs;  // the files elsewhere, each looked at once
    for (Section s : ALL_SECTIONS) {
        IncludeReach reach = walk.follow(s);
        proposal.other_styles[s] = std::move(reach.other_styles);
        std::vector<std::string>& group = proposal.groups[s];
        if (!reach.own.empty())  // most sections include nothing: the list is not walked for them
            for (const std::string& name : found)
                if (reach.own.count(name) != 0) group.push_back(name);
        for (std::string& name : reach.elsewhere) {
            if (!listed) listed.emplace(found.begin(), found.end());
            if (listed->count(name) != 0) continue;  // taken in list order above
            auto [known_file, first] = belongs.try_emplace(name, false);
            if (first) {
                known_file->second = belongs_in_group(include_file_path(style_folder, name));
                if (known_file->second) proposal.elsewhere.push_back(name);
            }
            if (known_file->second) group.push_back(std::move(name));
        }
        for (std::string& name : reach.refused) {
            if (std::find(proposal.refused.begin(), proposal.refused.end(), name) == proposal.refused.end())
                proposal.refused.push_back(name);
            group.push_back(std::move(name));
        }
    }
    return proposal;
}

void apply_proposal(IncludeFiles& inc, const Proposal& proposal) {
    add_to_groups(inc, proposal.groups);
    // The other names of the groups come from the found list.
    add_missing(inc.found, proposal.elsewhere);
    add_missing(inc.found, proposal.refused);
    for (Section s : ALL_SECTIONS) {
        std::vector<OtherStyleFile>& list = inc.other_styles[s];
        std::unordered_set<std::string> listed;
        for (const OtherStyleFile& file : list) listed.insert(file.style + '\n' + file.file);
        for (const OtherStyleFile& file : proposal.other_styles[s])
            if (listed.insert(file.style + '\n' + file.file).second) list.push_back(file);
    }
    inc.other_styles_followed = true;
}

void add_files_elsewhere(IncludeFiles& inc, const Proposal& proposal) {
    add_missing(inc.found, proposal.elsewhere);
}

}  // namespace tessaro
