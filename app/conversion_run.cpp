#include "conversion_run.h"

#include <algorithm>

#include "library_files.h"
#include "settings_file.h"
#include "text_util.h"
#include "window_texts.h"

namespace tessaro {

CreateTypRequest create_typ_request(const AppState& state) {
    CreateTypRequest request;
    request.style_folder = state.style_folder;
    request.sections = state.sections;
    request.include_tag_text = state.include_tag_text;
    request.classic_looks = state.classic_looks;
    request.update = state.keep_edited_looks;
    request.libraries = &state.libraries;
    request.typ_path = state.typ_path;
    request.seed = state.random_seed;
    request.other_inputs = {library_file_path(state.res_folder, Section::Point),
                            library_file_path(state.res_folder, Section::Line), state.polygon_library_path,
                            settings_path(state)};
    return request;
}

namespace {

// The messages of a run that got under way; a failed write is told in the closing message.
RunEnd tell_written(Shell& shell, const CreateTypReport& report, const std::string& typ_path,
                    const Failure* write_failure) {
    const std::string prefix =
        (report.label_dropped ? label_dropped_prefix() : std::string()) + warnings_prefix(report.warnings);
    if (!report.written) {
        const std::string reason = write_failure != nullptr ? failure_text(*write_failure) : printable(typ_path);
        shell.message(prefix + (report.in_place ? "The TYP text is incomplete: " : "The TYP text could not be written: ") +
                          reason,
                      MessageIcon::Critical);
        return RunEnd::NotWritten;
    }
    if (!report.complete()) {
        shell.message(prefix + incomplete_text(report.failures), MessageIcon::Critical);
        return RunEnd::Incomplete;
    }
    shell.message(prefix + created_text(typ_path, report.labels.code_page, report.update.done ? &report.update : nullptr),
                  prefix.empty() ? MessageIcon::Information : MessageIcon::Warning);
    return RunEnd::Created;
}

}  // namespace

RunEnd tell_report(Shell& shell, const CreateTypReport& report, const std::string& typ_path,
                   const std::vector<std::string>& told) {
    const Failure* write_failure = nullptr;
    for (const Failure& f : report.failures) {
        if (f.kind == Failure::Kind::Write) write_failure = &f;
        else if (f.kind != Failure::Kind::OldTextBroken) shell.message(failure_text(f), MessageIcon::Critical);
    }
    if (!report.update.problems.empty() && !report.update.replaced_broken)
        shell.message(old_text_problems_text(report.update.problems), MessageIcon::Critical);
    if (!report.started) {
        if (write_failure != nullptr)
            shell.message("The TYP text could not be written: " + failure_text(*write_failure), MessageIcon::Critical);
        return RunEnd::NotStarted;
    }
    std::vector<std::string> left_out;
    for (const std::string& name : report.left_out)
        if (std::find(told.begin(), told.end(), name) == told.end()) left_out.push_back(name);
    if (!left_out.empty())
        shell.message(include_files_left_out_text(left_out, report.include_groups_empty), MessageIcon::Warning);
    // Statements not followed are told in one message, as the include files not added are.
    bool not_followed = false;
    for (const Warning& w : report.warnings) {
        if (w.kind == Warning::Kind::OtherStyleMissing) shell.message(other_style_missing_text(w), MessageIcon::Warning);
        not_followed = not_followed || w.kind == Warning::Kind::IncludeNotFollowed;
    }
    if (not_followed) shell.message(statements_not_followed_text(report.warnings), MessageIcon::Warning);
    return tell_written(shell, report, typ_path, write_failure);
}

std::vector<std::string> style_check_lines(const StyleTypes& style, const TypDocument& document) {
    std::vector<std::string> lines;
    for (const Failure& f : style.failures) lines.push_back(failure_text(f));
    for (const StyleDrift& d : find_style_drift(document, style.types)) lines.push_back(drift_text(d));
    return lines;
}

}  // namespace tessaro
