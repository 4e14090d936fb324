#include "polygon_writer.h"

#include <gtest/gtest.h>

#include "polygon_library.h"
#include "polygon_looks.h"
#include "support/writer_run.h"

namespace tessaro {
namespace {

using test::crlf_lines;
using test::WriterRun;
using Lines = std::vector<std::string>;

// The [_polygon] entries of a run, without its draw order section.
std::string entries_of(WriterRun& r, const std::string& rules) {
    const std::string text = r.run(polygons, rules);
    const std::size_t end = text.find("[End]\r\n\r\n");
    return end == std::string::npos ? text : text.substr(end + 9);
}

TEST(Polygons, writes_a_solid_built_in_look_with_the_rules_value_as_label) {
    WriterRun r;
    EXPECT_EQ(entries_of(r, "natural=water [0x3c resolution 20]\n"),
              "[_polygon]\r\nType=0x3c\r\nString1=0x4,water\r\nExtendedLabels=N\r\nCustomColor=No\r\n"
              "Xpm=\"0 0 1 0\"\r\n\"0 c #B7F7FF\"\r\n[end]\r\n\r\n");
}

TEST(Polygons, writes_fill_patterns_row_by_row_and_the_eight_digit_colour) {
    WriterRun r;
    const Lines got = crlf_lines(entries_of(r, "landuse=forest [0X50 resolution 20]\nx=y [0x4b]\n"));
    const FillPattern& p1 = fill_pattern(1);
    Lines want{"[_polygon]", "Type=0x50", "String1=0x4,forest", "ExtendedLabels=N", "CustomColor=No",
               "Xpm=\"32 32 2 1\"", "\"0 c #3F3F3F\"", "\"1 c #BFFF80\""};
    for (std::string_view row : p1.rows) want.push_back("\"" + std::string(row) + "\"");
    want.insert(want.end(), {"[end]", "", "[_polygon]", "Type=0x4b", "String1=0x4,y", "ExtendedLabels=N",
                             "CustomColor=No", "Xpm=\"0 0 1 0\"", "\"0 c #FFFFFFFF\"", "[end]", ""});
    EXPECT_EQ(got, want);
}

TEST(Polygons, gives_every_pattern_code_its_pattern) {
    const std::pair<const char*, int> codes[] = {{"0x50", 1}, {"0x4f", 2}, {"0x51", 3}, {"0x1a", 4},
                                                 {"0x18", 5}, {"0x19", 6}, {"0x0b", 7}, {"0x05", 8}, {"0x06", 8}};
    for (const auto& [code, n] : codes) {
        WriterRun r;
        const std::string text = entries_of(r, std::string("a=b [") + code + "]\n");
        EXPECT_NE(text.find("\"" + std::string(fill_pattern(n).colour0) + "\"\r\n\"" +
                            std::string(fill_pattern(n).colour1) + "\"\r\n\"" + std::string(fill_pattern(n).rows[0])),
                  std::string::npos)
            << code;
    }
}

TEST(Polygons, labels_whole_conditions_and_writes_none_for_a_bracket_alone) {
    WriterRun r;
    const std::string text = entries_of(r, "bridge [0x0e]\nnatural=water\n[0x3c]\n");
    EXPECT_NE(text.find("Type=0x0e\r\nString1=0x4,bridge\r\n"), std::string::npos);
    EXPECT_NE(text.find("Type=0x3c\r\nExtendedLabels=N\r\n"), std::string::npos);
}

TEST(Polygons, keeps_the_first_rule_of_a_code_and_cuts_comments_first) {
    WriterRun r;
    const std::string text = entries_of(r, "natural=water [0x3c] # lake\nwater=pond [0X3C]\n"
                                           "natural=water & note=#1 [0x3d]\nref=0x40 only\n");
    EXPECT_EQ(crlf_lines(text).size(), 9u);
    EXPECT_NE(text.find("String1=0x4,water\r\n"), std::string::npos);
    EXPECT_EQ(text.find("pond"), std::string::npos);
}

TEST(Polygons, random_colours_repeat_with_a_seed_and_differ_between_seeds) {
    const std::string rules = "a=b [0x4e]\nc=d [0x04]\ne=f [0x07]\n";
    WriterRun a, b, c;
    c.random = MtRandom(2);
    const std::string first = a.run(polygons, rules);
    EXPECT_EQ(b.run(polygons, rules), first);
    EXPECT_NE(c.run(polygons, rules), first);
    // Each run starts the generator afresh, so a second run repeats the first.
    EXPECT_EQ(a.run(polygons, rules), first);
    const Lines got = crlf_lines(entries_of(a, rules));
    EXPECT_EQ(got[6].size(), std::string("\"0 c #123456\"").size());
}

TEST(Polygons, writes_a_library_look_as_the_library_holds_it) {
    WriterRun r;
    r.state.polygon_library.assign(
        prepare_polygon_library("[_polygon]\r\nType=0x3c\r\nString1=0x04,Lake\r\nXpm=\"0 0 1 0\"\r\n\"0 c #4080FF\"\r\n[end]\r\n"));
    EXPECT_EQ(entries_of(r, "natural=water [0x3c resolution 20]\n"),
              "[_polygon]\r\nType=0x3c\r\n;0x04,Lake\r\nXpm=\"0 0 1 0\"\r\n\"0 c #4080FF\"\r\n\r\n[end]\r\n\r\n");
}

TEST(Polygons, skip_items_that_carry_no_type_code) {
    WriterRun r;
    EXPECT_EQ(entries_of(r, "name~'[A-Z]' & a=b [0x4e]\nx=0x3c [\n"), "");
}

}  // namespace
}  // namespace tessaro
