#include "polygon_entries.h"
#include "support/entries_run.h"
#include <sstream>

namespace tessaro {
namespace {
using test::EntriesRun;

// Colours of given seeds, lower-case codes, looks, labels and a code's first rule: the golden files.
TEST(WritePolygons, start_random_colours_afresh_in_every_run) {
    EntriesRun r;
    const std::string first = r.run(add_polygon_entries, "a=b [0x4e]\nc=d [0x04]\ne=f [0x07]\n");
    EXPECT_EQ(r.run(add_polygon_entries, "a=b [0x4e]\nc=d [0x04]\ne=f [0x07]\n"), first);
    // The first entry after the draw order has a colour, so the runs drew one.
    const std::vector<std::string> entries = test::crlf_lines(first.substr(first.find("[End]\r\n\r\n") + 9));
    EXPECT_EQ(entries.at(6).size(), std::string("\"0 c #123456\"").size());
}

// One entry and draw-order line per type, codes compared by the type they stand for (more: the type_codes golden files);
// each code of a line that is no number is named with its line and has neither.
TEST(WritePolygons, write_each_type_once_and_skip_codes_that_are_no_number_with_a_warning) {
    EntriesRun r;
    const std::string text =
        r.run(add_polygon_entries, "a=b [0x3c]\nc=d [0X03C] [0x3C00]\ne=f [0xZZ]\r\ng=h [0x-1 level 2] [0x1\x01]\ni=j [0x]\n");
    EXPECT_EQ(text.rfind("[_drawOrder]\r\nType=0X3c," + std::to_string(LEVEL_WITHOUT_LOOK) + "\r\n[End]\r\n", 0), 0u) << text;
    EXPECT_EQ(text.find("Type=0x", text.find("Type=0x3c") + 1), std::string::npos);
    const std::string path = r.dir / "rules";
    EXPECT_EQ(r.report.warnings, (std::vector<Warning>{{Warning::Kind::CodeNotHex, path, 3, "0xZZ"},
                                                       {Warning::Kind::CodeNotHex, path, 4, "0x-1"},
                                                       {Warning::Kind::CodeNotHex, path, 4, "0x1\x01"},
                                                       {Warning::Kind::CodeNotHex, path, 5, "0x"}}));
}

// The draw_order golden files pin each code listed once at its first rule, in its own case, and what is no code; the cli update
// test a level of a library look. A type takes the level of its look, also of one found by its tags; a type without a look the
// library's level for it; classic looks level 1. Without a type there is no draw order at all.
TEST(DrawOrder, puts_each_type_on_the_level_of_its_look_and_is_absent_without_types) {
    test::EntriesRun r;
    r.libraries[Section::Polygon] = LibraryText(";level-without-look=4\r\n\r\n[_polygon]\r\nType=0x50\r\n;tags=landuse=forest\r\n;level=2\r\n"
                                                "Xpm=\"0 0 1 0\"\r\n\"1 c #00FF00\"\r\n[end]\r\n");
    const std::string rules = "landuse=forest [0x50]\nlanduse=forest & x=y [0x10f01]\na=b [0x3c]\n";
    const std::string text = r.run(add_polygon_entries, rules);
    EXPECT_EQ(text.rfind("[_drawOrder]\r\nType=0X50,2\r\nType=0X10f01,2\r\nType=0X3c,4\r\n[End]\r\n", 0), 0u) << text;
    r.classic_looks = true;
    const std::string classic = r.run(add_polygon_entries, rules);
    EXPECT_EQ(classic.rfind("[_drawOrder]\r\nType=0X50,1\r\nType=0X10f01,1\r\nType=0X3c,1\r\n[End]\r\n", 0), 0u) << classic;
    EXPECT_EQ(r.run(add_polygon_entries, "natural=water\n# [0x3c]\n"), "");
}

// The polygon_looks golden files pin the look of every code from 0x01 to 0x5f; no other code has a built-in look.
TEST(BuiltinPolygonLook, is_found_only_for_the_exact_lower_case_code_and_for_no_code_outside_0x01_to_0x5f) {
    EXPECT_TRUE(has_builtin_polygon_look("0x3c"));
    std::vector<std::string> none = {"0x3C", "0X3c", "0x03c", "0x5", "0x3c]", "3c", "", "0x00", "0x100", "0x10000", "0x1003c"};
    for (int c = 0x60; c < 0x100; ++c) none.push_back((std::ostringstream() << "0x" << std::hex << c).str());
    for (const std::string& code : none) EXPECT_FALSE(has_builtin_polygon_look(code)) << '"' << code << '"';
}
}  // namespace
}  // namespace tessaro
