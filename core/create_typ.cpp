#include "create_typ.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <future>
#include <unordered_set>

#include "conversion.h"
#include "entry_builder.h"
#include "file_io.h"
#include "include_walk.h"
#include "line_writer.h"
#include "output_file.h"
#include "point_writer.h"
#include "polygon_writer.h"
#include "style_folder.h"
#include "text_util.h"
#include "typ_charset.h"
#include "typ_reader.h"

namespace tessaro {

namespace fs = std::filesystem;

bool stops_the_run(Finding finding) {
    switch (finding) {
        case Finding::NoLineLibrary:
        case Finding::NoPolygonLibrary:
        case Finding::NoLinesFile:
        case Finding::NoPointsFile:
        case Finding::NoPolygonsFile: return false;
        case Finding::NoLibraryFiles:
        case Finding::NoPointLibrary:
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
        const auto& on = request.sections;
        if (request.libraries != nullptr) {
            // A library folder that holds nothing is a wrong folder, not a
            // wish for built-in looks; a point without its library gets no
            // entry at all, so the run would drop every point.
            const LibraryTexts& libraries = *request.libraries;
            const auto lacks = [&](Section s) { return on[s] && libraries[s].empty(); };
            if (std::all_of(ALL_SECTIONS.begin(), ALL_SECTIONS.end(), [&](Section s) { return libraries[s].empty(); }) &&
                std::any_of(ALL_SECTIONS.begin(), ALL_SECTIONS.end(), [&](Section s) { return on[s]; }))
                return stop(Finding::NoLibraryFiles);
            if (lacks(Section::Point)) return stop(Finding::NoPointLibrary);
            if (lacks(Section::Line)) found.push_back(Finding::NoLineLibrary);
            if (lacks(Section::Polygon)) found.push_back(Finding::NoPolygonLibrary);
        }
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

bool rule_file_wanted(const CreateTypRequest& request, const std::string& kinds, Section s) {
    return request.sections[s] && kinds.find(kind_letter(s)) != std::string::npos;
}

// The main rule files of a run, with their sizes (0 for one that cannot be
// asked): which are written on threads of their own, and how large the
// reader's buffers are made (once for the largest, as grown file by file each
// growth would take fresh memory again).
struct MainFile {
    Section section;
    std::string path;
    std::uintmax_t size = 0;
};

// The files of other styles of a section, after its group: a missing style is
// named once, a name that could lead out of the styles folder refused once.
void visit_other_styles(const CreateTypRequest& request, Section s, const StyleFileVisit& visit,
                        StyleFileNotes& notes, std::unordered_set<std::string>& told) {
    for (const OtherStyleFile& file : request.include_files.other_styles[s]) {
        if (!is_safe_other_style_file(file)) {
            const std::string name = file.file + " from " + file.style;
            if (told.insert(name).second) notes.failures.push_back({Failure::Kind::UnsafeOtherStyleName, name});
            continue;
        }
        const std::string folder = other_style_folder(request.style_folder, file.style);
        if (!is_folder(folder)) {
            if (told.insert(folder).second)
                notes.warnings.push_back({Warning::Kind::OtherStyleMissing, folder, 0, file.style});
            continue;
        }
        visit(s, other_style_path(request.style_folder, file));
    }
}

// Without the other styles' files the statements that lead to them are named,
// as include files that no group took are.
void name_statements_not_followed(const CreateTypRequest& request, bool groups_read, std::vector<Warning>& warnings) {
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
        warnings.push_back(
            {Warning::Kind::IncludeNotFollowed, std::move(place.path), place.statement.line, std::move(place.statement.text)});
}

// The TYP text an update keeps: its bytes and what the reader makes of them.
struct OldText {
    FileStamp stamp;  // as it was before it was read: a change after that is not overwritten
    std::string bytes;
    TypDocument doc;
};

// The old text of an update, if there is one to update (a device is written
// as by a fresh run). False, with the failure in the report, when the run must
// stop: it cannot be read, or it has errors and is not to be replaced.
bool read_old_text(const CreateTypRequest& request, CreateTypReport& report, std::optional<OldText>& old) {
    const OutputTarget target = resolve_output(request.typ_path);
    if (target.kind != OutputTarget::Kind::Replace || !is_regular_file(target.file)) return true;
    OldText text;
    text.stamp = stamp_of(target.file);
    std::string error;
    if (!read_file(target.file, text.bytes, error)) {
        report.failures.push_back({Failure::Kind::Read, request.typ_path, 0, error});
        return false;
    }
    text.doc = read_typ_text(text.bytes);
    if (has_error(text.doc)) {
        report.update.problems = std::move(text.doc.problems);
        if (request.replace_broken) {
            report.update.replaced_broken = true;
            return true;
        }
        report.failures.push_back({Failure::Kind::OldTextBroken, request.typ_path});
        return false;
    }
    old = std::move(text);
    return true;
}

}  // namespace

namespace {

// An include file of a section's group: its name there and its path, empty
// when the name could lead out of the style folder (include_file_path).
struct GroupFile {
    std::string name;
    std::string path;
};

std::vector<GroupFile> include_group_files(const CreateTypRequest& request, Section section) {
    std::vector<GroupFile> files;
    for (const std::string& name : request.include_files.groups[section])
        files.push_back({name, include_file_path(request.style_folder, name)});
    return files;
}

}  // namespace

void visit_rule_files(const CreateTypRequest& request, const std::string& kinds, const StyleFileVisit& visit) {
    for (Section s : RULE_FILE_ORDER)
        if (rule_file_wanted(request, kinds, s)) visit(s, rule_file_path(request.style_folder, rule_file_name(s)));
}

namespace {

// Room made ahead for a section's held text at most.
constexpr std::uintmax_t MOST_HELD_AHEAD = 64 * 1024 * 1024;

// Room for the looks of a rule file of `bytes`: three per 100 bytes, as a
// style with many types has, so that no look is moved as they grow (a move
// touches fresh memory); what is never filled is never touched. 65,536 at
// most: a huge file is not to cost a huge reservation, and one this size
// comes from memory the program has used before.
std::size_t looks_ahead(std::uintmax_t bytes) {
    constexpr std::uintmax_t MOST_LOOKS_AHEAD = 65'536;
    return static_cast<std::size_t>(std::min<std::uintmax_t>(3 * bytes / 100, MOST_LOOKS_AHEAD)) + 64;
}

// An update pairs the old text's entries with the looks of the new ones.
bool keeps_looks(const CreateTypRequest& request) {
    return request.keep_looks || request.update;
}

// A main rule file (or, in a large style, an include group) written apart
// from the run's text: its entries held, its findings in a report of its own,
// both merged into the run's in the file order. The sections' writers share
// nothing: each has its own types, look tables, colours and random numbers,
// and reads only its own section's library.
struct SideWrite {
    SideWrite(const CreateTypRequest& request, const LibraryTexts& libraries, LabelCoding labels, bool keep_statements,
              std::uintmax_t file_size)
        : random(request.seed), text(std::string(), Yield{}, request.pages), reader(),
          cv{libraries, request.include_tag_text, random, text, &reader, report} {
        cv.pages = request.pages;
        // A large style's entries come to about a fifth of its rule text's bytes: room for a quarter.
        text.hold(static_cast<std::size_t>(std::min<std::uintmax_t>(file_size / 4, MOST_HELD_AHEAD)));
        cv.classic_looks = request.classic_looks;
        cv.labels = labels;
        cv.keep_looks = keeps_looks(request);
        if (cv.keep_looks) report.looks.reserve(looks_ahead(file_size));
        if (keep_statements) cv.statements = &statements;
    }
    SideWrite(const SideWrite&) = delete;
    SideWrite& operator=(const SideWrite&) = delete;

    MtRandom random;
    TypText text;
    RuleReader reader;
    CreateTypReport report;
    KnownStatements statements;
    Conversion cv;
    std::future<void> done;
};

// A main rule file from this size on is written on a thread of its own: a
// smaller one is written in its turn, read ahead while the file before it is
// (the threads of a large file's writer and reader would only take the
// processors from that).
constexpr std::uintmax_t SIDE_FROM = 4 * 1024 * 1024;

// Adds what a section written apart found to the run, as if the run had written it in its place.
void merge_side(Conversion& cv, Section section, SideWrite& side) {
    cv.out.append_held(side.text);
    CreateTypReport& report = cv.report;
    CreateTypReport& part = side.report;
    std::move(part.failures.begin(), part.failures.end(), std::back_inserter(report.failures));
    for (std::size_t i = 0; i < part.warnings.size(); ++i) {
        Warning& w = part.warnings[i];
        // The run's one warning of lost labels counts them all.
        if (side.cv.lost_labels_warning == i) {
            if (cv.lost_labels_warning) {
                report.warnings[*cv.lost_labels_warning].count += w.count;
                continue;
            }
            cv.lost_labels_warning = report.warnings.size();
        } else if (w.kind == Warning::Kind::LibraryEntryBroken &&
                   std::find(report.warnings.begin(), report.warnings.end(), w) != report.warnings.end()) {
            continue;  // said once for each broken entry
        }
        report.warnings.push_back(std::move(w));
    }
    std::move(part.looks.begin(), part.looks.end(), std::back_inserter(report.looks));
    for (std::size_t i = 0; i < report.look_counts.size(); ++i) report.look_counts[i] += part.look_counts[i];
    for (Section s : ALL_SECTIONS) report.entries[s] += part.entries[s];
    report.label_dropped = report.label_dropped || part.label_dropped;
    cv.types[section] = std::move(side.cv.types[section]);
    cv.tag_looks[section] = std::move(side.cv.tag_looks[section]);
    if (section == Section::Polygon) cv.calm_colours.continue_areas(side.cv.calm_colours);
    if (section == Section::Line) cv.calm_colours.continue_lines(side.cv.calm_colours);
    if (cv.statements != nullptr)
        cv.statements->take_all(std::move(side.statements));
}

// Hands what the run's files of a section left to a section to be written
// apart after them (merge_side takes it back): its types, tag looks and colours.
void hand_section(Conversion& cv, Section section, SideWrite& side) {
    side.cv.types[section] = std::move(cv.types[section]);
    side.cv.tag_looks[section] = std::move(cv.tag_looks[section]);
    side.cv.calm_colours = cv.calm_colours;
}

// Waits for a section written apart, serving the event loop meanwhile. The
// run's text is complete up to it: the section writes into it from now on,
// and the disk can start on that while it is still being written.
void wait_for(Conversion& cv, SideWrite& side, const Yield& yield) {
    if (!cv.out.holding()) side.text.relay_to(cv.out);
    while (side.done.wait_for(std::chrono::milliseconds(yield ? 20 : 1000)) != std::future_status::ready) yield_to(yield);
    side.done.get();
}

using SideWrites = std::vector<std::unique_ptr<SideWrite>>;

// The main rule files: each large one after the first written on a thread of
// its own while the others are written in turn, each merged into the run's
// text and report in its place. The event loop is served meanwhile. The
// files written apart are left in `merged` (none when the style is small).
void write_main_files(Conversion& cv, const CreateTypRequest& request, const std::vector<MainFile>& files,
                      std::size_t largest, const Yield& yield, SideWrites& merged) {
    const bool keep_statements = cv.statements != nullptr;
    SideWrites sides(files.size());
    std::vector<std::string> in_turn;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const Section section = files[i].section;
        const std::string& path = files[i].path;
        if (i == 0 || files[i].size < SIDE_FROM) {
            in_turn.push_back(path);
            continue;
        }
        sides[i] = std::make_unique<SideWrite>(request, cv.libraries, cv.labels, keep_statements, files[i].size);
        sides[i]->done = std::async(std::launch::async, [&cv = sides[i]->cv, section, &path] { writer_of(section)(cv, path); });
    }
    cv.files->expect(std::move(in_turn), keep_statements, largest);
    for (std::size_t i = 0; i < files.size(); ++i) {
        const MainFile& file = files[i];
        if (!sides[i]) {
            writer_of(file.section)(cv, file.path);
            continue;
        }
        wait_for(cv, *sides[i], yield);
        merge_side(cv, file.section, *sides[i]);
        merged.push_back(std::move(sides[i]));
    }
}

}  // namespace

namespace {

bool groups_read(const IncludeFiles& inc) {
    return !inc.found.empty() && !inc.groups_empty();
}

// The files of a section's include group, then those it takes from other
// styles (`told`: the other styles named so far).
void visit_include_group(const CreateTypRequest& request, Section s, const StyleFileVisit& visit, StyleFileNotes& notes,
                         std::unordered_set<std::string>& told) {
    if (groups_read(request.include_files)) {
        for (const GroupFile& file : include_group_files(request, s)) {
            if (file.path.empty()) {
                notes.failures.push_back({Failure::Kind::UnsafeIncludeName, file.name, 0, {}});
                continue;
            }
            if (!request.sections[s]) continue;
            // A sorted file that has gone since yields nothing, but is named.
            if (file_exists(file.path)) visit(s, file.path);
            else notes.warnings.push_back({Warning::Kind::IncludeFileGone, file.path, 0, file.name});
        }
    }
    if (request.sections[s]) visit_other_styles(request, s, visit, notes, told);
}

// What the include phase does for a section, in order: each file written
// after the notes made before it (as many of `warnings` and `failures`).
struct IncludeGroupPlan {
    struct Step {
        std::string path;
        std::size_t warnings = 0;
        std::size_t failures = 0;
    };
    std::vector<Step> steps;
    std::vector<Warning> warnings;
    std::vector<Failure> failures;
};

void write_include_group(Conversion& cv, Section section, IncludeGroupPlan& plan) {
    std::size_t warned = 0;
    std::size_t failed = 0;
    const auto note_until = [&](std::size_t warnings, std::size_t failures) {
        for (; warned < warnings; ++warned) cv.report.warnings.push_back(std::move(plan.warnings[warned]));
        for (; failed < failures; ++failed) cv.report.failures.push_back(std::move(plan.failures[failed]));
    };
    for (const IncludeGroupPlan::Step& step : plan.steps) {
        note_until(step.warnings, step.failures);
        writer_of(section)(cv, step.path);
    }
    note_until(plan.warnings.size(), plan.failures.size());
}

// The include phase, as visit_include_files goes: each section's group in
// turn, or, in a large style (`apart`), each group after the first written on
// a thread of its own and merged in its place. The sections share nothing
// there: types, tag looks and colours are each section's own, and each line
// or polygon file starts its random numbers anew.
void write_include_files(Conversion& cv, const CreateTypRequest& run, ReadAhead& files, std::size_t largest, bool apart,
                         const Yield& yield) {
    PerSection<IncludeGroupPlan> plans;
    std::unordered_set<std::string> told;
    for (Section s : ALL_SECTIONS) {
        IncludeGroupPlan& plan = plans[s];
        StyleFileNotes notes{plan.failures, plan.warnings};
        visit_include_group(run, s, [&plan](Section, const std::string& path) {
            plan.steps.push_back({path, plan.warnings.size(), plan.failures.size()});
        }, notes, told);
    }
    PerSection<std::unique_ptr<SideWrite>> sides;
    std::vector<std::string> in_turn;
    bool first = true;
    for (Section s : ALL_SECTIONS) {
        IncludeGroupPlan& plan = plans[s];
        if (plan.steps.empty()) continue;
        if (first || !apart) {
            first = false;
            for (const IncludeGroupPlan::Step& step : plan.steps) in_turn.push_back(step.path);
            continue;
        }
        sides[s] = std::make_unique<SideWrite>(run, cv.libraries, cv.labels, false, 0);
        SideWrite& side = *sides[s];
        hand_section(cv, s, side);
        side.done = std::async(std::launch::async, [&cv = side.cv, s, &plan] { write_include_group(cv, s, plan); });
    }
    files.expect(std::move(in_turn), false, largest);
    for (Section s : ALL_SECTIONS) {
        if (!sides[s]) {
            write_include_group(cv, s, plans[s]);
            continue;
        }
        wait_for(cv, *sides[s], yield);
        merge_side(cv, s, *sides[s]);
    }
    if (!run.include_files.other_styles_followed)
        name_statements_not_followed(run, groups_read(run.include_files), cv.report.warnings);
}

}  // namespace

void visit_include_files(const CreateTypRequest& request, const StyleFileVisit& visit, StyleFileNotes& notes) {
    // Every file of the point group, then the line group, then the polygon
    // group, each group followed by the files its section takes from other styles.
    std::unordered_set<std::string> told;
    for (Section s : ALL_SECTIONS) visit_include_group(request, s, visit, notes, told);
    if (!request.include_files.other_styles_followed)
        name_statements_not_followed(request, groups_read(request.include_files), notes.warnings);
}

void visit_style_files(const CreateTypRequest& request, const std::string& kinds, const StyleFileVisit& visit,
                       StyleFileNotes& notes) {
    visit_rule_files(request, kinds, visit);
    visit_include_files(request, visit, notes);
}

std::optional<std::string> input_at(const CreateTypRequest& request, const std::string& path) {
    const SameFileAs same(path);
    if (!same.exists()) return std::nullopt;
    std::vector<std::string> inputs;
    for (Section s : ALL_SECTIONS) inputs.push_back(rule_file_path(request.style_folder, rule_file_name(s)));
    const std::string folder = include_folder(request.style_folder);
    const auto add_include_file = [&](const std::string& name) {
        std::string input = is_plain_file_name(name) ? join_path(folder, name) : include_file_path(request.style_folder, name);
        if (!input.empty()) inputs.push_back(std::move(input));
    };
    for (const std::string& name : request.include_files.found) add_include_file(name);
    for (Section s : ALL_SECTIONS)
        for (const std::string& name : request.include_files.groups[s]) add_include_file(name);
    for (Section s : ALL_SECTIONS)
        for (const OtherStyleFile& file : request.include_files.other_styles[s])
            if (is_safe_other_style_file(file)) inputs.push_back(other_style_path(request.style_folder, file));
    inputs.insert(inputs.end(), request.other_inputs.begin(), request.other_inputs.end());
    // The info and version files, read for the style's bases and by mkgmap;
    // each base style's info and rule files.
    inputs.push_back(join_path(request.style_folder, "info"));
    inputs.push_back(join_path(request.style_folder, "version"));
    for (const BaseStyle& base : base_styles(request.style_folder)) {
        if (!base.found) continue;
        inputs.push_back(join_path(base.folder, "info"));
        for (Section s : ALL_SECTIONS) inputs.push_back(rule_file_path(base.folder, rule_file_name(s)));
    }
    for (const std::string& input : inputs)
        if (same(input)) return input;
    return std::nullopt;
}

std::string Conversion::library_look(Section section, std::string_view code, std::string_view condition,
                                     std::string_view type_code) {
    LibraryLook look = get_code(section, code, condition, libraries[section], include_tag_text, !classic_looks, labels);
    if (look.label_dropped) report.label_dropped = true;
    if (look.label_lost) note_lost_label(section, type_code.empty() ? code : type_code);
    // Said once for each broken entry, however many codes lead to it.
    if (look.broken && std::find(report.warnings.begin(), report.warnings.end(), *look.broken) == report.warnings.end())
        report.warnings.push_back(std::move(*look.broken));
    return std::move(look.entry);
}

std::string Conversion::label(Section section, std::string_view code, std::string_view text) {
    CodePageText made = make_label(text, labels);
    if (made.lost) note_lost_label(section, code);
    return std::move(made.bytes);
}

std::string Conversion::rule_text_label(Section section, std::string_view code, std::string_view text) {
    if (classic_looks || include_tag_text) return label(section, code, text);
    return label(section, code, rule_label(text));
}

void Conversion::note_lost_label(Section section, std::string_view code) {
    if (lost_labels_warning) {
        ++report.warnings[*lost_labels_warning].count;
        return;
    }
    lost_labels_warning = report.warnings.size();
    Warning w{Warning::Kind::LabelNotInCodePage, {}, 0, std::string(code)};
    w.section = section;
    w.count = 1;
    w.code_page = labels.code_page;
    report.warnings.push_back(std::move(w));
}

bool Conversion::new_type(Section section, const RuleItem& item, const std::string& path) {
    if (!item.value) {
        report.warnings.push_back({Warning::Kind::CodeNotHex, path, item.line, std::string(item.code)});
        return false;
    }
    return types[section].insert(code_typ_type(section, *item.value));
}

std::optional<std::string> Conversion::look_by_tags(Section section, std::string_view code, const RuleItem& item,
                                                    std::string_view label, EntryLook& look) {
    if (classic_looks) return std::nullopt;
    std::unique_ptr<TagLooks>& looks = tag_looks[section];
    if (!looks) looks = std::make_unique<TagLooks>(libraries[section]);
    if (looks->empty()) return std::nullopt;
    const std::optional<TagMatch> match = looks->best(positive_tags(item.before));
    if (!match) return std::nullopt;
    std::string entry = library_look(section, match->library_code, label, code);
    const std::size_t first_line_end = entry.find_first_of("\r\n");
    if (entry.empty() || first_line_end == std::string::npos) return std::nullopt;
    look.source = LookSource::Tags;
    look.library_code = match->library_code;
    look.matched = match->matched;
    return std::string(code) + entry.substr(first_line_end);
}

void Conversion::write_entry(Section section, std::string_view entry, EntryLook look) {
    out.append(entry);
    ++report.entries[section];
    ++report.look_counts[static_cast<std::size_t>(look.source)];
    if (!keep_looks) return;
    // The code as the entry writes it after "Type=".
    const std::size_t type = entry.find("Type=");
    if (type != std::string_view::npos) {
        const std::size_t start = type + 5;
        look.code = std::string(entry.substr(start, entry.find_first_of("\r\n", start) - start));
    }
    look.section = section;
    report.looks.push_back(std::move(look));
}

void Conversion::open_rules(const std::string& path) {
    rules_path = path;
    if (files != nullptr) rules = &files->open(path);
    else rules->open(path, RuleReader::Items::Rules, statements != nullptr);
}

void Conversion::close_rules() {
    std::optional<Failure> failure = rules->close();
    for (Warning& fault : rules->take_faults()) report.warnings.push_back(std::move(fault));
    if (failure) report.failures.push_back(std::move(*failure));
    if (statements == nullptr) return;
    // A file whose statements could not be kept whole is read again by the include walk.
    if (std::optional<std::vector<IncludeStatement>> kept = rules->take_statements())
        statements->set(rules_path, std::move(*kept));
}

EntryLook Conversion::entry_look(LookSource source, const RuleItem& item) const {
    // A report line, not the rule file: the condition is cut short.
    constexpr std::size_t MAX_CONDITION = 200;
    EntryLook look;
    look.source = source;
    if (keep_looks) look.condition = std::string(trim_blanks(item.before).substr(0, MAX_CONDITION));
    return look;
}

// The old text with the fresh run's entries of the types it lacks, in place of the fresh text.
void write_update(const CreateTypRequest& request, const OldText& old, const Conversion& cv, TypText& out,
                  CreateTypReport& report) {
    // Types missing for a file that could not be read, or read otherwise
    // than mkgmap reads it, must not cost the map maker the entries of
    // those types (unless forced, for faults).
    const bool misread = std::ranges::any_of(report.warnings, is_misread);
    const bool held = request.prune && report.failures.empty() && misread && !request.replace_broken;
    const bool prune = request.prune && report.failures.empty() && !held;
    const FreshRun fresh{out.held(), report.looks, cv.types, request.sections};
    const bool wide = is_wide_charset(old.doc.charset);
    const std::string old_utf8 = wide ? decode_typ_text(old.bytes).utf8 : std::string();
    UpdatedText updated = update_typ_text(wide ? std::string_view(old_utf8) : std::string_view(old.bytes), old.doc, fresh, prune);
    out.write_instead(wide ? encode_wide(updated.text, old.doc.charset) : updated.text);
    report.looks = std::move(updated.looks);
    report.look_counts = count_looks(report.looks);
    report.entries = updated.entries;
    report.update = std::move(updated.update);
    report.update.prune_held_by_faults = held;
}

CreateTypReport run_create_typ(const CreateTypRequest& request, const CreateTypCheck& checked, const Yield& yield) {
    CreateTypReport report;
    if (std::optional<std::string> input = input_at(request, request.typ_path)) {
        report.failures.push_back({Failure::Kind::OutputIsInput, request.typ_path, 0, {}, *input});
        return report;
    }
    std::optional<OldText> old;
    if (request.update && !read_old_text(request, report, old)) return report;
    const LibraryTexts no_libraries;
    TypText out(request.typ_path, yield, request.pages);
    // The new entries of an update go into the old text: their labels as its own are.
    report.labels = old ? label_coding(old->doc) : request.labels;
    if (old) {
        out.hold();
        out.expect(old->stamp);
    }
    if (std::optional<Failure> failure = out.write_header(request.style_folder, report.labels.code_page)) {
        report.failures.push_back(std::move(*failure));
        return report;
    }
    report.started = true;
    report.in_place = out.in_place();
    MtRandom random(request.seed);
    std::vector<MainFile> main_files;
    visit_rule_files(request, checked.kinds, [&main_files](Section s, const std::string& path) {
        std::error_code ec;
        const std::uintmax_t size = fs::file_size(to_fs_path(path), ec);
        main_files.push_back({s, path, ec ? 0 : size});
    });
    std::size_t largest = 0;
    for (const MainFile& f : main_files) largest = std::max(largest, static_cast<std::size_t>(f.size));
    ReadAhead files(yield, request.pages);
    Conversion cv{request.libraries != nullptr ? *request.libraries : no_libraries,
                  request.include_tag_text, random, out, nullptr, report};
    cv.files = &files;
    cv.pages = request.pages;
    cv.classic_looks = request.classic_looks;
    cv.labels = report.labels;
    cv.keep_looks = keeps_looks(request);
    if (cv.keep_looks) report.looks.reserve(looks_ahead(largest));
    // Sorted by the front end before the run, or here once the rule files
    // are read: their include statements are then kept as they are read, not read again.
    std::optional<CreateTypRequest> sorted;
    KnownStatements statements;
    if (request.sort_include_files) cv.statements = &statements;
    SideWrites merged;
    write_main_files(cv, request, main_files, largest, yield, merged);
    const bool apart = !merged.empty();
    cv.statements = nullptr;
    if (request.sort_include_files) {
        sorted = request;
        request.sort_include_files(sorted->include_files, std::move(statements));
        // The files of other styles are known only now; none is read yet.
        if (std::optional<std::string> input = input_at(*sorted, request.typ_path)) {
            report.failures.push_back({Failure::Kind::OutputIsInput, request.typ_path, 0, {}, *input});
            return report;
        }
    }
    const CreateTypRequest& run = sorted ? *sorted : request;
    const IncludeFiles& inc = run.include_files;
    if (!inc.found.empty()) {
        report.left_out = inc.left_out();
        report.include_groups_empty = inc.groups_empty();
    }
    write_include_files(cv, run, files, largest, apart, yield);
    report.chunks = out.appends();
    if (old) write_update(request, *old, cv, out, report);
    // The memory of the files written apart (megabytes of a large style's
    // pieces and texts) is given back while the text goes to disk.
    std::future<void> released;
    if (!merged.empty()) released = std::async(std::launch::async, [sides = std::move(merged)]() mutable { sides.clear(); });
    if (std::optional<Failure> failure = out.finish()) report.failures.push_back(std::move(*failure));
    else report.written = true;
    return report;
}

}  // namespace tessaro
