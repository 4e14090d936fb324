#include "window_texts.h"

#include "app_state.h"
#include "text_util.h"
#include "typ_text.h"

namespace tessaro {

std::string window_caption(const std::string& style_folder) {
    const std::string program = std::string("tessaro ") + PROGRAM_VERSION;
    return style_folder.empty() ? program : program + " - style " + printable(style_name(style_folder));
}

std::string style_folder_text(const std::string& folder, bool has_rule_files) {
    if (folder.empty()) return "Style: none chosen";
    if (!has_rule_files) return "Not a style folder (no points, lines or polygons file): " + printable(folder);
    return "Style: " + printable(folder);
}

std::string editor_missing_text(const std::string& editor) {
    if (editor.empty()) return "No TYP editor is chosen: choose one in Preferences > Settings.";
    return "The TYP editor " + printable(editor) + " is gone: choose one in Preferences > Settings.";
}

std::string other_style_update_question(const std::string& typ_path, const std::string& made_for,
                                        const std::string& style) {
    return printable(typ_path) + " was made for the style " + printable(made_for) + ", not for " + printable(style) +
           "." + CRLF + CRLF + "Update it with the types of " + printable(style) + " all the same?";
}

std::string no_text_editor_text(const std::string& path) {
    return "No program on this desktop opens " + printable(path) +
           ". Choose a TYP editor in Preferences > Settings, or open the file in a text editor.";
}

std::string missing_rule_files_text(const std::vector<Finding>& findings) {
    std::vector<std::string> names;
    for (Finding f : findings) {
        if (f == Finding::NoPointsFile) names.push_back("points");
        if (f == Finding::NoLinesFile) names.push_back("lines");
        if (f == Finding::NoPolygonsFile) names.push_back("polygons");
    }
    if (names.empty()) return {};
    std::string list;
    for (std::size_t i = 0; i < names.size(); ++i) list += (i == 0 ? "" : i + 1 == names.size() ? " and " : ", ") + names[i];
    return "The style has no " + list + " file" + (names.size() > 1 ? "s" : "") +
           ": the TYP text has no entries of " + (names.size() > 1 ? "these sections." : "this section.");
}

std::string finding_text(Finding finding) {
    switch (finding) {
        case Finding::NoLibraryFiles:
            return "Cannot find the library files points, lines, pgons.pol - put them into the res folder beside "
                   "tessaro";
        case Finding::NoPointLibrary:
            return "Cannot find file to parse points - put points into the res folder beside tessaro, or untick "
                   "Points";
        case Finding::NoLineLibrary: return "Cannot find file to parse lines";
        case Finding::NoPolygonLibrary: return "Cannot find file to parse polygons - see Preferences,Settings";
        case Finding::NoSectionChosen: return "Please select Points/Lines/Polygons";
        case Finding::StyleFolderMissing:
        case Finding::StyleFolderNotFolder:
        case Finding::StyleFolderEmpty: return "Folder does not contain key style files (points,polygons,lines)";
        case Finding::NoRuleFiles:
            return std::string("Cannot find lines, points or polygons.") + CRLF + CRLF +
                   "Click on the folder that holds these files.";
        case Finding::NoLinesFile: return "missing lines";
        case Finding::NoPointsFile: return "missing points";
        case Finding::NoPolygonsFile: return "missing polygons";
        case Finding::NoOutputPath: return "The TYP text could not be written: the TYP text path is empty";
    }
    return {};
}

std::string failure_text(const Failure& failure) {
    // Names as they came: a control character in one is shown as "?".
    Failure f = failure;
    f.path = printable(f.path);
    f.other_path = printable(f.other_path);
    const std::string why = f.error ? ": " + printable(f.error.message()) : std::string();
    switch (f.kind) {
        case Failure::Kind::Read:
        case Failure::Kind::Write:
        case Failure::Kind::OutputIsFolder: return f.path + why;
        case Failure::Kind::OutputIsSpecial: return f.path + ": not a regular file";
        case Failure::Kind::UnsafeIncludeName: return f.path + ": refused: the name could lead out of the style folder";
        case Failure::Kind::OutputIsInput:
            return "The TYP text could not be written: " + f.path + " is the same file as " + f.other_path +
                   ", which the conversion reads. Please type another TYP text path.";
        case Failure::Kind::UnsafeOtherStyleName: return f.path + ": refused: the name leads out of the styles folder";
        case Failure::Kind::OutputReadOnly: return f.path + ": is read-only; make it writable or choose another output";
        case Failure::Kind::OutputChanged:
            return f.path + ": changed while the TYP text was made, so it is left as it now is; the new text is in " + f.other_path;
        case Failure::Kind::OldTextBroken: return f.path + ": has errors, so it was not updated and is left as it was";
        case Failure::Kind::NotText: return f.path + ": not readable as text - it holds NUL bytes (UTF-16 or a binary file), so its types may be missing";
    }
    return f.path + why;
}

std::string update_counts_text(const TypUpdate& u) {
    std::string text = "kept " + std::to_string(u.kept) + (u.kept == 1 ? " entry" : " entries") +
                       " as they were, added " + std::to_string(u.added);
    if (u.unused > 0)
        text += ", " + std::to_string(u.unused) + (u.pruned ? " no longer used (dropped)" : " no longer used by the style (kept)");
    return text;
}

std::string old_text_problems_text(const std::vector<TypProblem>& problems) {
    std::string text = std::string("The TYP text has errors, so it was not updated and is left as it was:") + CRLF;
    constexpr std::size_t SHOWN = 10;
    std::size_t shown = 0;
    for (const TypProblem& p : problems) {
        if (p.severity != Severity::Error) continue;
        if (shown++ == SHOWN) {
            text += CRLF + std::string("and more");
            break;
        }
        text += CRLF + ("line " + std::to_string(p.line) + ": " + printable(p.message));
    }
    return text + CRLF + CRLF + "Untick Keep my edited looks to write a new one.";
}

std::string sort_include_files_text() {
    return std::string("Please sort the include files into INC Points, INC Lines or INC Polygons.") + CRLF + CRLF +
           "Select files and click the 'Add' button of their group, or click 'Sort by includes'.";
}

std::string sort_report_text(const PerSection<std::size_t>& added, const std::vector<std::string>& not_included) {
    std::string text = "Sort by includes put " + std::to_string(added[Section::Point]) + " into INC Points, " +
                       std::to_string(added[Section::Line]) + " into INC Lines, " +
                       std::to_string(added[Section::Polygon]) + " into INC Polygons.";
    if (not_included.empty()) return text;
    text += std::string(CRLF) + "No rule file includes " +
            (not_included.size() == 1 ? std::string("this file") : std::to_string(not_included.size()) + " files") +
            " (mkgmap does not read " + (not_included.size() == 1 ? "it" : "them") + " either):";
    constexpr std::size_t SHOWN = 10;
    for (std::size_t i = 0; i < not_included.size() && i < SHOWN; ++i) text += " " + printable(not_included[i]);
    if (not_included.size() > SHOWN) text += " and " + std::to_string(not_included.size() - SHOWN) + " more";
    return text;
}

std::string drift_text(const StyleDrift& d) {
    const std::string at = d.file.empty() ? "line " + std::to_string(d.line) + ": " : std::string();
    const std::string type = at + section_name(d.section) + " type " + printable(d.code);
    switch (d.kind) {
        case StyleDrift::Kind::NoEntry: return type + " of " + printable(d.file) + ":" + std::to_string(d.line) + " has no entry";
        case StyleDrift::Kind::NoDrawOrder: return type + " has no draw order line: mkgmap does not draw it";
        case StyleDrift::Kind::NotInStyle: return type + " has an entry but the style does not use it";
    }
    return type;
}

std::string include_files_left_out_text(const std::vector<std::string>& names, bool none_sorted) {
    std::string text = none_sorted ? std::string("No include file is in a group, so their types are not in the TYP text") +
                                         " (Add them to INC Points, Lines or Polygons, or press 'Sort by includes'):"
                                   : std::string("Include files in no group, so their types are not in the TYP text:");
    text += CRLF;
    constexpr std::size_t SHOWN = 20;
    for (std::size_t i = 0; i < names.size() && i < SHOWN; ++i) text += CRLF + ("  " + printable(names[i]));
    if (names.size() > SHOWN) text += CRLF + ("  and " + std::to_string(names.size() - SHOWN) + " more");
    return text;
}


std::string statements_not_followed_text(const std::vector<Warning>& warnings) {
    std::string text = std::string("Rules from other styles not added:") + CRLF + CRLF;
    for (const Warning& w : warnings)
        if (w.kind == Warning::Kind::IncludeNotFollowed)
            text += printable(w.path) + " line " + std::to_string(w.line) + ": " + printable(w.text) + CRLF;
    return text + CRLF + "Click 'Sort by includes' to add them.";
}

std::string other_style_missing_text(const Warning& w) {
    return "Cannot find style " + printable(w.text) + std::string(CRLF) + CRLF + printable(w.path);
}

std::string label_dropped_prefix() {
    return std::string("Some mkgmap strings could not be added.") + CRLF + CRLF;
}

}  // namespace tessaro

namespace tessaro {

std::string warnings_prefix(const std::vector<Warning>& warnings) {
    // Statements of other styles have a message of their own before this one.
    std::vector<const Warning*> listed;
    for (const Warning& w : warnings)
        if (w.kind != Warning::Kind::IncludeNotFollowed && w.kind != Warning::Kind::OtherStyleMissing) listed.push_back(&w);
    if (listed.empty()) return {};
    // A message box of a few lines: a style with thousands of faults must not fill the screen.
    constexpr std::size_t SHOWN = 20;
    std::string text;
    for (std::size_t i = 0; i < listed.size() && i < SHOWN; ++i) {
        const Warning& w = *listed[i];
        const std::string what = printable(w.text);
        if (w.kind == Warning::Kind::LabelNotInCodePage) {
            text += std::to_string(w.count) + (w.count == 1 ? " label has" : " labels have") +
                    " characters that code page " + std::to_string(w.code_page) + " lacks - shown as \"?\" (first: " +
                    section_name(w.section) + " " + what + ")" + CRLF;
            continue;
        }
        text += printable(w.path) + (w.line == 0 ? std::string() : ":" + std::to_string(w.line)) + ": ";
        switch (w.kind) {
            case Warning::Kind::CodeNotHex: text += "type code " + what + " is not a number - rule left out"; break;
            case Warning::Kind::LibraryEntryBroken:
                text += "library entry Type=" + what + " not used - mkgmap would refuse it";
                break;
            case Warning::Kind::IncludeNotFollowed: text += what + " - not followed"; break;
            case Warning::Kind::OtherStyleMissing: text += "no style " + what; break;
            case Warning::Kind::IncludeFileGone: text += "include file not found - its types are missing"; break;
            case Warning::Kind::ActionNotClosed:
            case Warning::Kind::QuoteNotClosed:
            case Warning::Kind::BracketNotClosed:
                text += std::string("this ") + open_construct_name(w.kind) +
                        " is never closed - mkgmap refuses the style here; the rules after it are read";
                break;
            case Warning::Kind::LineTooLong: text += "a line of 16 MB or more is no rule - passed over"; break;
            case Warning::Kind::NoTypesRead:
                text += "every type bracket stands in quotes or an action's braces - the file gives no entry";
                break;
            case Warning::Kind::LabelNotInCodePage: break;
        }
        text += CRLF;
    }
    if (listed.size() > SHOWN) text += "and " + std::to_string(listed.size() - SHOWN) + " more" + CRLF;
    return text + CRLF;
}

std::string out_of_memory_text(const std::string& doing) {
    return "Out of memory while " + printable(doing) + "." + CRLF + CRLF +
           "Nothing was written; any old TYP text is unchanged.";
}

std::string created_text(const std::string& typ_path, int code_page, const TypUpdate* update) {
    // The command on a line of its own: the message box keeps it whole and selectable.
    const std::string done = update != nullptr ? "TYP text updated: " + update_counts_text(*update) : "TYP text created";
    return done + CRLF + CRLF + "Compile it with:" + CRLF + mkgmap_command(typ_path, code_page);
}

std::string incomplete_text(const std::vector<Failure>& failures) {
    std::string files;
    for (const Failure& f : failures) files += (files.empty() ? "" : ", ") + printable(f.path);
    return "The TYP text is incomplete: the types of " + files + " are missing.";
}

}  // namespace tessaro
