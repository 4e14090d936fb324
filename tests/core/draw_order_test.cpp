#include "draw_order.h"

#include <gtest/gtest.h>

#include "polygon_writer.h"
#include "support/writer_run.h"

namespace tessaro {
namespace {

// Extended codes and the cut at "]" are pinned by the golden files.
TEST(DrawOrder, lists_each_code_once_at_its_first_rule_skips_what_is_no_code_and_is_absent_without_codes) {
    const std::pair<std::string, std::string> cases[] = {
        // Each code once, in its own case.
        {"natural=water [0x3c resolution 20]\nlanduse=forest [0x50]\nwater=lake [0x3c]\nwater=pond [0x3C resolution 20]\n",
         "Type=0X3c,1\r\nType=0X50,1\r\nType=0X3C,1\r\n"},
        // The first "[" opens a pattern: the first "x" is that of the type code. With
        // "x" and then a blank, or no hex digits behind the "x", an item gives no line.
        {"name~'[A-Z]' & a=b [0x4e]\nfixme=[x y] [0x3c]\nnote=[fix me] [0x3d]\n", "Type=0X4e,1\r\n"},
    };
    for (const auto& [rules, order] : cases) {
        test::WriterRun r;
        const std::string text = r.run(polygons, rules);
        EXPECT_EQ(text.substr(0, text.find("[End]\r\n") + 7), "[_drawOrder]\r\n" + order + "[End]\r\n") << rules;
    }
    // Absent without qualifying rules, or with polygons off.
    test::WriterRun r;
    EXPECT_EQ(r.run(polygons, "natural=water\n# [0x3c]\n"), "");
    r.state.polygons_on = false;
    EXPECT_EQ(r.run(polygons, "natural=water [0x3c]\n"), "");
}

}  // namespace
}  // namespace tessaro
