#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "section.h"
#include "typ_reader.h"
#include "typ_scanner.h"

namespace tessaro::detail {

// mkgmap's colour: "#" and three hexadecimal pairs, a fourth (alpha) when
// longer; nothing where mkgmap fails on it.
std::optional<std::string> colour_value(std::string_view s);
// The characters of a UTF-8 text: pixels and labels are counted in them.
std::size_t char_count(std::string_view utf8);
// A piece of the text for a message: at most 40 bytes, control characters as "?".
std::string shown(std::string_view s);

// The problems of a text as they are found. mkgmap stops at an error; the
// reader names it and passes over the rest of the block, which may hold more.
struct ProblemLog {
    std::vector<TypProblem> problems;
    bool broken = false;     // an error stopped the block: the rest of it is passed over
    std::size_t reopen = 0;  // the line of a "[" met where a picture goes on: the next block's tag

    void problem(std::size_t line, std::string message) { problems.push_back({line, std::move(message)}); }
    void warning(std::size_t line, std::string message) {
        problems.push_back({line, std::move(message), Severity::Warning});
    }
    void fail(std::size_t line, std::string message) {
        problem(line, std::move(message));
        broken = true;
    }
};

// Reads a picture of a TYP text as mkgmap's compiler does, from the scanner
// of the whole text: "w h colours chars-per-pixel" from the key's value (what
// follows the four numbers is left alone), then the colour lines and rows
// that follow it; false when mkgmap stops in it. With a `section` (a line's
// or a polygon's picture) it is checked against what that section takes.
bool read_xpm(TypScanner& scan, ProblemLog& log, XpmImage& x, const std::string& value, std::size_t line,
              std::optional<Section> section);

}  // namespace tessaro::detail
