#include "include_statements.h"
#include <gtest/gtest.h>

namespace tessaro {
namespace {
using Statements = std::vector<IncludeStatement>;

TEST(IncludeStatements, read_every_form_mkgmap_takes_with_its_line_and_text) {
    const std::string text =
        "a=b [0x01]\ninclude 'inc/roadspeed';\n  include \"inc/name\"\r\ninclude 'inc/x' ; # note\n# include 'inc/commented';\n"
        "include lines from default;\n\tinclude 'lines' from \"other\"\ninclude inc/bare;\nincludes 'inc/no';\nx=1 & include 'inc/no'\n"
        "include 'unclosed;\ninclude '';\ninclude 'points' from;\ninclude 'points' fromage\n"
        // mkgmap reads these as conditions on a tag named "include".
        "include = yes [0x01]\ninclude != no & a=b [0x01]\ninclude ~ 'x.*' [0x01]\n"
        // A quote right after the word; a "#" within quotes.
        "include'inc/glued';\ninclude 'inc/h#sh' # include 'inc/no'\n"
        // Wherever a rule may start on the line: after a statement, after a rule's type bracket; not within quotes, braces
        // or a condition.
        "include 'inc/one'; include 'lines' from other; include \"inc/two\" # include 'inc/no'\n"
        "include 'inc/r' a=b & c='include \"inc/no\"' {set d='] include x'} [0x2d02] include 'inc/after' e=f [0x01]\n"
        "highway=track [0x0a resolution 22] include 'inc/tracks';\n";
    EXPECT_EQ(include_statements(text),
              (Statements{{"inc/roadspeed", "", 2, ""}, {"inc/name", "", 3, ""}, {"inc/x", "", 4, ""},
                          {"lines", "default", 6, "include lines from default;"}, {"lines", "other", 7, "include 'lines' from \"other\""},
                          {"inc/bare", "", 8, ""}, {"points", "", 14, ""}, {"inc/glued", "", 18, ""}, {"inc/h#sh", "", 19, ""},
                          {"inc/one", "", 20, ""}, {"lines", "other", 20, "include 'lines' from other;"}, {"inc/two", "", 20, ""},
                          {"inc/r", "", 21, ""}, {"inc/after", "", 21, ""}, {"inc/tracks", "", 22, ""}}));
    EXPECT_TRUE(include_statements("include").empty());
}

// The forms mkgmap's reading of an info file takes; a "#" later in a line belongs to the value there, and lines within
// braces to another key.
TEST(IncludeStatements, read_the_base_style_lines_of_an_info_file) {
    const std::string info = "# base-style=commented\nbase-style=one\ndescription {\nbase-style=described\n}\n  base-style :  two \r\n"
                             "base-style { three }\nbase-style four\nBase-Style=five\nbase-style=\n";
    EXPECT_EQ(base_style_lines(info), (Statements{{"", "one", 2, "base-style=one"},
                                                  {"", "two", 6, "base-style :  two"},
                                                  {"", "three", 7, "base-style { three }"}}));
}
}  // namespace
}  // namespace tessaro
