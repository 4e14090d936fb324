#include "point_entries.h"
#include "support/entries_run.h"

namespace tessaro {
namespace {
// One entry per code with the first rule's label, and nothing for codes the library lacks, are pinned by the golden files.
TEST(WritePoints, cut_codes_at_the_bracket_skip_items_without_a_code_and_keep_an_indent_in_labels) {
    test::EntriesRun r;
    // The second entry has no code: only an item without one would find it.
    r.libraries[Section::Point].assign("Type=0x02d02\r\nXpm=\"1 1 1 1\"\r\n\"a c #000001\"\r\n\"a\"\r\n[end]\r\nType=0x\r\nXpm=\"1 1 1 1\"\r\n\"a c #000009\"\r\n\"a\"\r\n[end]\r\n");
    EXPECT_EQ(r.run(add_point_entries, "amenity=bar [0x2d02]\nx=y [0x]\n[\n"), "[_point]\r\nType=0x02d02\r\nXpm=\"1 1 1 1\"\r\n\"a c #000001\"\r\n\"a\"\r\n\r\n[end]\r\n\r\n");
    EXPECT_EQ(r.report.entries[Section::Point], 1u);
    r.include_tag_text = true;
    EXPECT_NE(r.run(add_point_entries, "  amenity=bar [0x2d02]\n").find("String1=0x04, amenity=bar\r\n"), std::string::npos);
    EXPECT_TRUE(r.report.failures.empty() && !r.report.label_dropped);
}
}  // namespace
}  // namespace tessaro
