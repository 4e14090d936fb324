#include "create_typ.h"

#include <algorithm>
#include <filesystem>

#include "conversion.h"
#include "distinct_looks.h"
#include "file_io.h"
#include "include_proposal.h"
#include "line_entries.h"
#include "output_file.h"
#include "point_entries.h"
#include "polygon_entries.h"
#include "style_files.h"
#include "style_folder.h"
#include "typ_charset.h"
#include "typ_reader.h"
#include "typ_text.h"

namespace tessaro {

namespace fs = std::filesystem;

bool stops_the_run(Finding finding) {
    switch (finding) {
        case Finding::NoLineLibrary:
        case Finding::NoPolygonLibrary:
        case Finding::NoLinesFile:
        case Finding::NoPointsFile:
        case Finding::NoPolygonsFile: return false;
        default: return true;
    }
}

CreateTypCheck check_create_typ(const CreateTypRequest& request) {
    CreateTypCheck check;
    auto& found = check.findings;
    // The findings up to the first that stops the run.
    const auto stop = [&](Finding f) {
        found.push_back(f);
        return check;
    };
    const auto& on = request.sections;
    if (request.libraries != nullptr) {
        // A library folder that holds nothing is a wrong folder, not a wish for built-in looks; a point without its
        // library gets no entry at all, so the run would drop every point.
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
    return check;
}

namespace {

// The TYP text an update keeps: its bytes and what the reader makes of them.
struct OldText {
    FileStamp stamp;  // as it was before it was read: a change after that is not overwritten
    std::string bytes;
    TypDocument doc;
};

// The old text of an update, if there is one to update (a device is written as by a fresh run). None, with the
// failure in the report, when the run must stop: it cannot be read, or it has errors and is not to be replaced.
std::optional<OldText> read_old_text(const CreateTypRequest& request, CreateTypReport& report) {
    const OutputTarget target = resolve_output(request.typ_path);
    if (target.kind != OutputTarget::Kind::Replace || !is_regular_file(target.file)) return std::nullopt;
    OldText text{stamp_of(target.file), {}, {}};
    std::error_code error;
    if (!read_file(target.file, text.bytes, error)) {
        report.failures.push_back({Failure::Kind::Read, request.typ_path, 0, error});
        return std::nullopt;
    }
    text.doc = read_typ_text(text.bytes);
    if (!has_error(text.doc)) return text;
    report.update.problems = std::move(text.doc.problems);
    report.update.replaced_broken = request.replace_broken;
    if (!request.replace_broken) report.failures.push_back({Failure::Kind::OldTextBroken, request.typ_path});
    return std::nullopt;
}

// The old text with the fresh run's entries of the types it lacks, in place of the fresh text.
std::string updated_text(const CreateTypRequest& request, const OldText& old, const Conversion& cv,
                         CreateTypReport& report) {
    // Types missing for a file that could not be read, or read otherwise than mkgmap reads it, must not cost the map
    // maker the entries of those types (unless forced, for faults).
    const bool misread = std::ranges::any_of(report.warnings, is_misread);
    const bool held = request.prune && report.failures.empty() && misread && !request.replace_broken;
    const bool prune = request.prune && report.failures.empty() && !held;
    const FreshRun fresh{cv.entries, cv.types, request.sections};
    const bool wide = is_wide_charset(old.doc.charset);
    const std::string old_utf8 = wide ? decode_typ_text(old.bytes).utf8 : std::string();
    UpdatedText updated = update_typ_text(wide ? std::string_view(old_utf8) : std::string_view(old.bytes), old.doc, fresh, prune);
    report.looks = std::move(updated.looks);
    report.look_counts = count_looks(report.looks);
    report.entries = updated.entries;
    report.update = std::move(updated.update);
    report.update.prune_held_by_faults = held;
    return wide ? encode_wide(updated.text, old.doc.charset) : std::move(updated.text);
}

// Reads every file of the plan into entries, each note of the plan added to the report where the walk met it.
void read_style(Conversion& cv, const StylePlan& plan) {
    using SectionWriter = void (*)(Conversion&, const std::string&);
    const PerSection<SectionWriter> writers{{add_point_entries, add_line_entries, add_polygon_entries}};
    for (const auto& step : plan) {
        if (const StyleFile* file = std::get_if<StyleFile>(&step)) writers[file->section](cv, file->path);
        else if (const Warning* w = std::get_if<Warning>(&step)) cv.report.warnings.push_back(*w);
        else cv.report.failures.push_back(std::get<Failure>(step));
    }
}

}  // namespace

CreateTypReport run_create_typ(const CreateTypRequest& request, const CreateTypCheck& checked) {
    CreateTypReport report;
    if (std::optional<std::string> input = input_at(request, request.typ_path)) {
        report.failures.push_back({Failure::Kind::OutputIsInput, request.typ_path, 0, {}, *input});
        return report;
    }
    const std::optional<OldText> old = request.update ? read_old_text(request, report) : std::nullopt;
    if (!report.failures.empty()) return report;
    // The output is opened first: a path that cannot be written stops the run before any reading.
    ReplacedFile out(request.typ_path);
    if (old) out.expect(old->stamp);
    if (std::optional<Failure> failure = out.open()) {
        report.failures.push_back(std::move(*failure));
        return report;
    }
    report.started = true;
    report.in_place = out.in_place();
    // The new entries of an update go into the old text: their labels as its own are.
    report.labels = old ? label_coding(old->doc) : request.labels;
    const LibraryTexts no_libraries;
    RandomSource random(request.seed);
    std::vector<Entry> entries;
    Conversion cv{request.libraries != nullptr ? *request.libraries : no_libraries, request.include_tag_text, random,
                  entries, report};
    cv.classic_looks = request.classic_looks;
    cv.labels = report.labels;
    const IncludeFiles& inc = request.include_files;
    if (!inc.found.empty()) {
        report.left_out = inc.left_out();
        report.include_groups_empty = inc.groups_empty();
    }
    read_style(cv, plan_style_files(request, checked.kinds));
    if (!request.classic_looks) make_looks_distinct(entries);
    if (old) {
        const std::string text = updated_text(request, *old, cv, report);
        out.write(text.data(), text.size());
    } else {
        write_typ_text(header_chunk(request.style_folder, report.labels.code_page), entries,
                       [&out](std::string_view piece) { out.write(piece.data(), piece.size()); });
        report.looks.reserve(entries.size());
        for (Entry& e : entries) report.looks.push_back(std::move(e.look));
    }
    if (std::optional<Failure> failure = out.finish()) report.failures.push_back(std::move(*failure));
    else report.written = true;
    return report;
}

}  // namespace tessaro
