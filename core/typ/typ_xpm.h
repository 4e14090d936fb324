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
std::u32string to_u32(std::string_view utf8);
// A piece of the text for a message: at most 40 bytes, control characters as "?".
std::string shown(std::string_view s);

// Reads a picture of a TYP text as mkgmap's compiler does, from the scanner
// of the whole text: the header of the key's value, then the colour lines and
// rows that follow it. Problems go to `problems`; an error stops the block
// (`broken`), and a "[" met where the picture goes on is the next block's tag,
// left for the reader at `reopen`.
class XpmReader {
public:
    struct Sink {
        std::vector<TypProblem>& problems;
        bool& broken;
        std::size_t& reopen;
    };
    XpmReader(TypScanner& scan, Sink sink) : m_scan(scan), m_sink(sink) {}

    // "w h colours chars-per-pixel" (what follows the four numbers is left
    // alone), the colour lines, then the rows. Nothing when mkgmap stops in
    // it; else whether it suits an entry of `section` (a line's or polygon's
    // picture; none: any picture will do).
    std::optional<bool> read(XpmImage& x, const std::string& value, std::size_t line, std::optional<Section> section);

private:
    void problem(std::size_t line, std::string message);
    void warning(std::size_t line, std::string message);
    void fail(std::size_t line, std::string message);
    bool expect(std::string_view text, std::size_t line, const char* where);
    bool read_colour(XpmImage& x, std::size_t line);
    bool read_alpha(std::size_t line);
    bool read_rows(XpmImage& x);
    bool read_true_colour(XpmImage& x, std::size_t line);
    bool read_true_line(XpmImage& x, std::size_t line, std::size_t& read, std::size_t count);
    bool kind_fits(const XpmImage& x, std::size_t line, Section section);

    TypScanner& m_scan;
    Sink m_sink;
};

}  // namespace tessaro::detail
