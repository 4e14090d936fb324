#include "include_proposal.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "file_io.h"
#include "style_folder.h"
#include "text_util.h"

namespace tessaro {

namespace {

std::vector<IncludeStatement> info_base_style_lines(const std::string& style_folder) {
    std::string text;
    std::error_code error;
    if (!read_file(join_path(style_folder, "info"), text, error)) return {};
    return base_style_lines(text);
}

void add_bases(const std::string& style_folder, const std::string& folder, std::unordered_set<std::string>& seen,
               std::vector<BaseStyle>& out) {
    for (const IncludeStatement& line : info_base_style_lines(folder)) {
        if (!seen.insert(line.style).second) continue;
        BaseStyle base{line.style, {}, false};
        if (is_safe_style_name(base.name)) {
            base.folder = other_style_folder(style_folder, base.name);
            // A base that is the style itself adds nothing it does not have.
            if (same_file(base.folder, style_folder)) continue;
            base.found = is_folder(base.folder);
        }
        out.push_back(base);
        if (base.found) add_bases(style_folder, base.folder, seen, out);
    }
}

// Whether a file outside the include folder belongs in a group, as the scan decides for the files of the include
// folder: it defines types. One that cannot be read goes in too, so that the run names it.
bool belongs_in_group(const std::string& path) {
    if (!is_regular_file(path)) return false;
    std::string text;
    std::error_code error;
    return !read_file(path, text, error) || defines_types(text);
}

// Where a section's rules lead through include statements and base styles.
struct IncludeReach {
    std::unordered_set<std::string> own;        // names of the style's files (include_group_name)
    std::vector<std::string> elsewhere;         // those of them outside the inc folder's top, in the order reached
    std::vector<std::string> refused;           // names that could lead out of the style folder, as written, each once
    std::vector<OtherStyleFile> other_styles;   // files of other styles, in the order reached
};

// Follows the include statements of a style's files; reads each file once, however often it is reached. Cycles end
// where a file is met again. Files in `known` are not read again: their statements are taken from there (`known`
// must outlive the walk).
class IncludeWalk {
public:
    IncludeWalk(std::string style_folder, const KnownStatements* known)
        : m_style_folder(std::move(style_folder)), m_inc_folder(include_folder(m_style_folder)), m_known(known) {}

    // From the section's main rule file through the files it includes, of this style (wherever they lie in it) and of
    // other styles (whose own statements resolve within them), then the section's rule file of each base style and
    // what it includes. A file of a missing style, or named so that it could lead out of the style or styles folder,
    // is listed but not read.
    IncludeReach follow(Section section) {
        Walk walk{section, true, {}, {}, {}, {}, {}};
        push(walk, rule_file_path(m_style_folder, rule_file_name(section)), {});
        run(walk);
        // The info file is read once for all sections.
        if (!m_bases) m_bases = base_styles(m_style_folder);
        for (const BaseStyle& base : *m_bases) {
            if (!base.found) {
                // Listed, so that the run names the missing style or refuses the name.
                enter_other(walk, {base.name, rule_file_name(section)});
                continue;
            }
            const std::string path = rule_file_path(base.folder, rule_file_name(section));
            if (!is_regular_file(path)) continue;
            enter_other(walk, {base.name, path.substr(base.folder.size() + 1)});
            run(walk);
        }
        return std::move(walk.reach);
    }

    // What statements_leaving finds from the section's main rule file and the given group files; each
    // statement once over all calls.
    std::vector<StatementPlace> leaving(Section section, const std::vector<std::string>& inc_names) {
        Walk walk{section, false, {}, {}, {}, {}, {}};
        push(walk, rule_file_path(m_style_folder, rule_file_name(section)), {});
        run(walk);
        for (const std::string& given : inc_names) {
            const std::optional<std::string> name = include_group_name(given);
            if (!name) continue;
            enter_own(walk, *name);
            run(walk);
        }
        return std::move(walk.leaving);
    }

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

    void run(Walk& walk) {
        while (!walk.stack.empty()) {
            Frame& top = walk.stack.back();
            if (top.next == top.file->second.size()) {
                walk.stack.pop_back();
                continue;
            }
            // The statements stay where they are while frames come and go.
            const IncludeStatement& statement = top.file->second[top.next++];
            if (!top.style.empty()) {
                // Within another style a file of "this style" is one of that style.
                enter_other(walk, {statement.style.empty() ? top.style : statement.style, statement.path});
            } else if (statement.style.empty()) {
                // A name that could lead out is listed, not read: the run refuses it.
                if (const std::optional<std::string> name = included_file_name(statement.path)) enter_own(walk, *name);
                else if (walk.refused_seen.insert(statement.path).second) walk.reach.refused.push_back(statement.path);
            } else if (walk.enter_other_styles) {
                enter_other(walk, {statement.style, statement.path});
            } else if (m_left.insert(top.file->first + '\n' + std::to_string(statement.line) + '\n' + statement.style +
                                     '\n' + statement.path)
                           .second) {
                walk.leaving.push_back({top.file->first, statement});
            }
        }
    }

    void enter_own(Walk& walk, const std::string& name) {
        // The section's own rule file is where the walk began.
        if (name.starts_with("./") && std::string_view(name).substr(2) == rule_file_name(walk.section)) return;
        if (!walk.reach.own.insert(name).second) return;
        const bool plain = is_plain_file_name(name);
        if (!plain) walk.reach.elsewhere.push_back(name);
        push(walk, plain ? join_path(m_inc_folder, name) : include_file_path(m_style_folder, name), {});
    }

    void enter_other(Walk& walk, const OtherStyleFile& given) {
        // "./inc/x" and "inc//x" are "inc/x" there too.
        OtherStyleFile file = given;
        if (std::optional<std::string> path = normal_path_in_style(file.file)) file.file = std::move(*path);
        if (!walk.other_seen.insert(file.style + '\n' + file.file).second) return;
        // A name that could lead out is listed as a missing style's file is: not read.
        switch (is_safe_other_style_file(file) ? style_is(file.style) : StyleIs::Missing) {
            case StyleIs::Missing: walk.reach.other_styles.push_back(file); return;
            case StyleIs::Itself: {
                // Taken "from" the style itself: its include files are its own,
                // and the section's own rule file is where the walk began.
                const std::optional<std::string> name = included_file_name(file.file);
                if (name && is_plain_file_name(*name)) enter_own(walk, *name);
                else if (to_lower(file.file) != rule_file_name(walk.section)) {
                    walk.reach.other_styles.push_back(file);
                    push(walk, other_style_path(m_style_folder, file), {});
                }
                return;
            }
            case StyleIs::Other:
                walk.reach.other_styles.push_back(file);
                push(walk, other_style_path(m_style_folder, file), file.style);
                return;
        }
    }

    void push(Walk& walk, const std::string& path, const std::string& style) {
        walk.stack.push_back({statements_of(path), 0, style});
    }

    const FileStatements* statements_of(const std::string& path) {
        // Looked up, not copied: a style may have a hundred thousand include files.
        if (m_known != nullptr)
            if (const auto given = m_known->find(path); given != m_known->end()) return &*given;
        auto known = m_statements.find(path);
        if (known == m_statements.end()) known = m_statements.emplace(path, read_include_statements(path)).first;
        return &*known;
    }

    StyleIs style_is(const std::string& name) {
        auto known = m_styles.find(name);
        if (known != m_styles.end()) return known->second;
        const std::string folder = other_style_folder(m_style_folder, name);
        const StyleIs is = !is_folder(folder)                    ? StyleIs::Missing
                           : same_file(folder, m_style_folder) ? StyleIs::Itself
                                                               : StyleIs::Other;
        return m_styles.emplace(name, is).first->second;
    }

    std::string m_style_folder;
    std::string m_inc_folder;
    const KnownStatements* m_known;  // read by others
    KnownStatements m_statements;  // read by the walk
    std::unordered_map<std::string, StyleIs> m_styles;
    std::unordered_set<std::string> m_left;  // statements already given by leaving()
    std::optional<std::vector<BaseStyle>> m_bases;  // the style's base styles, once read
};

}  // namespace

std::vector<BaseStyle> base_styles(const std::string& style_folder) {
    std::vector<BaseStyle> out;
    std::unordered_set<std::string> seen;
    add_bases(style_folder, style_folder, seen, out);
    return out;
}

std::vector<StatementPlace> statements_leaving(const std::string& style_folder, const PerSection<bool>& sections,
                                               const PerSection<std::vector<std::string>>* groups) {
    IncludeWalk walk(style_folder, nullptr);
    const std::vector<std::string> no_names;
    std::vector<StatementPlace> out;
    for (Section s : ALL_SECTIONS)
        if (sections[s])
            for (StatementPlace& place : walk.leaving(s, groups != nullptr ? (*groups)[s] : no_names))
                out.push_back(std::move(place));
    for (IncludeStatement& line : info_base_style_lines(style_folder))
        out.push_back({join_path(style_folder, "info"), std::move(line)});
    return out;
}

Proposal propose_groups(const std::string& style_folder, const std::vector<std::string>& found,
                        const KnownStatements* known) {
    Proposal proposal;
    // The include statements of each file are read once for all sections: the main files often include the same ones.
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
            if (std::ranges::find(proposal.refused, name) == proposal.refused.end()) proposal.refused.push_back(name);
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

}  // namespace tessaro
