#include "style_drift.h"
#include <set>
#include "include_proposal.h"
#include "support/mkgmap.h"
#include "type_code.h"

namespace tessaro {
namespace {
TEST(ListStyleTypes, finds_the_types_mkgmap_reads_from_its_default_style_with_the_proposed_include_groups) {
    if (const std::string why = test::mkgmap_jar_missing(); !why.empty()) GTEST_SKIP() << why;
    const test::TempDir tmp;
    ASSERT_TRUE(test::extract_from_mkgmap_jar(tmp, "styles/default"));
    tmp.write("styles/default/version", "0\n");
    CreateTypRequest request;
    request.style_folder = tmp / "styles/default";
    RuleReader reader;
    scan_include_files(request.include_files, request.style_folder, reader);
    apply_proposal(request.include_files, propose_groups(request.style_folder, request.include_files.found));
    std::set<std::pair<Section, std::uint32_t>> ours;
    for (const StyleType& t : list_style_types(request).types) EXPECT_TRUE(ours.insert({t.section, t.type}).second);
    // mkgmap's own reading of the style, includes followed: the types of each section it prints.
    const std::string printed = test::mkgmap_printed_style(tmp / "styles", "default", tmp / "default.rules");
    std::set<std::pair<Section, std::uint32_t>> theirs;
    for (Section s : ALL_SECTIONS)
        for (const std::string& code : test::printed_codes(test::printed_section(printed, s)))
            theirs.insert({s, typ_type(section_type(s, *code_value(code)))});
    ASSERT_GT(theirs.size(), 150u);
    EXPECT_EQ(ours, theirs);
}

// A point, a line and a polygon written as this program and its library write them.
const std::string TEXT = "[_drawOrder]\nType=0X1f,1\n[End]\n[_point]\nType=0x02f0b\n[end]\n[_point]\nType=0x2f\n[end]\n"
                         "[_line]\nType=0x00100\n[end]\n[_polygon]\nType=0x1f\n[end]\n";

std::vector<std::string> drift_of(const std::string& text, const std::vector<StyleType>& types) {
    std::vector<std::string> said;
    for (const StyleDrift& d : find_style_drift(read_typ_text(text), types))
        said.push_back(std::to_string(static_cast<int>(d.kind)) + " " + section_name(d.section) + " " + d.code + " " + d.file +
                       ":" + std::to_string(d.line));
    return said;
}

StyleType rule(Section section, const std::string& code, std::size_t line) {
    return {section, typ_type(section_type(section, *code_value(code))), code, "rules", line};
}

TEST(FindStyleDrift, matches_types_by_value_and_names_missing_unused_and_undrawn_types_only) {
    const std::vector<StyleType> style = {rule(Section::Polygon, "0x1f00", 1), rule(Section::Line, "0x01", 2),
                                          rule(Section::Point, "0x2f00", 3), rule(Section::Point, "0x2f0b", 4)};
    EXPECT_EQ(drift_of(TEXT, style), std::vector<std::string>{});
    // A line's 0x01 is no polygon's 0x01, and a point's 0x2f0b no line's.
    const std::vector<StyleType> other = {rule(Section::Polygon, "0x1f", 1), rule(Section::Polygon, "0x01", 2),
                                          rule(Section::Point, "0x2f", 3), rule(Section::Line, "0x2f0b", 4)};
    EXPECT_EQ(drift_of(TEXT, other), (std::vector<std::string>{"0 polygon 0x01 rules:2", "0 line 0x2f0b rules:4",
                                                               "2 point 0x02f0b :4", "2 line 0x00100 :10"}));
    std::string undrawn = TEXT;
    undrawn.replace(undrawn.find("Type=0X1f,1\n"), 12, "Type=0X1f00,1\n");
    EXPECT_EQ(drift_of(undrawn, style), std::vector<std::string>{});
    undrawn.replace(undrawn.find("Type=0X1f00,1\n"), 14, "Type=0X1e,1\n");
    EXPECT_EQ(drift_of(undrawn, style), std::vector<std::string>{"1 polygon 0x1f :13"});
}
}  // namespace
}  // namespace tessaro
