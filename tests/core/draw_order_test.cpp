#include "draw_order.h"

#include <gtest/gtest.h>

#include "polygon_writer.h"
#include "support/writer_run.h"

namespace tessaro {
namespace {

// The draw_order golden files pin each code listed once at its first rule, in its own case, and
// what is no code (the first "[" opens a pattern, "x" and then a blank, no hex digits behind "x");
// extended codes and the cut at "]" are pinned by the quirks golden files.
TEST(DrawOrder, is_absent_without_qualifying_rules) {
    test::WriterRun r;
    EXPECT_EQ(r.run(write_polygons, "natural=water\n# [0x3c]\n"), "");
}

}  // namespace
}  // namespace tessaro
