#include "typ_reader.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

#include "support/temp_dir.h"

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

TEST(ReadTypText, reports_each_break_at_its_line_and_missing_rows_bad_headers_and_stray_text) {
    std::string broken = WRITTEN;
    const auto replace = [&](const std::string& from, const std::string& to) {
        broken.replace(broken.find(from), from.size(), to);
    };
    replace("Type=0X10f04,1", "Type=0Xzz,1");                                  // line 21
    replace("\"1 c #B8E0A0\"\r\n\r\n[end]", "\"1 c #B8E0A0\"\r\n\r\n");           // entry of line 179, [end] left blank
    replace("\"0 c #1CA9DE\"\r\n\"0 c #0000A0\"\r\n", "\"0 c #1CA9DE\"\r\n");    // header in line 286
    replace("Type=0x0a\r\n", "Type=0a\r\n");                                   // line 292, now 291
    replace("\"ab\"", "\"abb\"");                                              // line 463, now 462
    // The broken draw order line leaves 0x10f04 undrawn.
    EXPECT_EQ(problems_of(broken), (Problems{{21, "error: Type= value \"0Xzz\" is not a number"},
                                             {179, "warning: [_polygon] opened here is not closed by [end]"},
                                             {235, "warning: polygon type is not in the draw order; mkgmap does not draw it"},
                                             {286, "error: Xpm declares 2 colours but 1 colour lines follow"},
                                             {291, "error: Type= value \"0a\" is not a number"},
                                             {462, "warning: XPM row is longer than 2 pixels; mkgmap leaves the rest out"}}));
    EXPECT_EQ(problems_of("[_point]\nType=0x2f\nXpm=\"2 3 1 1\"\n\"a c #000000\"\n\"aa\"\n[end]\n"),
              (Problems{{3, "error: Xpm declares 3 rows but 1 follow"}}));
    EXPECT_EQ(problems_of("[_line]\nType=0x01\nLineWidth=x\nXpm=\"0 0\"\n[end]\nstray\n[_point]\n[end]\n"),
              (Problems{{3, "error: LineWidth is not a width: \"x\""},
                        {4, "error: Xpm header is not \"width height colours chars-per-pixel\""},
                        {6, "error: text outside any entry: \"stray\""},
                        {7, "warning: entry without a Type= line; mkgmap leaves it out"},
                        {7, "error: [_point] entry without an Xpm"}}));
}

// What mkgmap refuses is an error; what it takes but draws otherwise, a warning.
TEST(ReadTypText, tells_what_mkgmap_refuses_from_what_it_takes_with_losses) {
    const auto polygon = [](const std::string& xpm) {
        return "[_drawOrder]\nType=0x03,1\n[end]\n[_polygon]\nType=0x03\nXpm=" + xpm + "\n[end]\n";
    };
    const std::string rows32 = [] {
        std::string r;
        for (int i = 0; i < 32; ++i) r += "\"" + std::string(32, 'a') + "\"\n";
        return r;
    }();
    EXPECT_EQ(problems_of(polygon("\"0 0 1 0\"\n\"a c none\"")), (Problems{{6, "error: a lone colour cannot be none"}}));
    EXPECT_EQ(problems_of(polygon("\"0 0 3 0\"\n\"a c #000000\"\n\"b c #000000\"\n\"c c #000000\"")),
              (Problems{{6, "error: a polygon takes 1, 2 or 4 colours, not 3"}}));
    EXPECT_EQ(problems_of(polygon("\"32 32 4 1\"\n\"a c #000000\"\n\"b c none\"\n\"c c None\"\n\"d c none\"\n" + rows32)),
              (Problems{{6, "error: the night colours cannot both be none"}}));
    EXPECT_EQ(problems_of(polygon("\"32 32 2 1\"\n\"a c #000000\" alpha=3\n\"b c #FF00007F\"\n" + rows32)), Problems{});
    EXPECT_EQ(problems_of(polygon("\"0 0 1 0\"\n\"a c #GG0000\"")),
              (Problems{{6, "error: Xpm colour \"#GG0000\" is neither #RRGGBB nor none"}}));
    EXPECT_EQ(problems_of(polygon("\"0 0 1 0\"\n\"a c #0000000\"")),
              (Problems{{6, "error: Xpm colour \"#0000000\" is neither #RRGGBB nor none"}}));

    const std::string point = "[_point]\nType=0x11120\nString1=0x04,Caf\xC3\xA9 \xD0\x93\nDayXpm=\"2 2 2 1\"\n"
                              "\"a c #000000\"\n\"b c none\"\n\"abb\"\n\"bz\"\n\"ab\"\nNightXpm=\"1 1 1 1\"\n\"a c #000000\"\n\"a\"\n"
                              "Colour=red\n#note\n[_foo]\nx\n";
    EXPECT_EQ(problems_of(point), (Problems{{1, "warning: [_point] opened here is not closed by [end]"},
                                            {2, "warning: extended point subtype is above 0x1f"},
                                            {3, "warning: label holds characters that code page 1252 cannot hold"},
                                            {7, "warning: XPM row is longer than 2 pixels; mkgmap leaves the rest out"},
                                            {8, "error: pixel \"z\" is not in the Xpm's colours"},
                                            {9, "warning: XPM row beyond the 2 the header declares; mkgmap leaves it out"},
                                            {10, "warning: NightXpm is not the size of the day picture"},
                                            {13, "warning: unknown key \"Colour\"; mkgmap leaves it out"},
                                            {14, "error: not a key=value line: \"#note\""},
                                            {15, "warning: section [_foo] is unknown; mkgmap skips it"},
                                            {15, "warning: section opened here is not closed by [end]"}}));

    const std::string label = "[_line]\nType=0x01\nString1=0x04," + std::string(255, 'x') +
                              "\nLineWidth=-1\nXpm=\"16 1 2 1\"\n\"a c #000000\"\n\"b c none\"\n\"" + std::string(16, 'a') +
                              "\"\n[end]\n[_line]\nType=1\nXpm=\"0 0 2 0\"\n\"a c #000000\"\n\"b c #000000\"\n[end]\n";
    EXPECT_EQ(problems_of(label), (Problems{{3, "error: label is 255 characters long; mkgmap takes at most 254"},
                                            {4, "warning: LineWidth is negative"},
                                            {5, "error: a line pattern is 32 pixels wide, not 16"},
                                            {11, "warning: the type has an entry already at line 2; mkgmap keeps one"}}));
    EXPECT_EQ(problems_of("[_drawOrder]\nType=0x03,x\nType=0x04\n[end]\n"),
              (Problems{{1, "error: no TYP text: no [_point], [_line] or [_polygon] entry"},
                        {2, "error: draw order level \"x\" is not a number"},
                        {3, "error: draw order level \"\" is not a number"}}));
    EXPECT_TRUE(has_error(read_typ_text("")));
    EXPECT_FALSE(has_error(read_typ_text(polygon("\"0 0 2 0\"\n\"a c #000000\"\n\"b c none\"") + "[end]\n")));
}

// A Windows long holds 31 bits of value: the high types were refused there alone.
TEST(TypValueType, reads_all_32_bits_of_a_type_on_every_platform) {
    EXPECT_EQ(typ_value_type("0x80000000"), 0x80000000u);
    EXPECT_EQ(typ_value_type("0xffffffff", "0x12"), 0xffffff12u);
    EXPECT_EQ(typ_value_type("0x100000000"), std::nullopt);
    EXPECT_EQ(typ_value_type("0x2f"), 0x2f00u);
}

}  // namespace
}  // namespace tessaro
