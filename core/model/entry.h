#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "look_source.h"
#include "section.h"

namespace tessaro {

// One entry of a TYP text as a run makes it: what the writer writes, the
// draw order lists, the report and an update read.
struct Entry {
    Section section = Section::Point;
    std::uint32_t type = 0;   // its TYP type (code_typ_type): a run makes one entry for each
    std::string rule_code;    // the code as the rule wrote it
    std::string text;         // the entry as TYP text, from "[_point]" (or its kind) to "[end]" and CR LF
    EntryLook look;           // where its look came from; look.code: the code as written after Type=
    std::string label;        // the label a built-in or random look was given, in the text's bytes
    int level = 1;            // polygons: the draw-order level
    std::string draw_order;   // polygons: the type's digits as the draw order names them
    std::string file;         // the rule file that named the type first, and its line
    std::size_t line = 0;
    std::size_t file_index = 0;  // which of the run's files: each polygon file's entries follow their own draw order
};

}  // namespace tessaro
