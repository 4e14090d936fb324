#include <gtest/gtest.h>

#include "colour.h"

namespace tessaro {
namespace {

double hue_of(Section section, std::string_view condition) {
    const std::optional<FamilyLook> look = family_look(section, condition, 0.5, 0.5);
    return look ? hsl_of(look->colour)->h : -1;
}

TEST(KeyFamilies, colour_a_rule_by_its_first_known_key_and_its_value) {
    EXPECT_NEAR(hue_of(Section::Line, "natural=tree_row"), 110, 1);
    EXPECT_NEAR(hue_of(Section::Polygon, "natural=bare_rock"), 33.5, 1);
    EXPECT_NEAR(hue_of(Section::Line, "waterway=ditch & tunnel=yes"), 207.5, 1);
    EXPECT_NEAR(hue_of(Section::Polygon, "landuse=retail"), 345, 1);
    EXPECT_NEAR(hue_of(Section::Polygon, "landuse=forest"), 110, 1);
    EXPECT_NEAR(hue_of(Section::Line, "mkgmap:bikeroute=yes"), 287.5, 1);
    EXPECT_NEAR(hue_of(Section::Line, "route=hiking"), 5, 1);
    EXPECT_NEAR(hue_of(Section::Line, "piste:type=downhill & piste:difficulty=intermediate"), 207.5, 1);
    // A key unknown to the families is passed over for the next.
    EXPECT_NEAR(hue_of(Section::Polygon, "foo=bar & leisure=pitch"), 110, 1);
    const std::optional<FamilyLook> power = family_look(Section::Line, "power=line", 0.2, 0.9);
    ASSERT_TRUE(power);
    EXPECT_LT(hsl_of(power->colour)->s, 0.01);
    // Areas pale, lines mid-toned.
    EXPECT_GT(hsl_of(family_look(Section::Polygon, "water=pond", 0, 0)->colour)->l, 0.7);
    EXPECT_LT(hsl_of(family_look(Section::Line, "water=pond", 0, 1)->colour)->l, 0.6);
}

TEST(KeyFamilies, draw_boundary_lines_as_dashes_and_leave_unknown_keys_to_chance) {
    const std::optional<FamilyLook> boundary = family_look(Section::Line, "boundary=national_park", 0.3, 0.3);
    ASSERT_TRUE(boundary && boundary->pattern);
    EXPECT_NE(boundary->pattern->rows[0].find('1'), std::string_view::npos);
    EXPECT_FALSE(family_look(Section::Polygon, "boundary=national_park", 0.3, 0.3)->pattern);
    for (const char* unknown : {"", "foo=bar", "mkgmap:country=FIN", "highway!=path", "length() > 100"})
        EXPECT_FALSE(family_look(Section::Line, unknown, 0.5, 0.5)) << unknown;
}

}  // namespace
}  // namespace tessaro
