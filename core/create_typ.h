#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "failure.h"
#include "include_groups.h"
#include "library_files.h"
#include "section.h"
#include "warning.h"
#include "yield.h"

namespace tessaro {

// One Create-TYP run, split as a command is: check_create_typ looks at the
// request and says what stops the run and what only warns, writing nothing;
// run_create_typ converts and reports. The window, the command line and the
// benchmark call these two and make their own messages of the results.

struct CreateTypRequest {
    std::string style_folder;  // without a trailing separator
    PerSection<bool> sections{{true, true, true}};
    bool include_tag_text = false;
    const LibraryTexts* libraries = nullptr;  // held by the front end for as long as it runs
    IncludeFiles include_files;               // found in inc/ and sorted into groups; other styles' files
    std::string typ_path;
    std::optional<std::uint64_t> seed;        // none: random colours from the clock
    // Files the run depends on besides the style's (the library files, the
    // settings file): the TYP text never takes the place of one of them.
    std::vector<std::string> other_inputs;
};

// What the check finds, in the order a user is told. Warnings first where
// they come first; the run may go on only when no finding stops it.
enum class Finding {
    NoPointLibrary,    // warning: the point library text is empty
    NoLineLibrary,     // warning
    NoPolygonLibrary,  // warning
    NoSectionChosen,   // stop: every section is switched off
    StyleFolderMissing,    // stop
    StyleFolderNotFolder,  // stop: the style folder names a file
    StyleFolderEmpty,      // stop: the folder holds no file at all
    NoRuleFiles,           // stop: none of points, lines, polygons, nor in a base style
    NoLinesFile,     // warning (no base style has one either)
    NoPointsFile,    // warning
    NoPolygonsFile,  // warning
    NoOutputPath,    // stop: the TYP text path is empty
};

bool stops_the_run(Finding finding);

struct CreateTypCheck {
    std::vector<Finding> findings;
    std::string kinds;  // "p", "l", "g" for the rule files present, in listing order

    bool can_run() const;
};

CreateTypCheck check_create_typ(const CreateTypRequest& request);

struct CreateTypReport {
    bool started = false;             // the output was opened and the header written
    bool written = false;             // the whole TYP text stands at its path
    bool in_place = false;            // written straight into a device: a failure leaves part of it there
    PerSection<std::size_t> entries;  // entries written per section
    std::vector<std::string> left_out;  // include files found but sorted into no group
    bool include_groups_empty = false;  // include files were found, and no group holds any
    bool label_dropped = false;       // a rule's label could not be added to a library look
    std::vector<Failure> failures;    // in the order they happened
    std::vector<Warning> warnings;    // in the order they were met
    std::size_t chunks = 0;           // pieces of the TYP text, header included
};

// The run: the header, the rule files' sections (polygons, lines, points),
// then the include files of the groups (points, lines, polygons), each group
// followed by the section's files of other styles, into a new file that
// replaces the old one only when it is complete. When the statements that
// take rules from other styles were not followed, it names them instead. An output that is
// one of the run's inputs is refused before anything is written. Only to be
// called when the check allows it; `checked` is that check.
CreateTypReport run_create_typ(const CreateTypRequest& request, const CreateTypCheck& checked,
                               const Yield& yield = {});

}  // namespace tessaro
