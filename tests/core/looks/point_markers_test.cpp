#include "point_markers.h"

#include <gtest/gtest.h>

#include "typ_reader.h"

namespace tessaro {
namespace {

// Read back as a TYP text reads it: one entry, with its code and label, and a picture
// whose header, colours and rows agree. Its bytes are pinned by the golden files.
TEST(PointMarker, is_an_entry_the_typ_reader_takes_without_a_problem) {
    const TypDocument doc = read_typ_text("[_point]\r\nType=" + point_marker("0x2a0a", 0x2a0a, "cuisine=pizza") + "[end]\r\n");
    EXPECT_TRUE(doc.problems.empty()) << doc.problems.front().message;
    ASSERT_EQ(doc.entries.size(), 1u);
    EXPECT_EQ(doc.entries[0].type + " " + doc.entries[0].label, "0x2a0a cuisine=pizza");
    EXPECT_TRUE(doc.entries[0].xpm.present);
}

}  // namespace
}  // namespace tessaro
