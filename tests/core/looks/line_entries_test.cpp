#include "line_entries.h"

#include <gtest/gtest.h>

#include "support/entries_run.h"

namespace tessaro {
namespace {

// The golden files pin the entries' layout, the look of every code of the look table (line_looks),
// the motorway override, repeated codes, library looks and random colours.
// Classic looks keep the value as it stands; else it is cut where the next
// condition or the actions start, without quotes, and nothing left gives no label.
TEST(WriteLines, labels_come_from_the_value_the_whole_condition_or_nothing_and_no_bracket_gives_nothing) {
    test::EntriesRun r;
    // A bracket on the first line has no condition to be joined with.
    const std::string rules = "[0x04]\nhighway=primary [0x02]\nbridge [0x03]\n  waterway = river [0x1f]\n"
                              "route=ferry & x=y {name '${ref}'} [0x1a]\nref='A 1' | b=c [0x05]\nt=(u|v) [0x06]\n";
    r.classic_looks = true;
    const std::string classic = r.run(add_line_entries, rules);
    for (const char* label : {"primary", "bridge", " river", "(u|v)"})
        EXPECT_NE(classic.find("String1=0x4," + std::string(label) + "\r\n"), std::string::npos) << label;
    r.classic_looks = false;
    const std::string text = r.run(add_line_entries, rules);
    for (const char* label : {"primary", "bridge", "river", "ferry", "A 1"})
        EXPECT_NE(text.find("String1=0x4," + std::string(label) + "\r\n"), std::string::npos) << label;
    EXPECT_EQ(text.find("String1", text.find("Type=0x06\r\n")), std::string::npos);
    const std::size_t bare = text.find("Type=0x04\r\n");
    ASSERT_NE(bare, std::string::npos);
    EXPECT_GT(text.find("String1"), text.find("[end]", bare));
    EXPECT_EQ(r.run(add_line_entries, "highway=primary { name 'x' }\n[\n"), "");
    EXPECT_TRUE(r.report.failures.empty());
}

}  // namespace
}  // namespace tessaro
