#include "typ_reader.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

#include "support/temp_dir.h"
#include "type_code.h"

namespace tessaro {
namespace {

using Problems = std::vector<std::pair<std::size_t, std::string>>;

Problems problems_of(const std::string& text) {
    Problems out;
    for (const TypProblem& p : read_typ_text(text).problems)
        out.emplace_back(p.line, (p.severity == Severity::Error ? "error: " : "warning: ") + p.message);
    return out;
}

// The golden file of the style with every quirk holds every entry form we write.
const std::string WRITTEN = test::read_bytes(TESSARO_TEST_DATA "/quirks/expect/typ.txt");

TEST(ReadTypText, reads_every_entry_form_we_write_and_finds_no_problem_in_any_expected_output) {
    const TypDocument doc = read_typ_text(WRITTEN);
    EXPECT_TRUE(doc.problems.empty());
    ASSERT_EQ(doc.draw_order.size(), 14u);
    EXPECT_EQ(doc.draw_order[12], "0X10f04");
    ASSERT_EQ(doc.entries.size(), 39u);
    const auto of = [&](const std::string& type) {
        return *std::find_if(doc.entries.begin(), doc.entries.end(), [&](const TypEntry& e) { return e.type == type; });
    };
    // The line writer's test reads back widths, colours and XPM sizes, the window's preview sections.
    EXPECT_EQ(of("0x50").label, "forest");
    EXPECT_EQ(of("0x50").first_line, 35u);
    EXPECT_EQ(of("0x3c").label, "natural=water");  // not the library's label, a comment
    const TypEntry parking = of("0x02f0b");
    EXPECT_EQ(parking.label, "AMENITY=parking");
    EXPECT_EQ(parking.xpm.colours[1].key, "b");
    EXPECT_EQ(parking.xpm.rows, (std::vector<std::string>{"ab", "ba"}));
    EXPECT_EQ(parking.text.substr(0, 22), "[_point]\nType=0x02f0b\n");
    EXPECT_EQ(parking.last_line, parking.first_line + 10);

    // The shipped libraries are read by their own test.
    for (const auto& e : std::filesystem::directory_iterator(TESSARO_TEST_DATA)) {
        for (const char* name : {"expect/typ.txt", "expect/looks/typ.txt"}) {
            const auto f = e.path() / name;
            if (!std::filesystem::exists(f)) continue;
            const TypDocument read = read_typ_text(test::read_bytes(f.string()));
            EXPECT_TRUE(read.problems.empty()) << f << ":" << read.problems[0].line << ": " << read.problems[0].message;
            EXPECT_FALSE(read.entries.empty()) << f;
        }
    }
}

// Whether mkgmap refuses what we call an error or takes with losses what we call a
// warning is held against mkgmap's verdict by the --check tests.
TEST(ReadTypText, reports_each_break_at_its_line_and_missing_rows_bad_headers_stray_text_and_no_entry_at_all) {
    std::string broken = WRITTEN;
    const auto replace = [&](const std::string& from, const std::string& to) {
        broken.replace(broken.find(from), from.size(), to);
    };
    replace("Type=0X10f04,1", "Type=0Xzz,1");                                  // line 21
    replace("\"1 c #B8E0A0\"\r\n\r\n[end]", "\"1 c #B8E0A0\"\r\n\r\n");           // entry of line 179, [end] left blank
    replace("\"0 c #1CA9DE\"\r\n\"0 c #0000A0\"\r\n", "\"0 c #1CA9DE\"\r\n");    // header in line 286
    replace("Type=0x0a\r\n", "Type=0a\r\n");                                   // line 292, now 291
    replace("\"ab\"", "\"abb\"");                                              // line 463, now 462
    // The broken draw order line leaves 0x10f04 undrawn; an entry that the
    // next one closes lacks nothing.
    EXPECT_EQ(problems_of(broken), (Problems{{21, "error: Type= value \"0Xzz\" is not a number"},
                                             {235, "warning: polygon type is not in the draw order; mkgmap does not draw it"},
                                             {286, "error: Xpm colour line: \"\"\" expected, not \"[\""},
                                             {291, "error: Type= value \"0a\" is not a number"},
                                             {462, "warning: XPM row is longer than 2 pixels; mkgmap leaves the rest out"}}));
    EXPECT_EQ(problems_of("[_line]\nType=0x01\nLineWidth=x\nXpm=\"0 0\"\n[end]\nstray\n[_point]\n[end]\n"),
              (Problems{{3, "error: LineWidth is not a width: \"x\""},
                        {4, "error: Xpm header is not \"width height colours chars-per-pixel\""},
                        {6, "error: text outside any section: \"stray\""},
                        {7, "error: [_point] entry without an Xpm"},
                        {7, "warning: entry without a Type= line; mkgmap writes it as type 0"}}));
    EXPECT_EQ(problems_of(""), (Problems{{1, "warning: no [_point], [_line] or [_polygon] entry"}}));
    // Characters a pixel that the file cannot give end the reading, not a wait for them.
    EXPECT_EQ(problems_of("[_point]\nType=0x2f\nXpm=\"1 1 1 999999999\"\n\"a").back(),
              (std::pair<std::size_t, std::string>{4, "error: the file ends inside an Xpm colour line"}));
    // mkgmap reads every line of a block it does not know, and stops at one that is no setting.
    EXPECT_EQ(problems_of("[_line]\nType=0x01\nLineWidth=-1\nXpm=\"0 0 2 0\"\n\"a c #000000\"\n\"b c #000000\"\n[end]\n"
                          "[_foo]\nx\n"),
              (Problems{{3, "warning: LineWidth is negative"},
                        {8, "warning: section [_foo] is unknown; mkgmap skips it"},
                        {9, "error: \"x\" is not followed by \"=\" or \":\""}}));
}

// mkgmap reads a type as Java's Integer.decode does: 32 bits with a sign,
// 0x or # for hexadecimal, a leading 0 for octal.
TEST(TypValueType, reads_a_type_number_as_mkgmap_does) {
    EXPECT_EQ(typ_value_type("0x7fffffff"), typ_type(0x7fffffffu));
    EXPECT_EQ(typ_value_type("0x80000000"), std::nullopt);
    EXPECT_EQ(typ_value_type("0x100000000"), std::nullopt);
    EXPECT_EQ(typ_value_type("#2f", "0x12"), typ_value_type("0x2f12"));
    EXPECT_EQ(typ_value_type("010"), typ_value_type("8"));
    EXPECT_EQ(typ_value_type("08"), std::nullopt);
    EXPECT_EQ(typ_value_type("0x-1"), std::nullopt);
}

}  // namespace
}  // namespace tessaro
