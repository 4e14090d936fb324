#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tessaro {

// One statement that takes rules from another file: a rule file's
// include 'inc/roadspeed';   include "points" from default   include lines from default;
// (the name quoted with single or double quotes or not at all, ";" optional),
// or an info file's base-style=default, which takes the style's rule files.
struct IncludeStatement {
    std::string path;    // the file named; empty for a base-style line
    std::string style;   // the style after "from" (or of base-style); empty for a file of this style
    std::size_t line = 0;  // 1-based
    // The statement as written, to its ";" if it has one; kept only where the rules come from another style (those a
    // run may name): a style may have many thousand statements of its own.
    std::string text;

    bool operator==(const IncludeStatement&) const = default;
};

// The include statements of files already read, by path (as the include walk names them).
using KnownStatements = std::unordered_map<std::string, std::vector<IncludeStatement>>;

// The include statements of a rule text, in order. Of a line that starts with a statement, each statement that stands
// where a rule may start: first, after another statement, after a rule's type bracket.
std::vector<IncludeStatement> include_statements(std::string_view rule_text);

// The base-style lines of a style's info text ("base-style=NAME", "base-style: NAME",
// "base-style { NAME }"), in order.
std::vector<IncludeStatement> base_style_lines(std::string_view info_text);

// The include statements of a file; one that cannot be read gives those of what was read.
std::vector<IncludeStatement> read_include_statements(const std::string& path);

}  // namespace tessaro
