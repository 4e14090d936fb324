#include "polygon_entries.h"

#include <gtest/gtest.h>

#include "support/entries_run.h"

namespace tessaro {
namespace {

using test::EntriesRun;

// The colours of given seeds, codes written in lower case, solid and library looks, labels
// and the first rule of a code are pinned by the golden files.
TEST(WritePolygons, start_random_colours_afresh_in_every_run) {
    EntriesRun r;
    const std::string rules = "a=b [0x4e]\nc=d [0x04]\ne=f [0x07]\n";
    const std::string first = r.run(add_polygon_entries, rules);
    EXPECT_EQ(r.run(add_polygon_entries, rules), first);
    // The first entry after the draw order has a colour, so the runs drew one.
    const std::vector<std::string> entries = test::crlf_lines(first.substr(first.find("[End]\r\n\r\n") + 9));
    EXPECT_EQ(entries.at(6).size(), std::string("\"0 c #123456\"").size());
}

// One entry and one draw-order line per type: codes are compared by the type they
// stand for; a code that is no number is named with its line and has neither.
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

}  // namespace
}  // namespace tessaro
