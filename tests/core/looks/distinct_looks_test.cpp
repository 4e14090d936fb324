#include "distinct_looks.h"
#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <tuple>
#include "typ_reader.h"
#include "support/cli_capture.h"
#include "support/mkgmap.h"

namespace tessaro {
namespace {
const std::string PATH_LOOK = "[_line]\r\nType=0x%\r\nLineWidth=2\r\nBorderWidth=0\r\nXpm=\"0 0 2 0\"\r\n\"1 c #A05A2C\"\r\n"
                              "\"2 c #E0B090\"\r\n[end]\r\n";
const std::string AREA_LOOK = "[_polygon]\r\nType=0x%\r\nXpm=\"0 0 1 0\"\r\n\"1 c #C8E0B0\"\r\n[end]\r\n";
const std::string ICON_LOOK = "[_point]\r\nType=0x%\r\nXpm=\"2 2 3 1\"\r\n\". c none\"\r\n\"a c #000000\"\r\n"
                              "\"b c #D04020\"\r\n\"ab\"\r\n\"b.\"\r\n[end]\r\n";

Entry entry(Section section, const std::string& look, const std::string& code, LookSource source, const std::string& condition = "") {
    Entry e;
    e.section = section;
    e.text = std::regex_replace(look, std::regex("%"), code);
    e.look = {section, "0x" + code, source, source == LookSource::Tags ? "0x16" : "", "", condition, {}, {}};
    return e;
}

// What a parsed entry draws, read here apart from the unit: widths, colours and rows as written.
std::string picture(const TypEntry& e) {
    std::string p = std::string(section_name(e.section)) + std::to_string(e.line_width) + "/" + std::to_string(e.border_width);
    for (const XpmImage* x : {&e.xpm, &e.night_xpm}) {
        p += "|";
        for (const XpmColour& c : x->colours) p += c.key + "=" + c.colour + ",";
        for (const std::string& row : x->rows) p += row + "/";
    }
    return p;
}

std::string drawing(const Entry& e) { return picture(read_typ_text(e.text).entries.at(0)); }

TEST(DistinctLooks, vary_every_later_duplicate_and_keep_library_looks_kept_entries_and_the_first_of_a_look) {
    std::vector<Entry> entries;
    for (const auto& [section, look, source] : {std::tuple{Section::Line, PATH_LOOK, LookSource::Tags},
                                                {Section::Polygon, AREA_LOOK, LookSource::Random}, {Section::Point, ICON_LOOK, LookSource::Marker}})
        for (int i = 0; i < 60; ++i) entries.push_back(entry(section, look, std::to_string(10100 + i), source));
    // Codes that share a look by design, and entries an update keeps, stay alike.
    for (const LookSource kept : {LookSource::Library, LookSource::Library, LookSource::Kept})
        entries.push_back(entry(Section::Point, ICON_LOOK, "2a00", kept));
    const std::vector<Entry> before = entries;
    make_looks_distinct(entries);
    std::set<std::string> drawings;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        // The first line and area keep their looks; the first icon draws like the library's own.
        if (i >= 180 || i == 0 || i == 60) {
            EXPECT_TRUE(entries[i].text == before[i].text && entries[i].look.variant_of.empty()) << i;
            continue;
        }
        EXPECT_TRUE(drawings.insert(drawing(entries[i])).second) << i << "\n" << entries[i].text;
        EXPECT_EQ(entries[i].look.variant_of, i < 60 ? "0x16" : i < 120 ? "0x10100" : "0x2a00") << i;
    }
    // The marker icons with their own code's library look: the one drawing the others keep away from.
    EXPECT_EQ(drawings.count(drawing(entries[180])), 0u);
    // A plain area takes a pattern first; a point turns the hue of its icon, its black outline stays.
    EXPECT_EQ(read_typ_text(entries[61].text).entries.at(0).xpm.rows.size(), 32u);
    const XpmImage icon = read_typ_text(entries[121].text).entries.at(0).xpm;
    EXPECT_EQ(icon.colours.at(1).colour, "#000000");
    EXPECT_NEAR(hsl_of(icon.colours.at(2).colour)->s, hsl_of("D04020")->s, 0.01);
}

// That each text compiles is the mkgmap_compiles_every_style test's.
TEST(DistinctLooks, leave_no_two_entries_of_a_real_style_alike_but_library_looks_and_no_label_bare) {
    if (const std::string why = test::mkgmap_jar_missing(); !why.empty()) GTEST_SKIP() << why;
    const test::TempDir tmp;
    std::size_t converted = 0, types = 0, random = 0;
    for (const std::string& folder : test::every_style_folder(tmp)) {
        const std::string name = replace_all(folder, "/", "_");
        const std::string out = tmp / (name + ".txt"), report = tmp / (name + ".report");
        const bool example = folder.starts_with(TESSARO_SOURCE_DIR "/examples/");
        test::convert(folder, out, {"--report", report});
        if (!std::filesystem::exists(out)) continue;
        std::set<std::pair<std::string, std::string>> library;
        static const std::regex line(R"((?:^|\n)(\w+)\t(\S+)\t(\w+)\t)");  // report lines: section, code, source, ...
        const std::string lines = test::read_bytes(report);
        for (std::sregex_iterator m(lines.begin(), lines.end(), line), end; m != end; ++m) {
            if ((*m)[3] == "library") library.insert({(*m)[1], (*m)[2]});
            types += !example;
            random += !example && (*m)[3] == "random";
        }
        std::map<std::string, std::string> drawn;  // picture -> code
        ++converted;
        const TypDocument doc = read_typ_text(test::read_bytes(out));
        for (const TypEntry& e : doc.entries)
            if (!library.count({section_name(e.section), e.type})) drawn.emplace(picture(e), e.type);
        for (const TypEntry& e : doc.entries) {
            // A label names the feature: never a bare boolean, number or wildcard.
            static const std::regex bare(R"(yes|no|true|false|\*|[0-9.]+)", std::regex::icase);
            if (std::regex_match(e.label, bare)) ADD_FAILURE() << name << ": " << e.type << " is labelled \"" << e.label << "\"";
            if (const auto other = drawn.find(picture(e)); other != drawn.end() && other->second != e.type)
                ADD_FAILURE() << name << ": " << e.type << " draws as " << other->second;
        }
    }
    EXPECT_GE(converted, 30u);
    EXPECT_LE(100.0 * static_cast<double>(random) / static_cast<double>(types), 2.0) << random << " of " << types << " random";
}

TEST(LookVariants, place_a_rule_on_each_difficulty_scale_and_ramp_its_colour_from_light_to_dark) {
    EXPECT_EQ(difficulty_of("highway=path & mtb:scale=3")->tag, "mtb:scale=3");
    const std::pair<const char*, double> places[] = {
        {"highway=path & mtb:scale=3", 0.5}, {"mtb:scale='6+'", 1.0}, {"sac_scale=hiking", 0.0}, {"tracktype=grade2", 0.25},
        {"sac_scale=difficult_alpine_hiking", 1.0}, {"trail_visibility=bad", 0.6}, {"piste:type=downhill & piste:difficulty=advanced", 0.5},
        {"highway=path", -1}, {"mtb:scale!=3", -1}, {"mtb:scale=9", -1}, {"sac_scale=easy", -1}, {"", -1}};
    for (const auto& [condition, place] : places)
        EXPECT_DOUBLE_EQ(difficulty_of(condition).value_or(DifficultyStep{"-", -1}).position, place) << condition;
    // Pistes in their own colours; other scales darker with difficulty, in the look's hue.
    const Hsl path{30, 0.5, 0.5};
    EXPECT_NE(difficulty_colour(path, "piste:difficulty=easy", 1.0 / 6).h, 30);
    EXPECT_GT(difficulty_colour(path, "mtb:scale=0", 0).l, difficulty_colour(path, "mtb:scale=6", 1).l);
    EXPECT_DOUBLE_EQ(difficulty_colour(path, "mtb:scale=6", 1).h, 30);
    std::vector<Entry> entries;
    for (int scale = 0; scale <= 6; ++scale)
        entries.push_back(
            entry(Section::Line, PATH_LOOK, std::to_string(10100 + scale), LookSource::Tags, "highway=path & mtb:scale=" + std::to_string(scale)));
    make_looks_distinct(entries);
    const auto lightness = [&](std::size_t i) { return hsl_of(read_typ_text(entries[i].text).entries.at(0).xpm.colours.at(0).colour)->l; };
    for (std::size_t i = 1; i < entries.size(); ++i) {
        EXPECT_TRUE(i == 1 || lightness(i) < lightness(i - 1)) << i;  // the first keeps its look
        EXPECT_EQ(entries[i].look.variant_of, "0x16 by mtb:scale=" + std::to_string(i));
    }
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
        const TypDocument doc = read_typ_text(text.value());
        ASSERT_EQ(doc.entries.size(), 1u);
        const XpmImage& xpm = doc.entries[0].xpm;
        ASSERT_TRUE(xpm.width == 32 && xpm.rows.size() == 32u && xpm.colours.size() == 4u) << *text;
        EXPECT_TRUE(xpm.colours[1].colour == "#D8E8C0" && xpm.colours[3].colour == "#304020") << *text;
        // Patterns over a light area are darker, over a dark one lighter.
        EXPECT_TRUE(hsl_of(xpm.colours[0].colour)->l < hsl_of("D8E8C0")->l && hsl_of(xpm.colours[2].colour)->l > hsl_of("304020")->l);
        EXPECT_NE(doc.entries[0].label, "");
        pictures.insert(xpm.rows);
    }
    EXPECT_EQ(pictures.size(), static_cast<std::size_t>(AREA_PATTERNS));
    EXPECT_FALSE(patterned_area(*patterned_area(PLAIN_AREA, 0, 0.1), 1, 0.1));
}
}  // namespace
}  // namespace tessaro
