#include "line_writer.h"

#include <gtest/gtest.h>

#include "typ_reader.h"
#include "support/writer_run.h"

namespace tessaro {
namespace {

using test::WriterRun;

// Each entry as "code width/border colours", or "code WxH colours" for a dash pattern. The golden files pin
// the entries' layout, four dash patterns, the motorway override, repeated codes, library looks, random colours.
std::string looks_of(const std::string& typ_text) {
    std::string out;
    for (const TypEntry& e : read_typ_text(typ_text).entries) {
        out += e.type + " " +
               (e.line_width >= 0 ? std::to_string(e.line_width) + "/" + std::to_string(e.border_width)
                                  : std::to_string(e.xpm.width) + "x" + std::to_string(e.xpm.height));
        for (const XpmColour& c : e.xpm.colours) out += " " + c.colour;
        out += "\n";
    }
    return out;
}

TEST(Lines, gives_every_code_of_the_look_table_its_look) {
    std::string rules;
    for (const char* code : {"0x01", "0x02", "0x03", "0x04", "0x05", "0x06", "0x07", "0x0a", "0x0e", "0x0f", "0x16", "0x10",
                             "0x0d", "0x20", "0x21", "0x22", "0x23", "0x24", "0x25", "0x27", "0x18", "0x26", "0x1f", "0x14"})
        rules += std::string("highway=road [") + code + " resolution 20]\n";
    WriterRun r;
    const std::string text = r.run(lines, rules);
    EXPECT_TRUE(read_typ_text(text).problems.empty());  // every dash pattern row as wide and as many as declared
    EXPECT_EQ(looks_of(text),
              "0x01 5/1 #1CA9DE #0000A0\n0x02 4/1 #11A868\n0x03 4/1 #C4136E\n0x04 4/1 #ECC508\n0x05 3/1 #FFFF00\n"
              "0x06 3/1 #FFFFFF\n0x07 2/1 #a0a0a0\n0x0a 32x2 #000000 none\n0x0e 32x2 #000000 none\n"
              "0x0f 32x3 #804000 none\n0x16 32x2 #269329 none\n0x10 32x3 #0000ff none\n0x0d 32x3 #0000ff none\n"
              "0x20 1/0 #FF8040\n0x21 1/0 #FFBD9D\n0x22 2/0 #FFBD9D\n0x23 2/0 #FFBD9D\n0x24 2/0 #FFBD9D\n"
              "0x25 2/0 #FFBD9D\n0x27 14/0 #0c0c0c\n0x18 4/0 #B7F7FF\n0x26 8/1 #B7F7FF\n0x1f 8/1 #B7F7FF\n"
              "0x14 32x5 #000000 #FFFFFF\n");
}

TEST(Lines, labels_come_from_the_value_the_whole_condition_or_nothing_and_no_bracket_or_switch_gives_nothing) {
    WriterRun r;
    // A bracket on the first line has no condition to be joined with.
    const std::string text = r.run(lines, "[0x04]\nhighway=primary [0x02]\nbridge [0x03]\n  waterway = river [0x1f]\n");
    for (const char* label : {"primary", "bridge", " river"})
        EXPECT_NE(text.find("String1=0x4," + std::string(label) + "\r\n"), std::string::npos) << label;
    const std::size_t bare = text.find("Type=0x04\r\n");
    ASSERT_NE(bare, std::string::npos);
    EXPECT_GT(text.find("String1"), text.find("[end]", bare));
    EXPECT_EQ(r.run(lines, "highway=primary { name 'x' }\n[\n"), "");
    EXPECT_TRUE(r.shell.messages.empty());
    r.state.lines_on = false;
    EXPECT_EQ(r.run(lines, "highway=primary [0x02]\n"), "");
}

}  // namespace
}  // namespace tessaro
