#include <gtest/gtest.h>

#include "polygon_entries.h"
#include "support/entries_run.h"

namespace tessaro {
namespace {

// The draw_order golden files pin each code listed once at its first rule, in its own case, and
// what is no code (the first "[" opens a pattern, "x" and then a blank, no hex digits behind "x");
// extended codes and the cut at "]" are pinned by the quirks golden files.
// A type takes the level of its look, also of a look found by its tags, and the
// name of that look; a type without a look takes the library's level for it (the
// default level of a library without one: the golden files). Classic looks: all
// on level 1, no names. Without a type there is no draw order at all.
TEST(DrawOrder, puts_each_type_on_the_level_of_its_look_and_is_absent_without_types) {
    const std::string forest = "[_polygon]\r\nType=0x50\r\n;tags=landuse=forest\r\n;level=2\r\n;name=forest\r\n"
                               "Xpm=\"0 0 1 0\"\r\n\"1 c #00FF00\"\r\n[end]\r\n";
    const std::string rules = "landuse=forest [0x50]\nlanduse=forest & x=y [0x10f01]\na=b [0x3c]\n";
    test::EntriesRun r;
    r.libraries[Section::Polygon] = LibraryText(";level-without-look=4\r\n\r\n" + forest);
    const std::string text = r.run(add_polygon_entries, rules);
    EXPECT_EQ(text.rfind("[_drawOrder]\r\nType=0X50,2\r\nType=0X10f01,2\r\nType=0X3c,4\r\n[End]\r\n", 0), 0u) << text;
    EXPECT_NE(text.find("Type=0x50\r\n;tags=landuse=forest\r\n;level=2\r\n;name=forest\r\nString1=0x04,forest\r\nXpm="),
              std::string::npos) << text;
    EXPECT_NE(text.find("Type=0x10f01\r\n;tags=landuse=forest\r\n;level=2\r\n;name=forest\r\nString1=0x04,forest\r\n"),
              std::string::npos) << text;

    r.classic_looks = true;
    const std::string classic = r.run(add_polygon_entries, rules);
    EXPECT_EQ(classic.rfind("[_drawOrder]\r\nType=0X50,1\r\nType=0X10f01,1\r\nType=0X3c,1\r\n[End]\r\n", 0), 0u) << classic;
    EXPECT_EQ(classic.find("String1=0x04,forest"), std::string::npos);
    EXPECT_EQ(r.run(add_polygon_entries, "natural=water\n# [0x3c]\n"), "");
}

}  // namespace
}  // namespace tessaro
