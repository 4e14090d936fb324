#pragma once

#include <cstddef>
#include <string>

#include "section.h"

namespace tessaro {

// Something the run went past without stopping, that the user should hear
// of: a rule or library line it could not use, a statement it did not
// follow. As with Failure, the front ends put it into words.
struct Warning {
    enum class Kind {
        CodeNotHex,          // a rule's type code is no number mkgmap reads (text: the code)
        LibraryEntryBroken,  // a library entry mkgmap would refuse: no [end], a bad Type=, a broken look (text: the code)
        IncludeNotFollowed,  // an include statement that takes rules from another style (text: the statement)
        OtherStyleMissing,   // the other style that a statement names is not there (text: its name)
        // Labels with characters that the text's code page lacks, written as "?" (once a
        // run; text: the first such type's code, section: its section, count: the labels,
        // code_page: the page).
        LabelNotInCodePage,
        IncludeFileGone,     // a sorted include file that is no longer there (path: the file)
        // A construct of a rule file left open where mkgmap refuses the style
        // (line: where it opened); the rules after it are read all the same.
        ActionNotClosed,     // an action's "{" without its "}"
        QuoteNotClosed,      // a quote without its closing quote
        BracketNotClosed,    // a type bracket's "[" without its "]"
        // A rule file with type brackets of which none could be read as a rule's
        // type: they all stand in quotes or actions.
        NoTypesRead,
        LineTooLong,         // a line of a rule file longer than any rule (16 MB): passed over
    };
    Warning() = default;
    Warning(Kind k, std::string file, std::size_t at_line, std::string what)
        : kind(k), path(std::move(file)), line(at_line), text(std::move(what)) {}

    Kind kind = Kind::CodeNotHex;
    std::string path;      // the file the warning is about
    std::size_t line = 0;  // 1-based; 0 when it belongs to no line
    std::string text;
    Section section = Section::Point;
    std::size_t count = 0;
    int code_page = 0;

    bool operator==(const Warning&) const = default;
};

// A fault of the style by which its types were read otherwise than mkgmap
// would: the style's own types may differ from what was read.
inline bool is_misread(const Warning& w) {
    return w.kind == Warning::Kind::ActionNotClosed || w.kind == Warning::Kind::QuoteNotClosed ||
           w.kind == Warning::Kind::BracketNotClosed || w.kind == Warning::Kind::NoTypesRead ||
           w.kind == Warning::Kind::LineTooLong;
}

// How a map maker calls the construct of an *NotClosed warning.
inline const char* open_construct_name(Warning::Kind kind) {
    switch (kind) {
        case Warning::Kind::ActionNotClosed: return "action \"{\"";
        case Warning::Kind::QuoteNotClosed: return "quote";
        case Warning::Kind::BracketNotClosed: return "type bracket \"[\"";
        default: return "";
    }
}

}  // namespace tessaro
