#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "section.h"

namespace tessaro {

// Where the look of an entry came from, in the order the writers try them.
enum class LookSource {
    Library,  // the library entry of the rule's own code
    Table,    // the built-in look of the code (lines, polygons)
    Tags,     // the library look whose tags the rule's condition matches
    Marker,   // the marker of the point code's category
    Family,   // a colour of the family of the rule's key (lines, polygons)
    Random,   // a random colour (lines, polygons)
    Kept,     // an update kept the old text's entry of a type the style uses
    Unused,   // an update kept the old text's entry of a type the style no longer uses
};

// "library", "table", "tags", "marker", "family", "random", "kept", "unused".
const char* look_source_name(LookSource source);

// One entry of the TYP text and where its look came from.
struct EntryLook {
    Section section = Section::Point;
    std::string code;          // as written after Type=
    LookSource source = LookSource::Library;
    std::string library_code;  // the library look used (Library, Tags), else empty
    std::string matched;       // the tags that matched (Tags), else empty
    std::string condition;     // the rule's condition, at most 200 bytes
    std::string replaced;      // the code's own library look that the rule's tags overruled (Tags), else empty
    std::string variant_of;    // the look this entry draws a variant of (make_looks_distinct), and the tag that set it; else empty
};

// Why an entry has its look, in a few words: "tags over the code's look
// 0x00d00", "variant of 0x00600", or what its source means.
std::string look_reason(const EntryLook& look);

// How many entries took their look from each source (indexed by LookSource).
using LookCounts = std::array<std::size_t, 8>;
LookCounts count_looks(const std::vector<EntryLook>& looks);

// "218 types: 180 library, 20 table, 12 tags, 2 marker, 3 family, 1 random": every
// source in that order, those with no entry left out.
std::string look_summary(const LookCounts& counts);

// The report of the looks: one line per entry, tab-separated: section,
// code, source, library code (or "-"), matched tags (or "-"), condition;
// control characters in any field written as "?". Unless `classic`, a
// header line names the columns first and the reason (look_reason) stands
// before the condition.
std::string look_report(const std::vector<EntryLook>& looks, bool classic = false);

}  // namespace tessaro
