#include "window_texts.h"

#include "app_state.h"
#include "text_util.h"
#include "typ_text.h"

namespace tessaro {

std::string window_caption(const std::string& style_folder, const std::string& suffix) {
    return std::string("tessaro ") + PROGRAM_VERSION + " style : " + printable(style_name(style_folder)) + " " + suffix;
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
            return std::string("Cannot find lines,points or polygons.") + CRLF + CRLF +
                   "Double Click on Folder containing these files.";
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
    return CRLF + ("Kept " + std::to_string(u.kept) + " entries as they were, added " + std::to_string(u.added) + ", " +
                   std::to_string(u.unused) + (u.pruned ? " no longer used (dropped)" : " no longer used by the style (kept)"));
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
    return std::string("Please sort 'Inc' files into points ,lines or polygons.") + CRLF + CRLF +
           "Select file(s) and click appropriate 'Add' button";
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
    std::string text = none_sorted ? std::string("inc files not added ") + CRLF + CRLF +
                                         "to points, lines or polygons list boxes."
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

std::string created_text(const std::string& typ_path, int code_page) {
    return std::string("TYP file created") + CRLF + "Compile it with: " + mkgmap_command(typ_path, code_page);
}

std::string incomplete_text(const std::vector<Failure>& failures) {
    std::string files;
    for (const Failure& f : failures) files += (files.empty() ? "" : ", ") + printable(f.path);
    return "The TYP text is incomplete: the types of " + files + " are missing.";
}

}  // namespace tessaro
