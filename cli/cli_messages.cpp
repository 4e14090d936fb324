#include "cli_messages.h"

#include <algorithm>

#include "text_util.h"
#include "typ_text.h"

namespace tessaro {

std::string finding_text(Finding finding, const CliContext& c) {
    const std::string style = printable(c.style_folder);
    const std::string res = printable(c.res_folder);
    const std::string polygon_library = printable(c.polygon_library);
    switch (finding) {
        case Finding::NoLibraryFiles:
            return "no library files (" +
                   (c.polygon_library_given ? "points, lines in " + res + ", " + polygon_library
                                            : "points, lines, pgons.pol in " + res) +
                   "): give the library folder with --res";
        case Finding::NoPointLibrary:
            return "no point library (points in " + res +
                   "): point types would get no entry; give the library folder with --res, or leave points out "
                   "with --no-points";
        case Finding::NoLineLibrary:
            return "warning: no line library (lines in " + res +
                   "): line types get built-in looks; give the library folder with --res";
        case Finding::NoPolygonLibrary:
            return "warning: no polygon library (" +
                   (c.polygon_library_given ? polygon_library : "pgons.pol in " + res) +
                   "): polygon types get built-in looks; give it with --polygon-library or --res";
        case Finding::NoSectionChosen: return "--no-points, --no-lines and --no-polygons together leave nothing to write";
        case Finding::StyleFolderMissing: return style + ": no such folder";
        case Finding::StyleFolderNotFolder: return style + ": not a folder";
        case Finding::StyleFolderEmpty:
            return style + ": the folder is empty; give the style folder that holds the rule files points, lines, polygons";
        case Finding::NoRuleFiles:
            return style + ": holds none of the rule files points, lines, polygons; give the style folder that holds them";
        case Finding::NoLinesFile: return "warning: " + style + " has no lines file";
        case Finding::NoPointsFile: return "warning: " + style + " has no points file";
        case Finding::NoPolygonsFile: return "warning: " + style + " has no polygons file";
        case Finding::NoOutputPath: return "the output path is empty: give a file with -o";
    }
    return {};
}

std::string failure_text(const Failure& failure, const std::string& option) {
    // Names as they came: a control character in one must not reach the terminal.
    Failure f = failure;
    f.path = printable(f.path);
    f.other_path = printable(f.other_path);
    const std::string why = f.error ? ": " + printable(f.error.message()) : std::string();
    switch (f.kind) {
        case Failure::Kind::Read: return f.path + why;
        case Failure::Kind::Write: return f.path + why;
        case Failure::Kind::OutputIsFolder:
            return f.path + ": is a folder, not " + (option == "-o" ? "a TYP text" : "a file") + "; give a file with " + option;
        case Failure::Kind::OutputIsSpecial: return f.path + ": not a regular file; give a file with " + option;
        case Failure::Kind::UnsafeIncludeName:
            return f.path + ": refused: the name could lead out of the style folder";
        case Failure::Kind::OutputIsInput:
            return f.path + ": refused: it is the same file as the input " + f.other_path + "; give another file with " +
                   option;
        case Failure::Kind::UnsafeOtherStyleName:
            return f.path + ": refused: the name leads out of the styles folder";
        case Failure::Kind::NotText:
            return f.path + ": not readable as text: it holds NUL bytes (UTF-16 or a binary file), so its types "
                            "may be missing (save it as plain text, UTF-8 or a single-byte code page)";
        case Failure::Kind::OutputReadOnly:
            return f.path + ": is read-only; make it writable or choose another output";
        case Failure::Kind::OutputChanged:
            return f.path + ": changed while this run wrote it, so it is left as it now is; the new text is in " +
                   f.other_path;
        case Failure::Kind::OldTextBroken:
            return f.path + ": not updated: the TYP text has errors (above); it is left as it was (mend it, or give "
                            "--force to replace it with a fresh one)";
    }
    return f.path + why;
}

std::string drift_text(const StyleDrift& d) {
    const std::string type = std::string(section_name(d.section)) + " type " + printable(d.code);
    switch (d.kind) {
        case StyleDrift::Kind::NoEntry: return type + " of " + printable(d.file) + ":" + std::to_string(d.line) + " has no entry";
        case StyleDrift::Kind::NoDrawOrder: return type + " has no draw order line: mkgmap does not draw it";
        case StyleDrift::Kind::NotInStyle: return type + " has an entry but the style does not use it";
    }
    return type;
}

std::string left_out_text(const std::vector<std::string>& names, const CliContext& c) {
    std::string text = "warning: include files in no group, so their types are not in the TYP text:\n";
    for (const std::string& name : names) text += "  " + printable(name) + "\n";
    text += c.auto_inc ? "(no rule file includes them; sort them with --inc-points, --inc-lines or --inc-polygons NAME)"
                       : "(sort them with --inc-points, --inc-lines, --inc-polygons NAME or --auto-inc)";
    return text;
}

std::string warning_text(const Warning& w) {
    if (w.kind == Warning::Kind::LabelNotInCodePage)
        return "warning: " + std::to_string(w.count) + (w.count == 1 ? " label has" : " labels have") +
               " characters that the TYP text's code page " + std::to_string(w.code_page) +
               " lacks, written as \"?\" (the first: " + section_name(w.section) + " type " + printable(w.text) + ")";
    const std::string path = printable(w.path);
    const std::string where = "warning: " + path + (w.line == 0 ? std::string() : ":" + std::to_string(w.line)) + ": ";
    switch (w.kind) {
        case Warning::Kind::CodeNotHex:
            return where + "type code " + printable(w.text) + " is not a number; the rule has no entry";
        case Warning::Kind::LibraryEntryBroken:
            return where + "library entry Type=" + printable(w.text) +
                   " not used: mkgmap would refuse it (no [end], a code that is not hexadecimal, or a look it cannot read)";
        case Warning::Kind::IncludeNotFollowed:
            return where + "not followed, so the rules it takes from another style are not in the TYP text " +
                   "(--auto-inc follows it): " + printable(w.text);
        case Warning::Kind::OtherStyleMissing:
            return "warning: no style " + printable(w.text) + " beside the style folder (" + path +
                   "): the rules taken from it are not in the TYP text";
        case Warning::Kind::IncludeFileGone:
            return "warning: " + path + ": include file not found; its types are not in the TYP text";
        case Warning::Kind::ActionNotClosed:
        case Warning::Kind::QuoteNotClosed:
        case Warning::Kind::BracketNotClosed:
            return where + "this " + open_construct_name(w.kind) +
                   " is never closed: mkgmap refuses the style here; it is read as if it closed before the line's "
                   "type bracket or at the line's end, and the rules after it are read";
        case Warning::Kind::NoTypesRead:
            return where + "holds type brackets, but every one stands in quotes or in an action's braces, where "
                           "mkgmap reads no type: the file gives no entry";
        case Warning::Kind::LineTooLong:
            return where + "this line is longer than any rule (16 MB or more): passed over, its types (if any) are "
                           "missing";
        case Warning::Kind::LabelNotInCodePage: break;
    }
    return where + printable(w.text);
}

namespace {
std::string entry_counts(const CreateTypReport& r) {
    return std::to_string(r.entries[Section::Point]) + " point, " + std::to_string(r.entries[Section::Line]) +
           " line and " + std::to_string(r.entries[Section::Polygon]) + " polygon entries";
}
}  // namespace

std::string created_text(const std::string& typ_path, const CreateTypReport& r) {
    return printable(typ_path) + ": TYP file created with " + entry_counts(r);
}

std::string compile_text(const std::string& typ_path, int code_page) {
    return "compile it, keeping its labels, with: " + mkgmap_command(typ_path, code_page);
}

std::string incomplete_text(const std::string& typ_path, const std::vector<std::string>& unread,
                            const CreateTypReport& r) {
    std::string files;
    for (const std::string& path : unread) files += (files.empty() ? "" : ", ") + printable(path);
    return printable(typ_path) + ": TYP text written but incomplete: the types of " + files + " are missing (" + entry_counts(r) +
           " written)";
}

}  // namespace tessaro

namespace tessaro {

namespace {
// Enough to find the first faults; the rest only as a count.
constexpr std::size_t PROBLEMS_SHOWN = 100;
}  // namespace

std::string typ_problems_text(const std::string& path, const std::vector<TypProblem>& problems) {
    const std::string name = printable(path);
    std::string text;
    for (std::size_t i = 0; i < problems.size() && i < PROBLEMS_SHOWN; ++i) {
        const TypProblem& p = problems[i];
        text += name + ':' + std::to_string(p.line) + (p.severity == Severity::Error ? ": error: " : ": warning: ") +
                printable(p.message) + '\n';
    }
    if (problems.size() > PROBLEMS_SHOWN)
        text += name + ": " + std::to_string(problems.size() - PROBLEMS_SHOWN) + " more problems not shown\n";
    return text;
}

namespace {
std::string counted(std::size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}
}  // namespace

std::string check_summary_text(const std::string& path, const TypDocument& doc, std::size_t findings) {
    const auto errors = static_cast<std::size_t>(std::count_if(
        doc.problems.begin(), doc.problems.end(), [](const TypProblem& p) { return p.severity == Severity::Error; }));
    std::string text = printable(path) + ": " + counted(doc.entries.size(), "entry", "entries") + ", ";
    if (doc.problems.empty() && findings == 0) return text + "no problems";
    text += counted(errors, "error", "errors") + ", " + counted(doc.problems.size() - errors, "warning", "warnings");
    if (findings != 0) text += ", " + counted(findings, "finding", "findings") + " against the style";
    return text;
}

std::string unused_entry_text(const std::string& typ_path, const UnusedEntry& e, bool pruned) {
    const std::string type = std::string(section_name(e.section)) + " type " + printable(e.code);
    if (pruned)
        return "warning: " + printable(typ_path) + ": " + type + " (line " + std::to_string(e.line) +
               " of the old text): the style no longer uses it; its entry was dropped";
    return "warning: " + printable(typ_path) + ":" + std::to_string(e.line) + ": " + type +
           ": the style no longer uses it; its entry is kept (--prune drops it)";
}

std::string updated_text(const std::string& typ_path, const TypUpdate& u) {
    return printable(typ_path) + ": TYP text updated: " + std::to_string(u.kept) + " entries kept, " + std::to_string(u.added) +
           " added, " + std::to_string(u.unused) + " of types the style no longer uses " +
           (u.pruned ? "dropped" : "kept");
}

std::string replaced_broken_text(const std::string& typ_path, const TypUpdate& u) {
    const auto errors = std::count_if(u.problems.begin(), u.problems.end(),
                                      [](const TypProblem& p) { return p.severity == Severity::Error; });
    return "warning: " + printable(typ_path) + ": the old TYP text had " + std::to_string(errors) +
           (errors == 1 ? " error" : " errors") + "; --force replaced it with a fresh one";
}

std::string prune_skipped_text(bool misread) {
    if (misread)
        return "warning: nothing was pruned: the style has faults (named above) that may hide types it uses; mend "
               "them, or give --force to prune all the same";
    return "warning: nothing was pruned: the style was not read in full";
}

std::string label_dropped_text() {
    return "warning: some library looks have a label of their own; --tag-text did not replace it";
}
}  // namespace tessaro

namespace tessaro {

std::string unread_includes_text(std::size_t entries) {
    return std::to_string(entries) + (entries == 1 ? " entry is" : " entries are") +
           " of types that the style's include files give, which this check did not read: give the include "
           "options the text was made with (--auto-inc, --inc-points, --inc-lines, --inc-polygons)";
}

}  // namespace tessaro
