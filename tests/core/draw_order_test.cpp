#include "draw_order.h"

#include <gtest/gtest.h>

#include "polygon_writer.h"
#include "support/writer_run.h"

namespace tessaro {
namespace {

std::string draw_order_of(const std::string& rules) {
    test::WriterRun r;
    r.state.polygons_on = true;
    const std::string text = r.run(polygons, rules);
    return text.substr(0, text.find("[End]\r\n") + 7);
}

TEST(DrawOrder, lists_each_code_once_in_its_own_case_at_its_first_rule) {
    EXPECT_EQ(draw_order_of("natural=water [0x3c resolution 20]\nlanduse=forest [0x50]\n"
                            "water=lake [0x3c]\nwater=pond [0x3C resolution 20]\n"),
              "[_drawOrder]\r\nType=0X3c,1\r\nType=0X50,1\r\nType=0X3C,1\r\n[End]\r\n");
}

TEST(DrawOrder, keeps_extended_codes_and_cuts_at_the_closing_bracket) {
    EXPECT_EQ(draw_order_of("a=b [0x10f04 resolution 20]\nc=d [0X4f]\n"),
              "[_drawOrder]\r\nType=0X10f04,1\r\nType=0X4f,1\r\n[End]\r\n");
}

TEST(DrawOrder, takes_the_code_after_the_first_x_and_skips_what_is_no_code) {
    // The first "[" opens a pattern: the first "x" is that of the type code.
    // With "x" and then a blank, or no hex digits behind the "x", an item gives no line.
    EXPECT_EQ(draw_order_of("name~'[A-Z]' & a=b [0x4e]\nfixme=[x y] [0x3c]\nnote=[fix me] [0x3d]\n"),
              "[_drawOrder]\r\nType=0X4e,1\r\n[End]\r\n");
}

TEST(DrawOrder, is_absent_without_qualifying_rules_or_with_polygons_off) {
    test::WriterRun r;
    EXPECT_EQ(r.run(polygons, "natural=water\n# [0x3c]\n"), "");
    r.state.polygons_on = false;
    EXPECT_EQ(r.run(polygons, "natural=water [0x3c]\n"), "");
}

}  // namespace
}  // namespace tessaro
