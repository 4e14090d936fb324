#include "colour.h"
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

namespace tessaro {
namespace {
// Hue, saturation and lightness read back from "RRGGBB" another way than hsl_of: the hue by the angle of the colour on the
// chroma plane.
Hsl read_back(const std::string& hex) {
    const auto channel = [&](std::size_t at) { return std::stoi(hex.substr(at, 2), nullptr, 16) / 255.0; };
    const double r = channel(0), g = channel(2), b = channel(4);
    const double most = std::max({r, g, b}), least = std::min({r, g, b});
    const double l = (most + least) / 2;
    const double s = most == least ? 0 : (most - least) / (1 - std::fabs(2 * l - 1));
    const double h = std::atan2(std::sqrt(3.0) * (g - b), 2 * r - g - b) * 180 / std::numbers::pi;
    return {h < 0 ? h + 360 : h, s, l};
}

double hue_distance(double a, double b) {
    const double d = std::fabs(a - b);
    return std::min(d, 360 - d);
}

// As the writers draw: three numbers for every polygon rule item, two for every line one. The hue read back by its angle
// differs from the hexagonal hue by some degrees.
TEST(CalmColours, stay_in_their_ranges_and_step_away_from_the_last_hue_for_a_thousand_seeds) {
    constexpr double S_SLACK = 0.03, L_SLACK = 0.004;  // 8-bit channels move saturation a little where the colour is pale
    for (std::uint64_t seed = 0; seed < 1000; ++seed) {
        RandomSource random(seed);
        CalmColours colours;
        Hsl last_area, last_line;
        for (int i = 0; i < 10; ++i) {
            const double r = random.next(), g = random.next(), b = random.next();
            const Hsl area = read_back(colours.area(r, g, b));
            const double r1 = random.next();
            const Hsl line = read_back(colours.line(r1, random.next()));
            for (const auto& [c, range] : {std::pair{area, AREA_COLOURS}, std::pair{line, LINE_COLOURS}})
                ASSERT_TRUE(c.s >= range.s_min - S_SLACK && c.s <= range.s_max + S_SLACK && c.l >= range.l_min - L_SLACK &&
                            c.l <= range.l_max + L_SLACK) << "seed " << seed << ": saturation " << c.s << ", lightness " << c.l;
            ASSERT_TRUE(i == 0 || std::min(hue_distance(area.h, last_area.h), hue_distance(line.h, last_line.h)) > LEAST_HUE_STEP - 20)
                << "seed " << seed;
            last_area = area, last_line = line;
        }
    }
}

TEST(Colour, hsl_and_hex_go_there_and_back_and_round_halves_to_the_even_neighbour) {
    for (const char* hex : {"000000", "FFFFFF", "E0603C", "2E6FC0", "9CC98A", "8A3C8A", "808080"})
        EXPECT_EQ(hex_of(hsl_of(std::string("#") + hex).value()), hex);
    EXPECT_FALSE(hsl_of("#12345") || hsl_of("none"));
    // A hue is taken round the circle: a turn more or less is the same colour.
    for (const double h : {0.0, 10.0, 200.5, 359.0})
        EXPECT_TRUE(hex_of({h + 360, 0.5, 0.5}) == hex_of({h, 0.5, 0.5}) && hex_of({h + 3600, 0.5, 0.5}) == hex_of({h, 0.5, 0.5})) << h;
    // The generator's sequences are pinned by the golden files.
    for (const auto& [value, rounded] : {std::pair{0.5, 0L}, {1.5, 2L}, {2.5, 2L}, {254.5, 254L}, {2.4999, 2L}, {2.5001, 3L}, {0.0, 0L}})
        EXPECT_EQ(round_half_even(value), rounded) << value;
}

double hue_of(Section section, std::string_view condition) {
    const std::optional<FamilyLook> look = family_look(section, condition, 0.5, 0.5);
    return look ? hsl_of(look->colour)->h : -1;
}

// The hues of the families are the golden files' (plain/looks); here what picks the family.
TEST(KeyFamilies, colour_a_rule_by_its_first_known_key_and_its_value_and_leave_unknown_keys_to_chance) {
    EXPECT_NEAR(hue_of(Section::Polygon, "landuse=forest"), hue_of(Section::Line, "natural=tree_row"), 1);  // 8-bit channels
    EXPECT_GT(hue_distance(hue_of(Section::Polygon, "natural=water"), hue_of(Section::Polygon, "natural=bare_rock")), 90);
    EXPECT_GT(hue_distance(hue_of(Section::Polygon, "landuse=retail"), hue_of(Section::Polygon, "landuse=forest")), 90);
    // The first key with a family decides; a key unknown to the families is passed over.
    EXPECT_TRUE(hue_of(Section::Line, "waterway=ditch & tunnel=yes") == hue_of(Section::Line, "waterway=ditch") &&
                hue_of(Section::Polygon, "foo=bar & leisure=pitch") == hue_of(Section::Polygon, "leisure=pitch"));
    for (const char* known : {"mkgmap:bikeroute=yes", "route=hiking", "piste:type=downhill & piste:difficulty=intermediate"})
        EXPECT_GE(hue_of(Section::Line, known), 0) << known;
    for (const char* unknown : {"", "foo=bar", "mkgmap:country=FIN", "highway!=path", "length() > 100"})
        EXPECT_FALSE(family_look(Section::Line, unknown, 0.5, 0.5)) << unknown;
    EXPECT_LT(hsl_of(family_look(Section::Line, "power=line", 0.2, 0.9)->colour)->s, 0.01);
    // Areas pale, lines mid-toned; boundary lines dashed, boundary areas not.
    EXPECT_TRUE(hsl_of(family_look(Section::Polygon, "water=pond", 0, 0)->colour)->l > 0.7 &&
                hsl_of(family_look(Section::Line, "water=pond", 0, 1)->colour)->l < 0.6);
    const std::optional<FamilyLook> boundary = family_look(Section::Line, "boundary=national_park", 0.3, 0.3);
    ASSERT_TRUE(boundary && boundary->pattern);
    EXPECT_NE(boundary->pattern->rows[0].find('1'), std::string_view::npos);
    EXPECT_FALSE(family_look(Section::Polygon, "boundary=national_park", 0.3, 0.3)->pattern);
}
}  // namespace
}  // namespace tessaro
