#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "code_page.h"
#include "entry.h"
#include "look_source.h"
#include "section.h"
#include "typ_reader.h"
#include "type_code.h"

namespace tessaro {

// An update of a TYP text to its style: the map maker's edits stay, the
// style's new types get entries as a fresh run makes them.

// An old entry of a type the style no longer uses.
struct UnusedEntry {
    Section section = Section::Point;
    std::string code;      // its Type= value as written
    std::size_t line = 0;  // its first line in the written text; when dropped, in the old one
};

// What an update did, in the run's report.
struct TypUpdate {
    bool done = false;      // an old text stood at the output and was updated
    std::size_t kept = 0;   // old entries of types the style uses (or of no type), as they were
    std::size_t added = 0;  // entries made for the style's types the old text lacked
    std::size_t unused = 0; // old entries of types the style no longer uses: kept, or dropped when pruned
    bool pruned = false;    // the unused entries and their draw order lines were dropped
    bool prune_held_by_faults = false;  // pruning was asked for, and a fault of the style held it back
    std::vector<UnusedEntry> unused_entries;
    bool replaced_broken = false;      // the old text had errors and a fresh one took its place
    std::vector<TypProblem> problems;  // the old text's problems when its errors stopped the run
};

// What the fresh run of the style made.
struct FreshRun {
    const std::vector<Entry>& entries;    // in the order of a fresh text
    const PerSection<TypeSet>& types;     // every TYP type of the style, as Conversion::new_type keys them
    const PerSection<bool>& sections;     // those it read; the old entries of the others are kept as they are
};

// What an update writes the new labels in: the text's code page (CodePage=,
// 1252 when it names none), in UTF-8 when mkgmap reads the text as UTF-8.
LabelCoding label_coding(const TypDocument& doc);

struct UpdatedText {
    std::string text;
    std::vector<EntryLook> looks;  // one for each entry of `text`, in order
    PerSection<std::size_t> entries{};
    TypUpdate update;
};

// The old text byte for byte (header, entries, comments, draw order), with
// the fresh run's entries of the types it lacks after its last entry of their
// section (or at its end), and their draw order lines after its last one (or
// in a new draw order before its first polygon). Entries of types the style
// no longer uses stay, or, with `prune`, go with their draw order lines.
// Every byte added ends its lines as the old text does (line_end_of), and
// the lines are counted as the reader counts them.
UpdatedText update_typ_text(std::string_view old_text, const TypDocument& old_doc, const FreshRun& fresh, bool prune);

// How a file ends its lines: its first line end decides (CR LF, a lone CR or
// a lone LF); CR LF when it has none.
enum class LineEnd { CrLf, Lf, Cr };
LineEnd line_end_of(std::string_view text);

}  // namespace tessaro
