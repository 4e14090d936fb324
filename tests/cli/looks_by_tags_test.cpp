// Looks chosen by a rule's tags, held against the looks the library gives by
// code: mkgmap's default style with every type code renamed to an unused
// extended code still gets, for most of its types, the look its original
// code has.
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <regex>
#include <set>

#include "support/cli_capture.h"
#include "support/mkgmap.h"
#include "support/temp_dir.h"
#include "file_io.h"
#include "text_util.h"
#include "typ_reader.h"

namespace tessaro {
namespace {

namespace fs = std::filesystem;

// Every entry's look by section and code value: its text without the code and the label, which differ by design.
std::map<std::pair<Section, unsigned long>, std::string> looks_by_code(const std::string& typ_path) {
    static const std::regex code_and_label(R"((^|\n)(Type|String1)=[^\r\n]*)");
    std::map<std::pair<Section, unsigned long>, std::string> looks;
    for (const TypEntry& e : read_typ_text(test::read_bytes(typ_path)).entries)
        looks[{e.section, std::stoul(e.type.substr(2), nullptr, 16)}] = std::regex_replace(e.text, code_and_label, "$1");
    return looks;
}

TEST(LooksByTags, give_most_renamed_types_of_the_default_style_their_original_look) {
    if (const std::string why = test::mkgmap_jar_missing(false); !why.empty()) GTEST_SKIP() << why;
    const test::TempDir tmp;
    ASSERT_TRUE(test::extract_from_mkgmap_jar(tmp, "styles/default"));
    fs::copy(tmp / "styles/default", tmp / "renamed", fs::copy_options::recursive);

    // Each distinct code (by value) its own new extended code, unused by the style.
    static const std::regex bracket(R"(\[(\s*)0[xX]([0-9a-fA-F]+))");
    std::map<unsigned long, unsigned long> renamed;  // original value -> new code
    unsigned long next = 0x1f000;
    for (const auto& e : fs::recursive_directory_iterator(tmp / "renamed")) {
        if (!e.is_regular_file()) continue;
        const std::string text = test::read_bytes(e.path().string());
        std::string out, rest = text;
        for (std::sregex_iterator m(text.begin(), text.end(), bracket), end; m != end; ++m) {
            const unsigned long value = std::stoul((*m)[2], nullptr, 16);
            if (!renamed.count(value)) renamed[value] = next++;
            char code[32];
            std::snprintf(code, sizeof code, "[%s0x%lx", (*m)[1].str().c_str(), renamed[value]);
            out += m->prefix().str() + code;
            rest = m->suffix();
        }
        tmp.write(fs::relative(e.path(), tmp.path()).string(), out + rest);
    }
    ASSERT_GT(renamed.size(), 200u);
    for (const auto& [value, code] : renamed) ASSERT_EQ(renamed.count(code), 0u) << "0x" << std::hex << code << " is used";

    for (const std::string style : {"styles/default", "renamed"})
        EXPECT_EQ(test::convert(tmp / style, tmp / (style + ".txt"), {"--report", tmp / (style + ".report")}).exit_code, 0)
            << style;
    // The original entries whose look came from the library by their code: "section\tcode\tlibrary\t..." lines.
    std::set<std::pair<std::string, unsigned long>> from_library;
    static const std::regex library_line(R"((?:^|\n)(\w+)\t0x([0-9a-fA-F]+)\tlibrary\t)");
    const std::string report = test::read_bytes(tmp / "styles/default.report");
    for (std::sregex_iterator m(report.begin(), report.end(), library_line), end; m != end; ++m)
        from_library.insert({(*m)[1], std::stoul((*m)[2], nullptr, 16)});
    // Renamed types that took their original code's look by their tags, and a variant of it to tell them apart.
    std::set<std::pair<std::string, unsigned long>> variants;  // section, renamed code
    static const std::regex variant_line(R"((?:^|\n)(\w+)\t0x([0-9a-fA-F]+)\t(?:tags|table)\t0x([0-9a-fA-F]+)\t[^\n]*\tvariant of )");
    const std::string renamed_report = test::read_bytes(tmp / "renamed.report");
    std::map<unsigned long, unsigned long> original_of;
    for (const auto& [value, code] : renamed) original_of[code] = value;
    for (std::sregex_iterator m(renamed_report.begin(), renamed_report.end(), variant_line), end; m != end; ++m) {
        const unsigned long library = std::stoul((*m)[3], nullptr, 16), code = std::stoul((*m)[2], nullptr, 16);
        const auto original = original_of.find(code);
        if (original != original_of.end() && (original->second == library || original->second << 8 == library))
            variants.insert({(*m)[1], code});
    }
    const auto before = looks_by_code(tmp / "styles/default.txt");
    const auto after = looks_by_code(tmp / "renamed.txt");

    // The library's looks of the original codes, and which of them the renamed types got back.
    std::size_t library_types = 0, same = 0;
    for (const auto& [key, look] : before) {
        const auto [section, value] = key;
        if (!from_library.count({section_name(section), value})) continue;
        // The entries write a line's 0x01 as 0x00100, and a point's 0x2f as 0x02f00 where
        // the rule may have written 0x2f00: back to the code the rule wrote.
        const bool shifted = value > 0xFF && value <= 0xFFFF && (value & 0xFF) == 0;
        auto code = section == Section::Line && shifted ? renamed.find(value >> 8) : renamed.find(value);
        if (code == renamed.end() && section == Section::Point && value > 0xFF) code = renamed.find(value >> 8);
        if (code == renamed.end()) continue;
        ++library_types;
        const auto renamed_look = after.find({section, code->second});
        if (renamed_look != after.end() && renamed_look->second == look) ++same;
        else if (variants.count({section_name(section), code->second})) ++same;
    }
    ASSERT_GT(library_types, 150u);
    const double share = 100.0 * static_cast<double>(same) / static_cast<double>(library_types);
    std::printf("types of the default style that got their original look (or a variant of it) by their tags: %zu of %zu (%.1f %%)\n", same,
                library_types, share);
    EXPECT_GE(share, 90.0);
}

// mkgmap's default style keeps the library look of every type whose rules agree
// with its code: the types whose look the rule's tags overrule are listed (none:
// where default reuses a code, for landuse=village_green as 0x15, the code's
// look names no tags and stays), and a borrowed code in a copy of it is found.
TEST(LooksByTags, overrule_in_the_default_style_only_the_codes_it_borrows) {
    if (const std::string why = test::mkgmap_jar_missing(false); !why.empty()) GTEST_SKIP() << why;
    const test::TempDir tmp;
    ASSERT_TRUE(test::extract_from_mkgmap_jar(tmp, "styles/default"));
    // The same style with the pedestrian streets borrowing 0x0d, a code default leaves unused.
    fs::copy(tmp / "styles/default", tmp / "borrowed", fs::copy_options::recursive);
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

// The colours of an entry's pictures, day and night, in the order it writes them.
std::vector<std::string> colours_of(const std::string& entry_text) {
    static const std::regex colour(R"(c #([0-9A-Fa-f]{6}))");
    std::vector<std::string> out;
    for (std::sregex_iterator m(entry_text.begin(), entry_text.end(), colour), end; m != end; ++m) out.push_back((*m)[1]);
    return out;
}

// Features that have no Garmin code of their own, under codes the library
// does not know: each gets the look the library keeps for it (by colours,
// read back from both texts), never a random colour; and mkgmap takes the text.
// A type that several rules of a file name takes the look most of them
// match, the first rule's among equals: one construction road among footways
// does not make a footway code a road.
TEST(LooksByTags, take_the_look_most_rules_of_a_type_match) {
    const test::TempDir tmp;
    tmp.write("s/lines",
              "highway=construction [0x10e50 resolution 22]\n"
              "highway=footway & bridge=yes [0x10e50 resolution 22]\nhighway=footway [0x10e50 resolution 22]\n"
              "highway=construction [0x10e51 resolution 22]\nhighway=footway [0x10e51 resolution 22]\n");
    ASSERT_EQ(test::convert(tmp / "s", tmp / "out.txt", {"--report", tmp / "r.tsv"}).exit_code, 0);
    const std::string report = test::read_bytes(tmp / "r.tsv");
    EXPECT_NE(report.find("line\t0x10e50\ttags\t0x00e00\thighway=footway\t"), std::string::npos) << report;
    EXPECT_NE(report.find("line\t0x10e51\ttags\t0x00600\thighway=*\t"), std::string::npos) << report;
}

TEST(LooksByTags, give_features_without_a_garmin_code_their_own_library_look) {
    // The rule, and its look's code as the library file writes it.
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
