#include "point_writer.h"

#include <gtest/gtest.h>

#include "support/writer_run.h"

namespace tessaro {
namespace {

const std::string LIBRARY =
    "[_point]\r\nType=0x02d02\r\nXpm=\"bar\"\r\n[end]\r\n"
    "[_point]\r\nType=0x02f0b\r\nXpm=\"parking\"\r\n[end]\r\n";

struct PointRun : test::WriterRun {
    PointRun() { state.point_library.assign(LIBRARY); }
    std::string run(const std::string& rules) { return WriterRun::run(pois, rules, "points"); }
};

TEST(Pois, writes_one_library_entry_per_code_with_the_first_rules_label) {
    PointRun r;
    r.state.include_tag_text = true;
    EXPECT_EQ(r.run("amenity=bar [0x2d02 resolution 24]\n"
                    "amenity=pub [0x2d02 resolution 24]\n"
                    "amenity=parking [0x2F0B resolution 24]\n"
                    " parking=x [0x2f0b resolution 22]\n"),
              "[_point]\r\nType=0x02d02\r\n\r\nString1=0x04,amenity=bar\r\nXpm=\"bar\"\r\n\r\n[end]\r\n\r\n"
              "[_point]\r\nType=0x02f0b\r\n\r\nString1=0x04,amenity=parking\r\nXpm=\"parking\"\r\n\r\n[end]\r\n\r\n");
}

TEST(Pois, keeps_the_leading_blank_of_an_indented_rule_in_its_label) {
    PointRun r;
    r.state.include_tag_text = true;
    EXPECT_NE(r.run("  amenity=bar [0x2d02]\n").find("String1=0x04, amenity=bar\r\n"), std::string::npos);
}

TEST(Pois, cuts_codes_at_the_closing_bracket_and_skips_items_without_a_code) {
    PointRun r;
    EXPECT_EQ(r.run("amenity=bar [0x2d02]\nx=y [0x]\n[\n"),
              "[_point]\r\nType=0x02d02\r\nXpm=\"bar\"\r\n\r\n[end]\r\n\r\n");
}

TEST(Pois, writes_nothing_for_unknown_codes_a_switched_off_section_or_a_missing_file) {
    PointRun unknown;
    EXPECT_EQ(unknown.run("shop=x [0x2e02 resolution 24]\n"), "");
    EXPECT_TRUE(unknown.shell.messages.empty());

    PointRun off;
    off.state.points_on = false;
    EXPECT_EQ(off.run(""), "");
    EXPECT_TRUE(off.shell.messages.empty());

    PointRun missing;
    EXPECT_EQ(missing.run(""), "");
    EXPECT_EQ(missing.shell.messages.size(), 1u);
}

}  // namespace
}  // namespace tessaro
