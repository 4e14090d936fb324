#include "window_texts.h"

#include "app_state.h"
#include "text_util.h"
#include "typ_text.h"

namespace tessaro {

std::string window_caption(const std::string& style_folder, const std::string& suffix) {
    return std::string("tessaro ") + PROGRAM_VERSION + " style : " + style_name(style_folder) + " " + suffix;
}

std::string finding_text(Finding finding) {
    switch (finding) {
        case Finding::NoPointLibrary: return "Cannot find file to parse points";
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

std::string failure_text(const Failure& f) {
    const std::string why = f.system_error.empty() ? std::string() : ": " + f.system_error;
    switch (f.kind) {
        case Failure::Kind::Read:
        case Failure::Kind::Write:
        case Failure::Kind::OutputIsFolder: return f.path + why;
        case Failure::Kind::OutputIsSpecial: return f.path + ": not a regular file";
        case Failure::Kind::OutputNotRemoved:
            return f.path + ": could not be replaced" + (why.empty() ? ": the old file is still there" : why);
        case Failure::Kind::UnsafeIncludeName: return f.path + ": refused: an include file is named without any folder";
        case Failure::Kind::OutputIsInput:
            return "The TYP text could not be written: " + f.path + " is the same file as " + f.other_path +
                   ", which the conversion reads. Please type another TYP text path.";
        case Failure::Kind::UnsafeOtherStyleName: return f.path + ": refused: the name leads out of the styles folder";
    }
    return f.path + why;
}

std::string sort_include_files_text() {
    return std::string("Please sort 'Inc' files into points ,lines or polygons.") + CRLF + CRLF +
           "Select file(s) and click appropriate 'Add' button";
}

std::string include_files_not_added_text() {
    return std::string("inc files not added ") + CRLF + CRLF + "to points, lines or polygons list boxes.";
}

std::string statements_not_followed_text(const std::vector<Warning>& warnings) {
    std::string text = std::string("Rules from other styles not added:") + CRLF + CRLF;
    for (const Warning& w : warnings)
        if (w.kind == Warning::Kind::IncludeNotFollowed)
            text += w.path + " line " + std::to_string(w.line) + ": " + w.text + CRLF;
    return text + CRLF + "Click 'Sort by includes' to add them.";
}

std::string other_style_missing_text(const Warning& w) {
    return "Cannot find style " + w.text + std::string(CRLF) + CRLF + w.path;
}

std::string label_dropped_prefix() {
    return std::string("Some mkgmap strings could not be added.") + CRLF + CRLF;
}

}  // namespace tessaro
