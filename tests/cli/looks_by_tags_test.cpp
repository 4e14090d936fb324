// Looks chosen by a rule's tags, held against the looks the library gives by code.
#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include "support/cli_capture.h"
#include "support/mkgmap.h"
#include "text_util.h"
#include "typ_reader.h"

namespace tessaro {
namespace {
// Where default reuses a code (landuse=village_green as 0x15) the code's look names no tags and stays.
TEST(LooksByTags, overrule_in_the_default_style_only_the_codes_it_borrows) {
    if (const std::string why = test::mkgmap_jar_missing(false); !why.empty()) GTEST_SKIP() << why;
    const test::TempDir tmp;
    ASSERT_TRUE(test::extract_from_mkgmap_jar(tmp, "styles/default"));
    // The same style with the pedestrian streets borrowing 0x0d, a code default leaves unused.
    std::filesystem::copy(tmp / "styles/default", tmp / "borrowed", std::filesystem::copy_options::recursive);
    const std::string lines = test::read_bytes(tmp / "borrowed/lines");
    const std::string pedestrian = "highway=pedestrian {set tmp:stopMopUp=yes} [0x16 ";
    ASSERT_NE(lines.find(pedestrian), std::string::npos);
    tmp.write("borrowed/lines", replace_all(lines, pedestrian, "highway=pedestrian {set tmp:stopMopUp=yes} [0x0d "));
    // section, code, the look taken, the look replaced: "line 0x0d 0x10e00 <- 0x00d00 (cycle track)".
    const auto overruled_in = [&](const std::string& style) {
        EXPECT_EQ(test::convert(tmp / style, tmp / (style + ".txt"), {"--report", tmp / (style + ".report")}).exit_code, 0);
        const std::string report = test::read_bytes(tmp / (style + ".report"));
        EXPECT_EQ(report.rfind("section\tcode\tsource\tlibrary look\tmatched tags\twhy\tcondition\n", 0), 0u);
        std::set<std::string> overruled;
        static const std::regex tags_line(R"((?:^|\n)(\w+)\t(\w+)\ttags\t(\w+)\t[^\t]*\ttags over the code's look ([^\t]+)\t)");
        for (std::sregex_iterator m(report.begin(), report.end(), tags_line), end; m != end; ++m)
            overruled.insert((*m)[1].str() + " " + (*m)[2].str() + " " + (*m)[3].str() + " <- " + (*m)[4].str());
        return overruled;
    };
    EXPECT_EQ(overruled_in("borrowed"), std::set<std::string>{"line 0x0d 0x10e00 <- 0x00d00 (cycle track)"});
    EXPECT_EQ(overruled_in("styles/default"), std::set<std::string>{});
}

std::vector<std::string> colours_of(const std::string& entry_text) {
    static const std::regex colour(R"(c #([0-9A-Fa-f]{6}))");
    std::vector<std::string> out;
    for (std::sregex_iterator m(entry_text.begin(), entry_text.end(), colour), end; m != end; ++m) out.push_back((*m)[1]);
    return out;
}

// One construction road among footways does not make a footway code a road.
TEST(LooksByTags, take_the_look_most_rules_of_a_type_match) {
    const test::TempDir tmp;
    tmp.write("s/lines", "highway=construction [0x10e50 resolution 22]\n"
              "highway=footway & bridge=yes [0x10e50 resolution 22]\nhighway=footway [0x10e50 resolution 22]\n"
              "highway=construction [0x10e51 resolution 22]\nhighway=footway [0x10e51 resolution 22]\n");
    ASSERT_EQ(test::convert(tmp / "s", tmp / "out.txt", {"--report", tmp / "r.tsv"}).exit_code, 0);
    const std::string report = test::read_bytes(tmp / "r.tsv");
    EXPECT_NE(report.find("line\t0x10e50\ttags\t0x00e00\thighway=footway\t"), std::string::npos) << report;
    EXPECT_NE(report.find("line\t0x10e51\ttags\t0x00600\thighway=*\t"), std::string::npos) << report;
}

TEST(LooksByTags, give_features_without_a_garmin_code_their_own_library_look) {
    const std::vector<std::pair<std::string, std::string>> lines = {
        {"natural=tree_row", "0x10e04"}, {"highway=pedestrian & area!=yes", "0x10e00"}, {"highway=steps", "0x10e01"},
        {"man_made=cutline", "0x10e05"}, {"piste:type=downhill & piste:difficulty=intermediate", "0x10e0a"},
        {"piste:type=downhill & piste:difficulty=novice", "0x10e08"}, {"piste:type=downhill", "0x10e0e"},
        {"piste:type=nordic", "0x10e0f"}, {"aerialway=chair_lift", "0x10e13"}, {"aerialway=t-bar", "0x10e14"},
        {"mkgmap:bikeroute=yes", "0x10e15"}, {"route=hiking", "0x10e16"}, {"mkgmap:route=*", "0x10e17"},
        {"boundary=national_park", "0x10e18"}, {"route=ferry", "0x01a00"}};
    const std::vector<std::pair<std::string, std::string>> polygons = {
        {"tourism=theme_park", "0x10f07"}, {"landuse=landfill", "0x10f05"}, {"natural=bare_rock", "0x10f02"},
        {"leisure=pitch", "0x19"}, {"boundary=protected_area", "0x16"}};
    const std::vector<std::pair<std::string, std::string>> points = {
        {"leisure=fitness_station", "0x11601"}, {"aerialway=station", "0x11600"}, {"sport=swimming", "0x02d09"}};
    const test::TempDir tmp;
    std::map<std::pair<Section, std::string>, std::string> expected;  // our code -> the library's
    unsigned next = 0x1f101;
    for (const auto& [section, cases] : {std::pair{Section::Line, &lines}, std::pair{Section::Polygon, &polygons}, std::pair{Section::Point, &points}}) {
        std::string rules;
        for (const auto& [rule, library_code] : *cases) {
            char code[16];
            std::snprintf(code, sizeof code, "0x%x", next++);
            rules += rule + " [" + code + " resolution 24]\n";
            expected[{section, code}] = library_code;
        }
        tmp.write("s/" + std::string(rule_file_name(section)), rules);
    }
    ASSERT_EQ(test::convert(tmp / "s", tmp / "out.txt").exit_code, 0);
    std::map<std::pair<Section, std::string>, std::string> library;
    for (const char* file : {"points", "lines", "pgons.pol"})
        for (const TypEntry& e : read_typ_text(test::read_bytes(TESSARO_SOURCE_DIR "/res/" + std::string(file))).entries)
            library[{e.section, e.type}] = e.text;
    std::size_t checked = 0;
    for (const TypEntry& e : read_typ_text(test::read_bytes(tmp / "out.txt")).entries) {
        const auto want = expected.find({e.section, e.type});
        ASSERT_NE(want, expected.end()) << e.type;
        const auto look = library.find({e.section, want->second});
        ASSERT_NE(look, library.end()) << want->second << " is no look of the library";
        EXPECT_EQ(colours_of(e.text), colours_of(look->second)) << e.type << " should look as " << want->second;
        ++checked;
    }
    EXPECT_EQ(checked, expected.size());
    if (const std::string why = test::mkgmap_command_missing(tmp); !why.empty()) GTEST_SKIP() << why;
    const test::MkgmapResult compiled = test::mkgmap_compile_here(tmp.path(), "out.txt");
    EXPECT_TRUE(compiled.compiled) << compiled.log;
}
}  // namespace
}  // namespace tessaro
