#include "style_files.h"

#include <unordered_set>

#include "file_io.h"
#include "include_proposal.h"
#include "style_folder.h"

namespace tessaro {

namespace {

// The rule files of the style folder, polygons first, as the draw order and
// the polygon entries open the sections of a TYP text.
constexpr Section RULE_FILE_ORDER[] = {Section::Polygon, Section::Line, Section::Point};

bool groups_read(const IncludeFiles& inc) {
    return !inc.found.empty() && !inc.groups_empty();
}

class Planner {
public:
    explicit Planner(const CreateTypRequest& request) : m_request(request) {}

    // The rule files, then every file of the point group, then the line group, then the polygon group, each group
    // followed by the files its section takes from other styles.
    StylePlan plan(const std::string& kinds) {
        for (Section s : RULE_FILE_ORDER)
            if (m_request.sections[s] && kinds.find(kind_letter(s)) != std::string::npos)
                m_plan.push_back(StyleFile{s, rule_file_path(m_request.style_folder, rule_file_name(s))});
        for (Section s : ALL_SECTIONS) {
            if (groups_read(m_request.include_files)) include_group(s);
            if (m_request.sections[s]) other_styles(s);
        }
        if (!m_request.include_files.other_styles_followed) statements_not_followed();
        return std::move(m_plan);
    }

private:
    void include_group(Section s) {
        for (const std::string& name : m_request.include_files.groups[s]) {
            std::string path = include_file_path(m_request.style_folder, name);
            if (path.empty()) {
                m_plan.push_back(Failure{Failure::Kind::UnsafeIncludeName, name});
                continue;
            }
            if (!m_request.sections[s]) continue;
            // A sorted file that has gone since yields nothing, but is named.
            if (file_exists(path)) m_plan.push_back(StyleFile{s, std::move(path), StyleFile::Origin::IncludeGroup});
            else m_plan.push_back(Warning{Warning::Kind::IncludeFileGone, std::move(path), 0, name});
        }
    }

    // A missing style is named once, a name that could lead out of the styles folder refused once.
    void other_styles(Section s) {
        for (const OtherStyleFile& other : m_request.include_files.other_styles[s]) {
            if (!is_safe_other_style_file(other)) {
                const std::string name = other.file + " from " + other.style;
                if (m_told.insert(name).second) m_plan.push_back(Failure{Failure::Kind::UnsafeOtherStyleName, name});
                continue;
            }
            const std::string folder = other_style_folder(m_request.style_folder, other.style);
            if (!is_folder(folder)) {
                if (m_told.insert(folder).second) m_plan.push_back(Warning{Warning::Kind::OtherStyleMissing, folder, 0, other.style});
                continue;
            }
            m_plan.push_back(StyleFile{s, other_style_path(m_request.style_folder, other), StyleFile::Origin::OtherStyle});
        }
    }

    // Without the other styles' files the statements that lead to them are
    // named, as include files that no group took are.
    void statements_not_followed() {
        const IncludeFiles& inc = m_request.include_files;
        const auto* groups = groups_read(inc) ? &inc.groups : nullptr;
        for (StatementPlace& place : statements_leaving(m_request.style_folder, m_request.sections, groups))
            m_plan.push_back(Warning{Warning::Kind::IncludeNotFollowed, std::move(place.path), place.statement.line,
                                     std::move(place.statement.text)});
    }

    const CreateTypRequest& m_request;
    StylePlan m_plan;
    std::unordered_set<std::string> m_told;  // the other styles named so far
};

}  // namespace

StylePlan plan_style_files(const CreateTypRequest& request, const std::string& kinds) {
    return Planner(request).plan(kinds);
}

std::optional<std::string> input_at(const CreateTypRequest& request, const std::string& path) {
    if (!file_exists(path)) return std::nullopt;
    std::vector<std::string> inputs;
    for (Section s : ALL_SECTIONS) inputs.push_back(rule_file_path(request.style_folder, rule_file_name(s)));
    const auto add_include_file = [&](const std::string& name) {
        if (std::string input = include_file_path(request.style_folder, name); !input.empty()) inputs.push_back(std::move(input));
    };
    for (const std::string& name : request.include_files.found) add_include_file(name);
    for (Section s : ALL_SECTIONS)
        for (const std::string& name : request.include_files.groups[s]) add_include_file(name);
    for (Section s : ALL_SECTIONS)
        for (const OtherStyleFile& file : request.include_files.other_styles[s])
            if (is_safe_other_style_file(file)) inputs.push_back(other_style_path(request.style_folder, file));
    inputs.insert(inputs.end(), request.other_inputs.begin(), request.other_inputs.end());
    // The info and version files, read for the style's bases and by mkgmap; each base style's info and rule files.
    inputs.push_back(join_path(request.style_folder, "info"));
    inputs.push_back(join_path(request.style_folder, "version"));
    for (const BaseStyle& base : base_styles(request.style_folder)) {
        if (!base.found) continue;
        inputs.push_back(join_path(base.folder, "info"));
        for (Section s : ALL_SECTIONS) inputs.push_back(rule_file_path(base.folder, rule_file_name(s)));
    }
    for (const std::string& input : inputs)
        if (same_file(path, input)) return input;
    return std::nullopt;
}

}  // namespace tessaro
