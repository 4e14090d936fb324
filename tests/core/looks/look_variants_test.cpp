#include "distinct_looks.h"

#include <gtest/gtest.h>

#include "typ_reader.h"

namespace tessaro {
namespace {

TEST(LookVariants, find_a_rules_place_on_each_difficulty_scale_and_none_where_the_tag_is_negated_or_unknown) {
    const auto position = [](std::string_view condition) { return difficulty_of(condition).value_or(DifficultyStep{"-", -1}); };
    EXPECT_EQ(position("highway=path & mtb:scale=3").tag, "mtb:scale=3");
    EXPECT_DOUBLE_EQ(position("highway=path & mtb:scale=3").position, 0.5);
    EXPECT_DOUBLE_EQ(position("mtb:scale='6+'").position, 1.0);
    EXPECT_DOUBLE_EQ(position("sac_scale=hiking").position, 0.0);
    EXPECT_DOUBLE_EQ(position("sac_scale=difficult_alpine_hiking").position, 1.0);
    EXPECT_DOUBLE_EQ(position("tracktype=grade2").position, 0.25);
    EXPECT_DOUBLE_EQ(position("trail_visibility=bad").position, 0.6);
    EXPECT_DOUBLE_EQ(position("piste:type=downhill & piste:difficulty=advanced").position, 0.5);
    for (const char* none : {"highway=path", "mtb:scale!=3", "mtb:scale=9", "tracktype=grade9", "sac_scale=easy", ""})
        EXPECT_LT(position(none).position, 0) << none;
    // Pistes in their own colours; other scales darker with difficulty, in the look's hue.
    const Hsl path{30, 0.5, 0.5};
    EXPECT_NEAR(difficulty_colour(path, "piste:difficulty=easy", 1.0 / 6).h, 215, 1e-9);
    EXPECT_DOUBLE_EQ(difficulty_colour(path, "piste:difficulty=advanced", 0.5).s, 0);
    EXPECT_GT(difficulty_colour(path, "mtb:scale=0", 0).l, difficulty_colour(path, "mtb:scale=6", 1).l);
    EXPECT_DOUBLE_EQ(difficulty_colour(path, "mtb:scale=6", 1).h, 30);
}

const std::string PLAIN_AREA = "[_polygon]\r\nType=0x10f01\r\nString1=0x4,x\r\nXpm=\"0 0 2 0\"\r\n\"1 c #D8E8C0\"\r\n"
                               "\"2 c #304020\"\r\n[end]\r\n";

TEST(LookVariants, change_the_colours_and_widths_of_a_text_and_nothing_else) {
    const std::string icon = "Xpm=\"2 1 2 1\"\r\n\". c none\"\r\n\"a c #102030\"\r\n\"a.\"\r\nString1=0x4,c #123456\r\n";
    const std::string changed = recolour(icon, [](std::string_view hex) { return "F" + std::string(hex.substr(1)); });
    EXPECT_EQ(changed, "Xpm=\"2 1 2 1\"\r\n\". c none\"\r\n\"a c #F02030\"\r\n\"a.\"\r\nString1=0x4,c #123456\r\n");
    EXPECT_EQ(recolour_hsl("\"1 c #FF0000\"", [](const Hsl& c) { return Hsl{c.h + 120, c.s, c.l}; }), "\"1 c #00FF00\"");
    EXPECT_EQ(widened_line("Type=0x10\r\nLineWidth=9\r\nBorderWidth=1\r\n", 3), "Type=0x10\r\nLineWidth=12\r\nBorderWidth=1\r\n");
    EXPECT_EQ(widened_line("Xpm=\"32 1 2 1\"\r\n", 1), "Xpm=\"32 1 2 1\"\r\n");
}

TEST(LookVariants, draw_a_plain_area_in_each_pattern_with_its_day_and_night_colours_and_leave_a_patterned_one) {
    std::set<std::vector<std::string>> pictures;
    for (int p = 0; p < AREA_PATTERNS; ++p) {
        const std::optional<std::string> text = patterned_area(PLAIN_AREA, p, 0.12);
        ASSERT_TRUE(text);
        const TypDocument doc = read_typ_text(*text);
        ASSERT_EQ(doc.entries.size(), 1u);
        const XpmImage& xpm = doc.entries[0].xpm;
        EXPECT_EQ(xpm.width, 32);
        ASSERT_EQ(xpm.rows.size(), 32u);
        ASSERT_EQ(xpm.colours.size(), 4u);
        EXPECT_EQ(xpm.colours[1].colour, "#D8E8C0");
        EXPECT_EQ(xpm.colours[3].colour, "#304020");
        // Patterns over a light area are darker, over a dark one lighter.
        EXPECT_LT(hsl_of(xpm.colours[0].colour)->l, hsl_of("D8E8C0")->l);
        EXPECT_GT(hsl_of(xpm.colours[2].colour)->l, hsl_of("304020")->l);
        EXPECT_NE(doc.entries[0].label, "");
        pictures.insert(xpm.rows);
    }
    EXPECT_EQ(pictures.size(), static_cast<std::size_t>(AREA_PATTERNS));
    EXPECT_FALSE(patterned_area(*patterned_area(PLAIN_AREA, 0, 0.1), 1, 0.1));
}

}  // namespace
}  // namespace tessaro
