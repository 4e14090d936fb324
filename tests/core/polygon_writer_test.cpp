#include "polygon_writer.h"

#include <gtest/gtest.h>

#include "support/writer_run.h"

namespace tessaro {
namespace {

using test::WriterRun;

// The [_polygon] entries of a run, without its draw order section. Solid and
// library looks, labels and the first rule of a code are pinned by the golden files.
std::string entries_of(WriterRun& r, const std::string& rules) {
    const std::string text = r.run(write_polygons, rules);
    const std::size_t end = text.find("[End]\r\n\r\n");
    return end == std::string::npos ? text : text.substr(end + 9);
}

TEST(WritePolygons, write_codes_in_lower_case_skip_items_without_a_code_and_start_random_colours_afresh) {
    WriterRun r;
    const std::string forest = entries_of(r, "landuse=forest [0X50 resolution 20]\nname~'[A-Z]' & a=b [0x4e]\nx=0x3c [\n");
    EXPECT_EQ(forest.rfind("[_polygon]\r\nType=0x50\r\nString1=0x4,forest\r\n", 0), 0u);
    EXPECT_EQ(forest.find("[_polygon]", 1), std::string::npos);  // the items of the last two rules carry no type code
    // Every run starts the random colours afresh (those of given seeds are pinned by the golden files).
    const std::string rules = "a=b [0x4e]\nc=d [0x04]\ne=f [0x07]\n";
    const std::string first = r.run(write_polygons, rules);
    EXPECT_EQ(r.run(write_polygons, rules), first);
    EXPECT_EQ(test::crlf_lines(entries_of(r, rules))[6].size(), std::string("\"0 c #123456\"").size());
}

}  // namespace
}  // namespace tessaro
