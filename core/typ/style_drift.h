#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "create_typ.h"
#include "failure.h"
#include "section.h"
#include "typ_reader.h"

namespace tessaro {

// How far a TYP text has drifted from the style it was made for: the style's
// types as a Create-TYP run reads them, held against the text's entries and
// draw order.

// A type the style uses, with its first rule.
struct StyleType {
    Section section = Section::Point;
    std::uint32_t type = 0;  // as typ_type reads it: the same number as the TYP text's
    std::string code;        // as that rule writes it
    std::string file;        // the rule file or include file
    std::size_t line = 0;    // 1-based
};

struct StyleTypes {
    std::vector<StyleType> types;   // in the order a run meets them
    std::vector<Failure> failures;  // files that could not be read (in full), unsafe group names
    std::vector<Warning> faults;    // constructs left open in the rule files, as the run names them
};

// The types of the style the request names, one per TYP type of a section
// (code_typ_type; codes that are no number are left out, as the run leaves them),
// from the same files and in the same order as run_create_typ reads them.
StyleTypes list_style_types(const CreateTypRequest& request);

struct StyleDrift {
    enum class Kind {
        NoEntry,      // the style uses the type; the text has no entry for it
        NoDrawOrder,  // a polygon type of the style with an entry but no draw order line
        NotInStyle,   // an entry for a type the style does not use
    };
    Kind kind = Kind::NoEntry;
    Section section = Section::Point;
    std::string code;      // the rule's code (NoEntry), else the entry's Type= value
    std::string file;      // NoEntry: the rule's file; empty otherwise
    std::size_t line = 0;  // NoEntry: the rule's line; otherwise the entry's first line in the text
};

// The drift: the style's types without an entry (in the style's order), then
// the entries the style does not use or, for polygons, that no draw order
// line names (in the text's order).
std::vector<StyleDrift> find_style_drift(const TypDocument& doc, const std::vector<StyleType>& types);

}  // namespace tessaro
