#include "cli_run.h"

#include <set>

#include "app_state.h"
#include "cli_messages.h"
#include "cli_options.h"
#include "create_typ.h"
#include "file_io.h"
#include "include_files.h"
#include "include_proposal.h"
#include "library_files.h"
#include "typ_reader.h"
#include "typ_text.h"

namespace tessaro {

namespace {

// Everything said goes to stderr, one message to a line; -q silences warnings.
class Reporter {
public:
    Reporter(std::ostream& err, bool quiet) : m_err(err), m_quiet(quiet) {}
    void error(const std::string& text) { m_err << "tessaro-cli: " << text << '\n'; }
    void warn(const std::string& text) {
        if (!m_quiet) error(text);
    }
    void failures(const std::vector<Failure>& list) {
        for (const Failure& f : list) error(failure_text(f));
    }

private:
    std::ostream& m_err;
    bool m_quiet;
};

// How a conversion ended; the exit status follows from it alone.
enum class Outcome { Written, BadUsage, Failed };

int exit_code(Outcome outcome) {
    switch (outcome) {
        case Outcome::Written: return EXIT_DONE;
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

// The setup: everything the run needs, checked, before anything is written.
struct Setup {
    CreateTypRequest request;
    CliContext context;
    LibraryTexts libraries;
};

void load_libraries(Setup& s, const CliOptions& o, const std::string& program_folder, Reporter& say) {
    s.context.res_folder = o.res_dir.value_or(join_path(program_folder, "res"));
    s.context.polygon_library = o.polygon_library.value_or(library_file_path(s.context.res_folder, Section::Polygon));
    s.context.polygon_library_given = o.polygon_library.has_value();
    for (Section section : ALL_SECTIONS)
        s.request.other_inputs.push_back(section == Section::Polygon ? s.context.polygon_library
                                                                     : library_file_path(s.context.res_folder, section));
    for (Section section : ALL_SECTIONS) {
        const std::string path =
            section == Section::Polygon ? s.context.polygon_library : library_file_path(s.context.res_folder, section);
        if (std::optional<Failure> failure = load_library_file(path, section, s.libraries[section]))
            say.error(failure_text(*failure));
    }
}

// The include files: found by the scan, sorted by the options. False (after
// saying why) when an option names no file of the include folder.
bool sort_include_files(IncludeFiles& inc, const CliOptions& o, const std::string& style_folder, Reporter& say) {
    RuleReader reader;
    say.failures(scan_include_files(inc, style_folder, reader).failures);
    const std::string folder = include_folder(style_folder);
    std::set<std::string> named;
    for (Section s : ALL_SECTIONS) {
        for (const std::string& name : o.inc_groups[s]) {
            if (!is_plain_file_name(name) || !is_regular_file(join_path(folder, name))) {
                say.error(name + ": no such include file in " + folder);
                return false;
            }
            named.insert(name);
        }
    }
    if (o.auto_inc) {
        // Named files go where the options say, not where the statements lead.
        Proposal proposal = propose_groups(style_folder, inc.found);
        for (Section s : ALL_SECTIONS)
            std::erase_if(proposal.groups[s], [&](const std::string& n) { return named.count(n) != 0; });
        apply_proposal(inc, proposal);
    }
    std::set<std::string> found(inc.found.begin(), inc.found.end());
    for (Section s : ALL_SECTIONS)
        for (const std::string& name : o.inc_groups[s])
            if (found.insert(name).second) inc.found.push_back(name);
    add_to_groups(inc, o.inc_groups);
    return true;
}

Outcome convert(const CliOptions& o, const std::string& program_folder, Reporter& say) {
    Setup s;
    load_libraries(s, o, program_folder, say);
    CreateTypRequest& request = s.request;
    request.style_folder = without_trailing_separators(o.style_folder);
    request.sections = o.sections;
    request.include_tag_text = o.tag_text;
    request.libraries = &s.libraries;
    request.seed = o.seed;
    if (o.output) {
        request.typ_path = *o.output;
    } else {
        const std::string name = style_name(request.style_folder);
        request.typ_path = (name.empty() ? std::string("temp") : name) + ".txt";
    }
    s.context.style_folder = request.style_folder;
    s.context.auto_inc = o.auto_inc;

    const CreateTypCheck check = check_create_typ(request);
    for (Finding f : check.findings) {
        if (stops_the_run(f)) say.error(finding_text(f, s.context));
        else say.warn(finding_text(f, s.context));
    }
    if (!check.can_run()) return check.findings.back() == Finding::NoSectionChosen ? Outcome::BadUsage : Outcome::Failed;
    if (!sort_include_files(request.include_files, o, request.style_folder, say)) return Outcome::BadUsage;

    const CreateTypReport report = run_create_typ(request, check);
    say.failures(report.failures);
    if (!report.started) return Outcome::Failed;
    if (!report.written) {
        say.error(request.typ_path + (report.in_place ? ": the TYP text is incomplete"
                                                      : ": the TYP text was not written; any old file there is unchanged"));
        return Outcome::Failed;
    }
    if (!report.left_out.empty()) say.warn(left_out_text(report.left_out, s.context));
    for (const Warning& w : report.warnings) say.warn(warning_text(w));
    if (report.label_dropped) say.warn(label_dropped_text());
    say.warn(created_text(request.typ_path, report));
    return Outcome::Written;
}

int check_typ_text(const std::string& path, std::ostream& out, std::ostream& err) {
    std::string text;
    std::string error;
    if (!read_file(path, text, error)) {
        err << path << ": " << error << '\n';
        return EXIT_FAILED;
    }
    const TypDocument doc = read_typ_text(text);
    for (const TypProblem& p : doc.problems) err << path << ':' << p.line << ": " << p.message << '\n';
    if (!doc.problems.empty()) return EXIT_FAILED;
    out << path << ": " << doc.entries.size() << " entries, no problems\n";
    return EXIT_DONE;
}

}  // namespace

int run_cli(const std::vector<std::string>& args, const std::string& program_folder, std::ostream& out,
            std::ostream& err) {
    const CliParse parsed = parse_cli(args);
    if (!parsed.error.empty()) {
        err << "tessaro-cli: " << parsed.error << "\nTry 'tessaro-cli --help'.\n";
        return EXIT_USAGE;
    }
    const CliOptions& o = parsed.options;
    if (o.help) {
        out << cli_usage();
        return EXIT_DONE;
    }
    if (o.version) {
        out << "tessaro-cli " << PROGRAM_VERSION << '\n';
        return EXIT_DONE;
    }
    if (o.check) return check_typ_text(*o.check, out, err);
    Reporter say(err, o.quiet);
    return exit_code(convert(o, program_folder, say));
}

}  // namespace tessaro
