#include "point_markers.h"

#include <gtest/gtest.h>

#include "typ_reader.h"

namespace tessaro {
namespace {

TEST(PointMarker, stands_for_the_category_of_the_code_range) {
    EXPECT_EQ(marker_category(0x2a0a), "food");
    EXPECT_EQ(marker_category(0x2b00), "lodging");
    EXPECT_EQ(marker_category(0x2fff), "services");
    EXPECT_EQ(marker_category(0x3003), "emergency");
    EXPECT_EQ(marker_category(0x6401), "manmade");
    EXPECT_EQ(marker_category(0x6508), "water");
    EXPECT_EQ(marker_category(0x6616), "natural");
    EXPECT_EQ(marker_category(0x10f05), "neutral");  // an extended code says nothing of its kind
    EXPECT_EQ(marker_category(0x0100), "neutral");
}

// Read back as a TYP text reads it: one entry, a 10 x 10 picture in three colours, the label.
TEST(PointMarker, is_an_entry_the_typ_reader_takes_without_a_problem) {
    const std::string text = "[_point]\r\nType=" + point_marker("0x2a0a", 0x2a0a, "cuisine=pizza") + "[end]\r\n";
    const TypDocument doc = read_typ_text(text);
    EXPECT_TRUE(doc.problems.empty()) << doc.problems.front().message;
    ASSERT_EQ(doc.entries.size(), 1u);
    EXPECT_EQ(doc.entries[0].type, "0x2a0a");
    EXPECT_EQ(doc.entries[0].label, "cuisine=pizza");
    EXPECT_EQ(doc.entries[0].xpm.width, 10);
    EXPECT_EQ(doc.entries[0].xpm.rows.size(), 10u);
    EXPECT_EQ(doc.entries[0].xpm.colours[1].colour, "#C8553D");
    EXPECT_EQ(point_marker("0x10f05", 0x10f05, "").find("String1"), std::string::npos);
}

}  // namespace
}  // namespace tessaro
