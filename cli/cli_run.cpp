#include "cli_run.h"

#include "output_file.h"

#include <algorithm>
#include <new>
#include <system_error>
#include <set>
#include <unordered_set>

#include "style_files.h"
#include "version.h"
#include "cli_messages.h"
#include "cli_options.h"
#include "create_typ.h"
#include "file_io.h"
#include "include_groups.h"
#include "include_proposal.h"
#include "library_files.h"
#include "style_drift.h"
#include "typ_reader.h"
#include "text_util.h"
#include "typ_text.h"

namespace tessaro {

namespace {

// Everything said goes to stderr, one message to a line; -q silences warnings.
class Reporter {
public:
    Reporter(TextSink& err, bool quiet) : m_err(err), m_quiet(quiet) {}
    void error(const std::string& text) { m_err << "tessaro-cli: " << text << "\n"; }
    void warn(const std::string& text) {
        if (!m_quiet) error(text);
    }
    // Each failure once: the include scan and the run may meet the same one.
    void failures(const std::vector<Failure>& list) {
        for (const Failure& f : list) {
            if (std::find(m_told.begin(), m_told.end(), f) != m_told.end()) continue;
            m_told.push_back(f);
            error(failure_text(f));
        }
    }
    void warnings(const std::vector<Warning>& list) {
        for (const Warning& w : list) warn(warning_text(w));
    }
    // Lines that name their file first, as --check writes them.
    void lines(const std::string& text) { m_err << text; }

private:
    TextSink& m_err;
    bool m_quiet;
    std::vector<Failure> m_told;
};

// Line feeds pass; every other control character becomes "?", as the names in
// the messages already do: nothing a run says can steer the terminal.
class PrintableSink : public TextSink {
public:
    explicit PrintableSink(TextSink& inner) : m_inner(inner) {}
    void write(std::string_view text) override { m_inner.write(printable(text, true)); }

private:
    TextSink& m_inner;
};

// How a command ended. The exit status follows from it alone, here and nowhere else.
enum class Outcome {
    Done,
    Incomplete,  // written, without what some files that could not be read hold
    BadUsage,
    Failed,
};

int exit_code(Outcome outcome) {
    switch (outcome) {
        case Outcome::Done: return EXIT_DONE;
        case Outcome::Incomplete: return EXIT_FAILED;
        case Outcome::BadUsage: return EXIT_USAGE;
        case Outcome::Failed: return EXIT_FAILED;
    }
    return EXIT_FAILED;
}

// The folder without trailing separators, as the header's style name wants it.
std::string without_trailing_separators(std::string path) {
    while (path.size() > 1 && (path.back() == '/' || path.back() == PATH_SEP)) path.pop_back();
    return path;
}

// What a conversion holds from its setup to the end of its run: the command
// line's own, kept for one run only.
struct Setup {
    CreateTypRequest request;
    CreateTypCheck check;
    CliContext context;
    LibraryTexts libraries;
    // Include files the scan could not read.
    std::vector<std::string> unread;
};

void load_libraries(Setup& s, const CliOptions& o, const std::string& program_folder, Reporter& say) {
    s.context.res_folder = o.res_dir ? *o.res_dir : find_library_folder(program_folder);
    s.context.polygon_library = o.polygon_library.value_or(library_file_path(s.context.res_folder, Section::Polygon));
    s.context.polygon_library_given = o.polygon_library.has_value();
    PerSection<std::string> paths;
    for (Section section : ALL_SECTIONS) {
        paths[section] =
            section == Section::Polygon ? s.context.polygon_library : library_file_path(s.context.res_folder, section);
        s.request.other_inputs.push_back(paths[section]);
    }
    const PerSection<std::optional<Failure>> failures = load_library_files(paths, s.libraries);
    for (Section section : ALL_SECTIONS)
        if (failures[section]) say.error(failure_text(*failures[section]));
}

// Puts the files where the include statements lead (--auto-inc) into the
// groups, before the files the options named: named files go where the
// options say, not where the statements lead. `known` holds the statements
// of files read already.
void sort_by_statements(IncludeFiles& inc, const std::string& style_folder, const KnownStatements* known) {
    Proposal proposal = propose_groups(style_folder, inc.found, known);
    PerSection<std::vector<std::string>> named;
    std::unordered_set<std::string> named_files;
    for (Section s : ALL_SECTIONS) {
        named_files.insert(inc.groups[s].begin(), inc.groups[s].end());
        named[s] = std::move(inc.groups[s]);
        inc.groups[s].clear();
    }
    for (Section s : ALL_SECTIONS)
        std::erase_if(proposal.groups[s], [&](const std::string& n) { return named_files.count(n) != 0; });
    apply_proposal(inc, proposal);
    add_to_groups(inc, named);
}

// The include files: found by the scan, sorted by the options; the files the
// scan could not read go into `unread`. False (after saying why) when an
// option names no file of the include folder (a plain name) or of the style
// folder (a name with a folder, as the messages name such files). The
// statements' sorting (--auto-inc) is left to sort_by_statements;
// `statements`, if given, takes the include statements of the files the scan read.
bool sort_include_files(IncludeFiles& inc, const CliOptions& o, const std::string& style_folder, Reporter& say,
                        std::vector<std::string>& unread, KnownStatements* statements = nullptr) {
    RuleReader reader;
    const IncludeScan scan = scan_include_files(inc, style_folder, reader, statements);
    say.failures(scan.failures);
    for (const Failure& f : scan.failures) unread.push_back(f.path);
    PerSection<std::vector<std::string>> named;
    for (Section s : ALL_SECTIONS) {
        for (const std::string& given : o.inc_groups[s]) {
            const std::optional<std::string> name = include_group_name(given);
            if (!name || !is_regular_file(include_file_path(style_folder, *name))) {
                say.error(given + ": no such include file in " +
                          (is_plain_file_name(given) ? include_folder(style_folder) : style_folder));
                return false;
            }
            named[s].push_back(*name);
        }
    }
    std::set<std::string> found(inc.found.begin(), inc.found.end());
    for (Section s : ALL_SECTIONS)
        for (const std::string& name : named[s])
            if (found.insert(name).second) inc.found.push_back(name);
    add_to_groups(inc, named);
    return true;
}

// Why the look report cannot be written where it is asked for, found before
// the run writes anything: it never takes the place of the TYP text (as a
// file, or as the path both will have once written) or of a file the run
// reads, and a read-only file, a folder or a pipe stays as it is.
std::optional<Failure> report_refusal(const CreateTypRequest& request, const std::string& path) {
    if (std::optional<std::string> input = input_at(request, path))
        return Failure{Failure::Kind::OutputIsInput, path, 0, {}, *input};
    if (same_output(path, request.typ_path)) return Failure{Failure::Kind::OutputIsInput, path, 0, {}, request.typ_path};
    const OutputTarget target = resolve_output(path);
    if (target.kind == OutputTarget::Kind::Folder) return Failure{Failure::Kind::OutputIsFolder, path};
    if (target.kind == OutputTarget::Kind::Special) return Failure{Failure::Kind::OutputIsSpecial, path};
    if (target.kind == OutputTarget::Kind::Replace && is_read_only(target.file))
        return Failure{Failure::Kind::OutputReadOnly, path};
    return std::nullopt;
}

void fill_request(Setup& s, const CliOptions& o) {
    CreateTypRequest& request = s.request;
    request.style_folder = without_trailing_separators(o.style_folder);
    request.sections = o.sections;
    request.include_tag_text = o.tag_text;
    request.classic_looks = o.classic_looks;
    request.libraries = &s.libraries;
    request.seed = o.seed;
    request.update = o.update;
    request.prune = o.prune;
    request.replace_broken = o.force;
    if (o.output) {
        request.typ_path = *o.output;
    } else {
        const std::string name = style_name(request.style_folder);
        request.typ_path = (name.empty() ? std::string("temp") : name) + ".txt";
    }
    s.context.style_folder = request.style_folder;
    s.context.auto_inc = o.auto_inc;
}

// The include files' groups, as far as they are known before the run.
bool set_up_include_files(Setup& s, const CliOptions& o, Reporter& say) {
    // The include files' statements come from the scan, the main rule files'
    // are read by the proposal. Without --auto-inc they still tell the files
    // outside the include folder that the rule files include, for the message
    // of the files left out.
    CreateTypRequest& request = s.request;
    KnownStatements scanned;
    if (!sort_include_files(request.include_files, o, request.style_folder, say, s.unread, &scanned)) return false;
    if (o.auto_inc) sort_by_statements(request.include_files, request.style_folder, &scanned);
    else add_files_elsewhere(request.include_files, propose_groups(request.style_folder, request.include_files.found, &scanned));
    return true;
}

// The look report's path, refused before anything is written where it would
// take another file's place: the outcome then, else none.
std::optional<Outcome> refuse_report_path(const CreateTypRequest& request, const std::string& path, Reporter& say) {
    const std::optional<Failure> refused = report_refusal(request, path);
    if (!refused) return std::nullopt;
    if (refused->kind == Failure::Kind::OutputIsInput && refused->other_path == request.typ_path)
        say.error(path + ": refused: it is the same file as the TYP text " + request.typ_path +
                  "; give another file with --report");
    else say.error(failure_text(*refused, "--report"));
    return refused->kind == Failure::Kind::OutputIsInput ? Outcome::BadUsage : Outcome::Failed;
}

// The setup: everything the run needs, checked, before anything is written.
// The outcome when the run cannot go, else none.
std::optional<Outcome> set_up(Setup& s, const CliOptions& o, const std::string& program_folder, Reporter& say) {
    load_libraries(s, o, program_folder, say);
    fill_request(s, o);
    s.check = check_create_typ(s.request);
    for (Finding f : s.check.findings) {
        if (stops_the_run(f)) say.error(finding_text(f, s.context));
        else say.warn(finding_text(f, s.context));
    }
    if (!s.check.can_run())
        return s.check.findings.back() == Finding::NoSectionChosen ? Outcome::BadUsage : Outcome::Failed;
    if (!set_up_include_files(s, o, say)) return Outcome::BadUsage;
    if (o.report) return refuse_report_path(s.request, *o.report, say);
    return std::nullopt;
}

// What an update did besides adding entries, and what the run went past.
void tell_warnings(const CreateTypRequest& request, const CreateTypReport& report, Reporter& say) {
    const TypUpdate& update = report.update;
    say.warnings(report.warnings);
    if (update.replaced_broken) say.warn(replaced_broken_text(request.typ_path, update));
    for (const UnusedEntry& e : update.unused_entries) say.warn(unused_entry_text(request.typ_path, e, update.pruned));
    if (request.prune && update.done && !update.pruned) say.warn(prune_skipped_text(update.prune_held_by_faults));
}

// Writes where each entry's look came from; false (after saying why) when it cannot.
bool write_look_report(const Setup& s, const std::string& path, const CreateTypReport& report, Reporter& say) {
    if (std::optional<std::string> input = input_at(s.request, path)) {
        say.error(failure_text({Failure::Kind::OutputIsInput, path, 0, {}, *input}, "--report"));
        return false;
    }
    if (std::optional<Failure> failure = write_replaced_file(path, look_report(report.looks, s.request.classic_looks))) {
        say.error(failure_text(*failure, "--report"));
        return false;
    }
    return true;
}

// The run: converts, then says what came of it.
Outcome run(Setup& s, const CliOptions& o, Reporter& say) {
    const CreateTypRequest& request = s.request;
    const CreateTypReport report = run_create_typ(s.request, s.check);
    const TypUpdate& update = report.update;
    if (!update.problems.empty() && !update.replaced_broken) say.lines(typ_problems_text(request.typ_path, update.problems));
    say.failures(report.failures);
    if (!report.started) return Outcome::Failed;
    if (!report.written) {
        say.error(printable(request.typ_path) + (report.in_place ? ": the TYP text is incomplete"
                                                      : ": the TYP text was not written; any old file there is unchanged"));
        return Outcome::Failed;
    }
    tell_warnings(request, report, say);
    const bool report_written = !o.report || write_look_report(s, *o.report, report, say);
    if (!report.left_out.empty()) say.warn(left_out_text(report.left_out, s.context));
    if (report.label_dropped) say.warn(label_dropped_text());
    std::vector<std::string>& unread = s.unread;
    for (const Failure& f : report.failures)
        if (std::find(unread.begin(), unread.end(), f.path) == unread.end()) unread.push_back(f.path);
    if (!unread.empty()) {
        say.error(incomplete_text(request.typ_path, unread, report));
        return Outcome::Incomplete;
    }
    say.warn(update.done ? updated_text(request.typ_path, update) : created_text(request.typ_path, report));
    if (!request.classic_looks) say.warn(look_summary(report.look_counts));
    say.warn(compile_text(request.typ_path, report.labels.code_page));
    return report_written ? Outcome::Done : Outcome::Failed;
}

Outcome convert(const CliOptions& o, const std::string& program_folder, Reporter& say) {
    Setup s;
    if (const std::optional<Outcome> stopped = set_up(s, o, program_folder, say)) return *stopped;
    return run(s, o, say);
}

// How many of the entries the style "does not use" are of types that the include
// files which the statements lead to (--auto-inc) give: the text may have been made with them.
std::size_t unused_types_in_unread_includes(CreateTypRequest request, const TypDocument& doc,
                                            const std::vector<StyleDrift>& drift) {
    const auto not_in_style = [](const StyleDrift& d) { return d.kind == StyleDrift::Kind::NotInStyle; };
    const auto unused = static_cast<std::size_t>(std::count_if(drift.begin(), drift.end(), not_in_style));
    if (unused == 0) return 0;
    sort_by_statements(request.include_files, request.style_folder, nullptr);
    const std::vector<StyleDrift> with_includes = find_style_drift(doc, list_style_types(request).types);
    return unused - static_cast<std::size_t>(std::count_if(with_includes.begin(), with_includes.end(), not_in_style));
}

// The TYP text against the style read as the conversion reads it; the number
// of things said (findings, and whatever kept the style from being read in full).
std::size_t check_against_style(const CliOptions& o, const std::string& path, const TypDocument& doc,
                                TextSink& err) {
    Reporter say(err, o.quiet);
    CreateTypRequest request;
    request.style_folder = without_trailing_separators(*o.style);
    request.sections = o.sections;
    request.typ_path = path;
    CliContext context;
    context.style_folder = request.style_folder;
    context.auto_inc = o.auto_inc;
    const CreateTypCheck check = check_create_typ(request);
    if (!check.can_run()) {
        say.error(finding_text(check.findings.back(), context));
        return 1;
    }
    std::vector<std::string> unread;
    if (!sort_include_files(request.include_files, o, request.style_folder, say, unread)) return 1;
    if (o.auto_inc) sort_by_statements(request.include_files, request.style_folder, nullptr);
    const StyleTypes style = list_style_types(request);
    say.failures(style.failures);
    // The style's own faults, as a run names them: they explain types missing from the text.
    say.warnings(style.faults);
    const std::vector<StyleDrift> drift = find_style_drift(doc, style.types);
    for (const StyleDrift& d : drift)
        err << printable(path) << (d.file.empty() ? ":" + std::to_string(d.line) : std::string()) << ": "
            << drift_text(d) << "\n";
    if (!o.auto_inc) {
        if (const std::size_t n = unused_types_in_unread_includes(request, doc, drift))
            err << printable(path) << ": " << unread_includes_text(n) << "\n";
    }
    return unread.size() + style.failures.size() + drift.size();
}

Outcome check_typ_text(const CliOptions& o, TextSink& out, TextSink& err) {
    const std::string& path = *o.check;
    std::string text;
    std::error_code error;
    if (!read_file(path, text, error)) {
        err << printable(path) << ": " << printable(error.message()) << "\n";
        return Outcome::Failed;
    }
    const TypDocument doc = read_typ_text(text);
    err << typ_problems_text(path, doc.problems);
    const std::size_t findings = o.style ? check_against_style(o, path, doc, err) : 0;
    out << check_summary_text(path, doc, findings) << "\n";
    if (has_error(doc) || (o.strict && !doc.problems.empty()) || findings != 0) return Outcome::Failed;
    return Outcome::Done;
}

// Running out of memory ends a run as any failure does: what was in hand is
// given back on the way out (a new TYP text's hidden file goes, the old text
// stays), and the message names what was being done.
template <typename Work>
Outcome out_of_memory_failed(TextSink& err, const std::string& doing, Work&& work) {
    try {
        return work();
    } catch (const std::bad_alloc&) {
    } catch (const std::system_error& e) {
        // A thread whose stack finds no memory: the same shortage.
        if (e.code() != std::errc::resource_unavailable_try_again) throw;
    }
    err << "tessaro-cli: out of memory while " << printable(doing) << "\n";
    return Outcome::Failed;
}

// The command the options name, run to its outcome.
Outcome run_command(const std::vector<std::string>& args, const std::string& program_folder, TextSink& out,
                    TextSink& err) {
    const CliParse parsed = parse_cli(args);
    if (!parsed.error.empty()) {
        err << "tessaro-cli: " << parsed.error << "\nTry 'tessaro-cli --help'.\n";
        return Outcome::BadUsage;
    }
    const CliOptions& o = parsed.options;
    if (o.help) {
        out << cli_usage();
        return Outcome::Done;
    }
    if (o.version) {
        out << "tessaro-cli " << PROGRAM_VERSION << "\n";
        return Outcome::Done;
    }
    if (o.check) return out_of_memory_failed(err, "checking " + *o.check, [&] { return check_typ_text(o, out, err); });
    Reporter say(err, o.quiet);
    return out_of_memory_failed(err, "converting " + o.style_folder, [&] { return convert(o, program_folder, say); });
}

}  // namespace

int run_cli(const std::vector<std::string>& args, const std::string& program_folder, TextSink& out_sink,
            TextSink& err_sink) {
    // Whatever a message takes from a name reaches the terminal without its control characters.
    PrintableSink out(out_sink);
    PrintableSink err(err_sink);
    return exit_code(run_command(args, program_folder, out, err));
}

}  // namespace tessaro
