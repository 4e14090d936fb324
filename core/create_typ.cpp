#include "create_typ.h"

#include <algorithm>
#include <filesystem>
#include <unordered_set>

#include "conversion.h"
#include "entry_builder.h"
#include "file_io.h"
#include "include_walk.h"
#include "line_writer.h"
#include "point_writer.h"
#include "polygon_writer.h"
#include "style_folder.h"

namespace tessaro {

namespace fs = std::filesystem;

bool stops_the_run(Finding finding) {
    switch (finding) {
        case Finding::NoPointLibrary:
        case Finding::NoLineLibrary:
        case Finding::NoPolygonLibrary:
        case Finding::NoLinesFile:
        case Finding::NoPointsFile:
        case Finding::NoPolygonsFile: return false;
        case Finding::NoSectionChosen:
        case Finding::StyleFolderMissing:
        case Finding::StyleFolderNotFolder:
        case Finding::StyleFolderEmpty:
        case Finding::NoRuleFiles:
        case Finding::NoOutputPath: return true;
    }
    return true;
}

bool CreateTypCheck::can_run() const {
    return std::none_of(findings.begin(), findings.end(), stops_the_run);
}

CreateTypCheck check_create_typ(const CreateTypRequest& request) {
    CreateTypCheck check;
    auto& found = check.findings;
    const auto stop = [&found](Finding f) {
        found.push_back(f);
        return false;
    };
    const auto run_checks = [&]() {
        if (request.libraries != nullptr) {
            const LibraryTexts& libraries = *request.libraries;
            if (libraries[Section::Point].empty()) found.push_back(Finding::NoPointLibrary);
            if (libraries[Section::Line].empty()) found.push_back(Finding::NoLineLibrary);
            if (libraries[Section::Polygon].empty()) found.push_back(Finding::NoPolygonLibrary);
        }
        const auto& on = request.sections;
        if (!on[Section::Point] && !on[Section::Line] && !on[Section::Polygon]) return stop(Finding::NoSectionChosen);
        std::error_code ec;
        const fs::file_status st = fs::status(to_fs_path(request.style_folder), ec);
        if (request.style_folder.empty() || !fs::exists(st)) return stop(Finding::StyleFolderMissing);
        if (!fs::is_directory(st)) return stop(Finding::StyleFolderNotFolder);
        const StyleListing listing = list_style(request.style_folder);
        check.kinds = listing.kinds;
        if (listing.files == 0) return stop(Finding::StyleFolderEmpty);
        // The rule files of base styles are the style's too: mkgmap reads
        // them after its own, so a style of only an info file naming its base is one.
        std::string kinds = listing.kinds;
        for (const BaseStyle& base : base_styles(request.style_folder))
            if (base.found) kinds += list_style(base.folder).kinds;
        if (kinds.empty()) return stop(Finding::NoRuleFiles);
        if (kinds.find('l') == std::string::npos) found.push_back(Finding::NoLinesFile);
        if (kinds.find('p') == std::string::npos) found.push_back(Finding::NoPointsFile);
        if (kinds.find('g') == std::string::npos) found.push_back(Finding::NoPolygonsFile);
        if (request.typ_path.empty()) return stop(Finding::NoOutputPath);
        return true;
    };
    run_checks();
    return check;
}

namespace {

using SectionWriter = void (*)(Conversion&, const std::string&);

SectionWriter writer_of(Section section) {
    switch (section) {
        case Section::Point: return write_points;
        case Section::Line: return write_lines;
        case Section::Polygon: return write_polygons;
    }
    return write_points;
}

// The rule files of the style folder, polygons first, as the draw order and
// the polygon entries open the sections of a TYP text.
constexpr Section RULE_FILE_ORDER[] = {Section::Polygon, Section::Line, Section::Point};

void write_rule_files(Conversion& cv, const CreateTypRequest& request, const std::string& kinds) {
    const auto wanted = [&](Section s) {
        return request.sections[s] && kinds.find(kind_letter(s)) != std::string::npos;
    };
    // The reader's buffers sized once for the largest rule file it will read:
    // grown file by file, each growth would take fresh memory again, and the
    // time to map it.
    std::uintmax_t largest = 0;
    for (Section s : RULE_FILE_ORDER) {
        if (!wanted(s)) continue;
        std::error_code ec;
        const std::uintmax_t size =
            fs::file_size(to_fs_path(rule_file_path(request.style_folder, rule_file_name(s))), ec);
        if (!ec) largest = std::max(largest, size);
    }
    cv.rules.reserve(static_cast<std::size_t>(largest));
    for (Section s : RULE_FILE_ORDER)
        if (wanted(s)) writer_of(s)(cv, rule_file_path(request.style_folder, rule_file_name(s)));
}

// The files of other styles of a section, after its group: a missing style is
// named once, a name that could lead out of the styles folder refused once.
void read_other_styles(Conversion& cv, const CreateTypRequest& request, Section s,
                       std::unordered_set<std::string>& told) {
    for (const OtherStyleFile& file : request.include_files.other_styles[s]) {
        if (!is_safe_other_style_file(file)) {
            const std::string name = file.file + " from " + file.style;
            if (told.insert(name).second) cv.report.failures.push_back({Failure::Kind::UnsafeOtherStyleName, name});
            continue;
        }
        const std::string folder = other_style_folder(request.style_folder, file.style);
        if (!is_folder(folder)) {
            if (told.insert(folder).second)
                cv.report.warnings.push_back({Warning::Kind::OtherStyleMissing, folder, 0, file.style});
            continue;
        }
        writer_of(s)(cv, other_style_path(request.style_folder, file));
    }
}

// Without the other styles' files the statements that lead to them are named,
// as include files that no group took are.
void name_statements_not_followed(Conversion& cv, const CreateTypRequest& request, bool groups_read) {
    IncludeWalk walk(request.style_folder);
    const std::vector<std::string> no_names;
    std::vector<StatementPlace> places;
    for (Section s : ALL_SECTIONS) {
        if (!request.sections[s]) continue;
        for (StatementPlace& place : walk.leaving(s, groups_read ? request.include_files.groups[s] : no_names))
            places.push_back(std::move(place));
    }
    for (StatementPlace& place : walk.base_style_places()) places.push_back(std::move(place));
    for (StatementPlace& place : places)
        cv.report.warnings.push_back(
            {Warning::Kind::IncludeNotFollowed, std::move(place.path), place.statement.line, std::move(place.statement.text)});
}

// The include files of the groups after the rule files: every file of the
// point group, then the line group, then the polygon group, each through its
// section's writer, each group followed by the files the section takes from
// other styles.
void merge_include_files(Conversion& cv, const CreateTypRequest& request) {
    const IncludeFiles& inc = request.include_files;
    bool groups_read = false;
    if (!inc.found.empty()) {
        cv.report.left_out = inc.left_out();
        cv.report.include_groups_empty = inc.groups_empty();
        groups_read = !cv.report.include_groups_empty;
    }
    const std::string folder = include_folder(request.style_folder);
    const std::vector<std::string> no_names;
    std::unordered_set<std::string> told;
    for (Section s : ALL_SECTIONS) {
        for (const std::string& name : groups_read ? inc.groups[s] : no_names) {
            if (!is_plain_file_name(name)) {
                cv.report.failures.push_back({Failure::Kind::UnsafeIncludeName, name, 0, {}});
                continue;
            }
            const std::string path = join_path(folder, name);
            // A sorted file that has gone since yields nothing.
            if (request.sections[s] && file_exists(path)) writer_of(s)(cv, path);
        }
        if (request.sections[s]) read_other_styles(cv, request, s, told);
    }
    if (!inc.other_styles_followed) name_statements_not_followed(cv, request, groups_read);
}

// The first input of the run that is the same file as the output (through
// links, hard links or another spelling of its path), if any.
std::optional<std::string> input_at_output(const CreateTypRequest& request) {
    if (!file_exists(request.typ_path)) return std::nullopt;
    std::vector<std::string> inputs;
    for (Section s : ALL_SECTIONS) inputs.push_back(rule_file_path(request.style_folder, rule_file_name(s)));
    const std::string folder = include_folder(request.style_folder);
    for (const std::string& name : request.include_files.found) inputs.push_back(join_path(folder, name));
    for (Section s : ALL_SECTIONS)
        for (const std::string& name : request.include_files.groups[s]) inputs.push_back(join_path(folder, name));
    for (Section s : ALL_SECTIONS)
        for (const OtherStyleFile& file : request.include_files.other_styles[s])
            if (is_safe_other_style_file(file)) inputs.push_back(other_style_path(request.style_folder, file));
    inputs.insert(inputs.end(), request.other_inputs.begin(), request.other_inputs.end());
    for (const std::string& input : inputs)
        if (same_file(input, request.typ_path)) return input;
    return std::nullopt;
}

}  // namespace

std::string Conversion::library_look(Section section, std::string_view code, std::string_view condition) {
    LibraryLook look = get_code(section, code, condition, libraries[section], include_tag_text);
    if (look.label_dropped) report.label_dropped = true;
    return std::move(look.entry);
}

void Conversion::write_entry(Section section, const std::string& entry) {
    out.append(entry);
    ++report.entries[section];
}

void Conversion::close_rules() {
    if (std::optional<Failure> failure = rules.close()) report.failures.push_back(std::move(*failure));
}

CreateTypReport run_create_typ(const CreateTypRequest& request, const CreateTypCheck& checked, const Yield& yield) {
    CreateTypReport report;
    if (std::optional<std::string> input = input_at_output(request)) {
        report.failures.push_back({Failure::Kind::OutputIsInput, request.typ_path, 0, {}, *input});
        return report;
    }
    const LibraryTexts no_libraries;
    TypText out(request.typ_path, yield);
    if (std::optional<Failure> failure = out.write_header(request.style_folder)) {
        report.failures.push_back(std::move(*failure));
        return report;
    }
    report.started = true;
    report.in_place = out.in_place();
    MtRandom random(request.seed);
    RuleReader rules(yield);
    Conversion cv{request.libraries != nullptr ? *request.libraries : no_libraries,
                  request.include_tag_text, random, out, rules, report};
    write_rule_files(cv, request, checked.kinds);
    merge_include_files(cv, request);
    report.chunks = out.appends();
    if (std::optional<Failure> failure = out.finish()) report.failures.push_back(std::move(*failure));
    else report.written = true;
    return report;
}

}  // namespace tessaro
