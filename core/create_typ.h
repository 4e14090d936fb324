#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "failure.h"
#include "include_groups.h"
#include "library_files.h"
#include "look_source.h"
#include "section.h"
#include "typ_update.h"
#include "warning.h"

namespace tessaro {

// One Create-TYP run in two steps: check_create_typ says, writing nothing, what stops the run and what only warns;
// run_create_typ converts and reports. The front ends make their own messages of the results.

struct CreateTypRequest {
    std::string style_folder;  // without a trailing separator
    PerSection<bool> sections{{true, true, true}};
    bool include_tag_text = false;
    // What a fresh text's labels are written in (its header names the code
    // page); an update writes them as the old text holds its own (label_coding).
    LabelCoding labels{};
    // Looks as the library, the built-in tables and random colours alone give
    // them: no looks by tags, no point markers.
    bool classic_looks = false;
    const LibraryTexts* libraries = nullptr;  // held by the front end for as long as it runs
    IncludeFiles include_files;               // found in inc/ and sorted into groups; other styles' files
    std::string typ_path;
    std::optional<std::uint64_t> seed;        // none: random colours from the clock
    // Files the run depends on besides the style's (the library files, the
    // settings file): the TYP text never takes the place of one of them.
    std::vector<std::string> other_inputs;
    // Update the TYP text at typ_path, when there is one, instead of replacing it: its header and entries stay as
    // they are, the style's types it lacks get entries (update_typ_text). An old text with errors stops the run.
    bool update = false;
    // With update: drop the entries of types the style no longer uses; not after a file could not be read, nor
    // (unless replace_broken) after a fault of the style (is_misread).
    bool prune = false;
    bool replace_broken = false;   // with update: an old text with errors is replaced as by a fresh run
};

// What the check finds, in the order a user is told. Warnings first where
// they come first; the run may go on only when no finding stops it.
enum class Finding {
    // The libraries, of the sections that are on; "none" means missing or empty.
    NoLibraryFiles,    // stop: none of the three library texts holds anything
    NoPointLibrary,    // stop: points have no look but the library's
    NoLineLibrary,     // warning: line types get built-in looks
    NoPolygonLibrary,  // warning: polygon types get built-in looks
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

    bool can_run() const { return std::ranges::none_of(findings, stops_the_run); }
};

CreateTypCheck check_create_typ(const CreateTypRequest& request);

struct CreateTypReport {
    bool started = false;             // the output was opened: the run read the style
    bool written = false;             // the whole TYP text stands at its path
    bool in_place = false;            // written straight into a device: a failure leaves part of it there
    PerSection<std::size_t> entries;  // entries written per section
    std::vector<std::string> left_out;  // include files found but sorted into no group
    bool include_groups_empty = false;  // include files were found, and no group holds any
    bool label_dropped = false;       // a rule's label could not be added to a library look
    std::vector<Failure> failures;    // in the order they happened
    std::vector<Warning> warnings;    // in the order they were met
    std::vector<EntryLook> looks;     // one for each entry, in the order of the TYP text
    LookCounts look_counts{};         // the entries by the source of their look
    TypUpdate update;                 // what the update did (request.update)
    LabelCoding labels{};             // what the labels were written in

    // Written, and with everything the run meant to read: after a rule or include file that could not be read (in
    // full), or a refused include file, the text stands at its path without their types.
    bool complete() const { return written && failures.empty(); }
};

// The run: the style's files as plan_style_files resolves them, read into entries, then the TYP text of the header
// and the entries (or, for an update, the old text with the entries it lacks) written into a new file that replaces
// the old one only when it is complete. An output that is one of the run's inputs is refused before anything is
// read. Only to be called when the check allows it; `checked` is that check.
CreateTypReport run_create_typ(const CreateTypRequest& request, const CreateTypCheck& checked);

}  // namespace tessaro
