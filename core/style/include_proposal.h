#pragma once

#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
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

// Where a section's rules lead through include statements and base styles.
struct IncludeReach {
    std::unordered_set<std::string> own;        // names of the style's files (include_group_name)
    std::vector<std::string> elsewhere;         // those of them outside the inc folder's top, in the order reached
    std::vector<std::string> refused;           // names that could lead out of the style folder, as written, each once
    std::vector<OtherStyleFile> other_styles;   // files of other styles, in the order reached
};

// Follows the include statements of a style's files; reads each file once,
// however often it is reached. Cycles end where a file is met again.
class IncludeWalk {
public:
    // Files in `known` are not read again: their statements are taken from
    // there (`known` must outlive the walk).
    explicit IncludeWalk(std::string style_folder, const KnownStatements* known = nullptr);

    // From the section's main rule file through the files it includes, of
    // this style (wherever they lie in it) and of other styles (whose own
    // statements resolve within them), then the section's rule file of each
    // base style and what it includes. A file of a missing style, or named so
    // that it could lead out of the style or styles folder, is listed but not read.
    IncludeReach follow(Section section);

    // The statements of the style's own files that take rules from other
    // styles: those of the section's main rule file, of the given group
    // files, and of the style's files these include. Each statement
    // once over all calls; no file of another style is read.
    std::vector<StatementPlace> leaving(Section section, const std::vector<std::string>& inc_names);

    // The base-style lines of the style's info file.
    std::vector<StatementPlace> base_style_places();

private:
    // A file's path and its statements, as read once: they stay where they are while files are added.
    using FileStatements = KnownStatements::value_type;
    struct Frame {
        const FileStatements* file;
        std::size_t next;
        std::string style;  // empty for the style itself
    };
    struct Walk {
        Section section;
        bool enter_other_styles;
        IncludeReach reach;
        std::unordered_set<std::string> other_seen;
        std::unordered_set<std::string> refused_seen;
        std::vector<Frame> stack;
        std::vector<StatementPlace> leaving;
    };
    enum class StyleIs { Missing, Itself, Other };

    void run(Walk& walk);
    void enter_own(Walk& walk, const std::string& name);
    void enter_other(Walk& walk, const OtherStyleFile& file);
    void push(Walk& walk, const std::string& path, const std::string& style);
    const FileStatements* statements_of(const std::string& path);
    StyleIs style_is(const std::string& name);

    std::string m_style_folder;
    std::string m_inc_folder;
    const KnownStatements* m_known;  // read by others
    KnownStatements m_statements;  // read by the walk
    std::unordered_map<std::string, StyleIs> m_styles;
    std::unordered_set<std::string> m_left;  // statements already given by leaving()
    std::optional<std::vector<BaseStyle>> m_bases;  // the style's base styles, once read
};

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
