#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

// Reading the look sources: their lines split into words, the named blocks
// of rows, the palette, and the tags and night colours put under their looks.
namespace tessaro::detail {

struct SourceLine {
    std::string where;  // "file:line"
    std::vector<std::string> words;
    std::string text;
    std::string tags;  // a look's "tags" line, in the library's form (see attach_tags)
    std::vector<std::string> night;  // a look's "night" line: its own night colours
};

using Rows = std::vector<std::string>;

// Throws LookSourceError as "where: what".
[[noreturn]] void fail(const std::string& where, const std::string& what);

// A row of pixels in a glyph or pattern: ".", "#" and "+" only.
bool is_row(const std::string& text);

// The lines of a source file that say something: ";" starts a comment line.
std::vector<SourceLine> read_source(const std::string& folder, const std::string& name);

// The rest of a line's words from index i on, joined by blanks: a look's name.
std::string name_from(const SourceLine& line, std::size_t i);

// Named blocks of rows ("glyph NAME" or "pattern NAME" followed by its rows).
std::map<std::string, Rows> read_blocks(const std::vector<SourceLine>& lines, const std::string& keyword);

// The named colours of palette.txt.
class Palette {
public:
    explicit Palette(const std::vector<SourceLine>& lines);
    // A palette name, "#RRGGBB" or (where allowed) "none", as the XPM colour text.
    std::string colour(const SourceLine& line, const std::string& ref, bool none_allowed = false) const;

private:
    std::map<std::string, std::string> m_colours;
};

// Moves each "tags" and "night" line into the look line above it, so that the
// rest of the generator sees looks only. One alternative stands for one look of
// a file: a second look with it could never be chosen by its tags.
std::vector<SourceLine> attach_tags(std::vector<SourceLine> lines, const std::set<std::string>& look_kinds);

}  // namespace tessaro::detail
