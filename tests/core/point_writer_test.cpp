#include "point_writer.h"

#include <gtest/gtest.h>

#include "support/writer_run.h"

namespace tessaro {
namespace {

// One entry per code with the first rule's label, and nothing for codes the
// library lacks, are pinned by the golden files.
struct PointRun : test::WriterRun {
    // The second entry has no code: only an item without one would find it.
    PointRun() { state.point_library.assign("Type=0x02d02\r\nXpm=\"bar\"\r\n[end]\r\nType=0x\r\nXpm=\"none\"\r\n[end]\r\n"); }
    std::string run(const std::string& rules) { return WriterRun::run(pois, rules, "points"); }
};

TEST(Pois, cut_codes_at_the_bracket_skip_items_without_a_code_keep_an_indent_in_labels_and_obey_the_switch) {
    PointRun r;
    EXPECT_EQ(r.run("amenity=bar [0x2d02]\nx=y [0x]\n[\n"), "[_point]\r\nType=0x02d02\r\nXpm=\"bar\"\r\n\r\n[end]\r\n\r\n");
    r.state.include_tag_text = true;
    EXPECT_NE(r.run("  amenity=bar [0x2d02]\n").find("String1=0x04, amenity=bar\r\n"), std::string::npos);
    r.state.points_on = false;
    EXPECT_EQ(r.run("amenity=bar [0x2d02]\n"), "");
    EXPECT_TRUE(r.shell.messages.empty());
}

}  // namespace
}  // namespace tessaro
