#include "line_entries.h"
#include <regex>
#include "support/entries_run.h"

namespace tessaro {
namespace {
// The golden files pin layout, table looks (line_looks), repeated codes, library looks and random colours. Classic looks
// keep the value as it stands; else it is cut where the next condition or the actions start, without quotes, and nothing
// left gives no label.
TEST(WriteLines, labels_come_from_the_value_the_whole_condition_or_nothing_and_no_bracket_gives_nothing) {
    test::EntriesRun r;
    // A bracket on the first line has no condition to be joined with.
    const std::string rules = "[0x04]\nhighway=primary [0x02]\nbridge [0x03]\n  waterway = river [0x1f]\n"
                              "route=ferry & x=y {name '${ref}'} [0x1a]\nref='A 1' | b=c [0x05]\nt=(u|v) [0x06]\n";
    r.classic_looks = true;
    const std::string classic = r.run(add_line_entries, rules);
    for (const char* label : {"primary", "bridge", " river", "(u|v)"})
        EXPECT_NE(classic.find("String1=0x4," + std::string(label) + "\r\n"), std::string::npos) << label;
    r.classic_looks = false;
    const std::string text = r.run(add_line_entries, rules);
    for (const char* label : {"primary", "bridge", "river", "ferry", "A 1"})
        EXPECT_NE(text.find("String1=0x4," + std::string(label) + "\r\n"), std::string::npos) << label;
    EXPECT_EQ(text.find("String1", text.find("Type=0x06\r\n")), std::string::npos);
    const std::size_t bare = text.find("Type=0x04\r\n");
    EXPECT_TRUE(bare != std::string::npos && text.find("String1") > text.find("[end]", bare));
    EXPECT_TRUE(r.run(add_line_entries, "highway=primary { name 'x' }\n[\n").empty() && r.report.failures.empty());
}

// Two library looks: a cycle track (0x0d) and a footway (0x0e), each with its tags.
std::string two_line_looks() {
    const auto look = [](const char* code, const char* tags, const char* name, const char* colour) {
        return std::string("[_line]\r\nType=") + code + "\r\n;tags=" + tags + "\r\n;name=" + name +
               "\r\nUseOrientation=N\r\nLineWidth=2\r\nXpm=\"0 0 1 0\"\r\n\"1 c #" + colour + "\"\r\n[end]\r\n";
    };
    return look("0x00d00", "cycleway=track", "cycle track", "2E8FC8") +
           look("0x00e00", "highway=footway|highway=pedestrian", "footway", "A0401A");
}

// A borrowed code draws what its rule says (the borrowed_codes golden files, the report's reason: looks_by_tags); a rule
// that agrees with the code, one whose tags match only by a wildcard, a type with one agreeing rule, a look that names no
// tags and classic looks keep the code's look.
TEST(WriteLines, give_a_borrowed_code_the_look_its_rule_means_and_keep_the_codes_look_where_a_rule_agrees) {
    test::EntriesRun r;
    const std::string plain = std::regex_replace(two_line_looks(), std::regex(";tags=cycleway=track\r\n"), "");
    const std::tuple<std::string, const char*, bool, LookSource> cases[] = {
        {two_line_looks(), "highway=pedestrian [0x0d]\n", false, LookSource::Tags},
        {two_line_looks(), "cycleway=track & highway=pedestrian [0x0d]\n", false, LookSource::Library},
        {two_line_looks(), "highway=* [0x0d]\n", false, LookSource::Library},
        {two_line_looks(), "highway=footway [0x0d]\ncycleway=track [0x0d]\n", false, LookSource::Library},
        {two_line_looks(), "name=x [0x0d]\n", false, LookSource::Library},
        {plain, "highway=pedestrian [0x0d]\n", false, LookSource::Library},
        {two_line_looks(), "highway=pedestrian [0x0d]\n", true, LookSource::Library}};
    for (const auto& [library, rules, classic, source] : cases) {
        SCOPED_TRACE(rules);
        r.libraries[Section::Line].assign(library);
        r.classic_looks = classic;
        const std::string text = r.run(add_line_entries, rules);
        ASSERT_EQ(r.looks.size(), 1u);
        EXPECT_TRUE(r.looks[0].source == source && r.looks[0].replaced == (source == LookSource::Tags ? "0x00d00 (cycle track)" : ""));
        EXPECT_EQ(text.find("Type=0x0d\r\n;tags=highway=footway") != std::string::npos, source == LookSource::Tags) << text;
    }
}
}  // namespace
}  // namespace tessaro
