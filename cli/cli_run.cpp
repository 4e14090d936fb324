#include "cli_run.h"

#include <algorithm>
#include <filesystem>
#include <set>

#include "app_state.h"
#include "cli_options.h"
#include "conversion.h"
#include "driver.h"
#include "entry_builder.h"
#include "file_io.h"
#include "include_files.h"
#include "include_proposal.h"
#include "polygon_library.h"
#include "random_source.h"
#include "stream_shell.h"
#include "style_folder.h"
#include "text_util.h"
#include "typ_reader.h"
#include "typ_text.h"

namespace tessaro {

namespace fs = std::filesystem;

namespace {

// The driver takes the folder without a trailing separator.
std::string without_trailing_separators(std::string path) {
    while (path.size() > 1 && (path.back() == '/' || path.back() == PATH_SEP)) path.pop_back();
    return path;
}

void load_libraries(AppState& state, const CliOptions& o, const std::string& program_folder, Shell& shell) {
    const std::string res = o.res_dir.value_or(join_path(program_folder, "res"));
    state.point_library.assign(loadtext(join_path(res, "points"), shell));
    state.line_library.assign(loadtext(join_path(res, "lines"), shell));
    state.polygon_library_path = o.polygon_library.value_or(join_path(res, "pgons.pol"));
    load_polygon_library(state, shell);
}

// The include files: found by the scan, sorted by the options. Returns false
// (after a message) when an option names no file of the include folder.
bool sort_include_files(IncludeFiles& inc, const CliOptions& o, const std::string& style_folder, RuleReader& reader,
                        Shell& shell) {
    scan_include_files(inc, style_folder, reader);
    const std::string folder = include_folder(style_folder);
    std::set<std::string> named;
    for (const auto& names : o.inc_groups) {
        for (const std::string& name : names) {
            if (!is_plain_file_name(name) || !is_regular_file(join_path(folder, name))) {
                shell.message("tessaro-cli: " + name + ": no such include file in " + folder);
                return false;
            }
            named.insert(name);
        }
    }
    if (o.auto_inc) {
        auto proposal = propose_groups(style_folder, inc.found);
        for (const std::string& name : named) proposal.erase(name);
        apply_proposal(inc, proposal);
    }
    for (std::size_t g = 0; g < o.inc_groups.size(); ++g) {
        for (const std::string& name : o.inc_groups[g]) {
            if (std::find(inc.found.begin(), inc.found.end(), name) == inc.found.end()) inc.found.push_back(name);
            auto& group = inc.groups[g];
            if (std::find(group.begin(), group.end(), name) == group.end()) group.push_back(name);
        }
    }
    return true;
}

// Include files that no group took: the user should know what the TYP text lacks.
void report_unsorted(const IncludeFiles& inc, StreamShell& shell) {
    std::string names;
    for (const std::string& name : inc.found) {
        bool sorted = false;
        for (const auto& group : inc.groups) sorted = sorted || std::find(group.begin(), group.end(), name) != group.end();
        if (!sorted) names += std::string(CRLF) + "  " + name;
    }
    if (!names.empty())
        shell.warn(inc_files_not_added_message() + names + CRLF +
                   "(sort them with --inc-points, --inc-lines, --inc-polygons NAME or --auto-inc)");
}

int check_typ_text(const std::string& path, std::ostream& out, std::ostream& err) {
    std::string text;
    std::string error;
    if (!read_file(path, text, error)) {
        err << error << '\n';
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

    StreamShell shell(err);
    shell.set_quiet(o.quiet);
    AppState state;
    state.points_on = o.points;
    state.lines_on = o.lines;
    state.polygons_on = o.polygons;
    state.include_tag_text = o.tag_text;
    state.random_seed = o.seed;
    state.style_folder = without_trailing_separators(o.style_folder);

    load_libraries(state, o, program_folder, shell);
    for (const std::string& m : missing_library_messages(state)) shell.warn(m);
    if (!state.points_on && !state.lines_on && !state.polygons_on) {
        shell.message("Please select Points/Lines/Polygons");
        return EXIT_USAGE;
    }

    std::error_code ec;
    if (!fs::is_directory(to_fs_path(state.style_folder), ec)) {
        shell.message(state.style_folder + ": " + (file_exists(state.style_folder) ? "not a folder" : "no such folder"));
        return EXIT_FAILED;
    }
    const StyleListing listing = list_style(state.style_folder);
    if (listing.files == 0) {
        shell.message("Folder does not contain key style files (points,polygons,lines)");
        return EXIT_FAILED;
    }
    if (listing.kinds.empty()) {
        shell.message(std::string("Cannot find lines,points or polygons.") + CRLF + CRLF +
                      "Double Click on Folder containing these files.");
        return EXIT_FAILED;
    }
    if (listing.kinds.find('l') == std::string::npos) shell.warn("missing lines");
    if (listing.kinds.find('p') == std::string::npos) shell.warn("missing points");
    if (listing.kinds.find('g') == std::string::npos) shell.warn("missing polygons");

    if (o.output) {
        state.typ_path = *o.output;
    } else {
        std::string folder = state.style_folder;
        const std::string name = ftrim(folder);
        state.typ_path = (name.empty() ? std::string("temp") : name) + ".txt";
    }
    if (state.typ_path.empty()) {
        shell.message("The output path is empty: give a file with -o.");
        return EXIT_FAILED;
    }

    MtRandom random(state.random_seed);
    Conversion cv(state, shell, random);
    IncludeFiles inc;
    if (!sort_include_files(inc, o, state.style_folder, cv.rules, shell)) return EXIT_USAGE;

    state.label_conflict = false;
    const bool header_ok = get_types(cv, listing.kinds, state.style_folder);
    if (header_ok && !inc.groups_empty()) do_incs(cv, inc, include_folder(state.style_folder));
    shell.hof();
    if (!header_ok) {
        shell.message(cv.out.header_error());
        return EXIT_FAILED;
    }
    if (cv.out.failed_appends() > 0) {
        shell.message(cv.out.first_append_error());
        shell.message(state.typ_path + ": the TYP text is incomplete: " + std::to_string(cv.out.failed_appends()) +
                      " of its blocks could not be written");
        return EXIT_FAILED;
    }
    report_unsorted(inc, shell);
    if (state.label_conflict) shell.warn("Some mkgmap strings could not be added.");
    shell.warn("TYP file created");
    return EXIT_DONE;
}

}  // namespace tessaro
