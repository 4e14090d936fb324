#include "line_writer.h"

#include <gtest/gtest.h>

#include "line_looks.h"
#include "support/writer_run.h"

namespace tessaro {
namespace {

using test::crlf_lines;
using test::WriterRun;
using Lines = std::vector<std::string>;

std::string run_lines(WriterRun& r, const std::string& rules) {
    return r.run(lines, rules);
}

// Widths, colours and patterns of the built-in looks, written out as a map
// maker reads them: code -> width, border, colour 1, colour 2, pattern.
struct ExpectedLook {
    const char* code;
    int width, border;
    const char* colour1;
    const char* colour2;
    int pattern;
};
const ExpectedLook LOOKS[] = {
    {"0x01", 5, 1, "1CA9DE", "0000A0", 0}, {"0x02", 4, 1, "11A868", "", 0}, {"0x03", 4, 1, "C4136E", "", 0},
    {"0x04", 4, 1, "ECC508", "", 0},       {"0x05", 3, 1, "FFFF00", "", 0}, {"0x06", 3, 1, "FFFFFF", "", 0},
    {"0x07", 2, 1, "a0a0a0", "", 0},       {"0x0a", 0, 0, "", "", 10},      {"0x0e", 0, 0, "", "", 10},
    {"0x0f", 0, 0, "", "", 11},            {"0x16", 0, 0, "", "", 16},      {"0x10", 0, 0, "", "", 17},
    {"0x0d", 0, 0, "", "", 17},            {"0x20", 1, 0, "FF8040", "", 0}, {"0x21", 1, 0, "FFBD9D", "", 0},
    {"0x22", 2, 0, "FFBD9D", "", 0},       {"0x23", 2, 0, "FFBD9D", "", 0}, {"0x24", 2, 0, "FFBD9D", "", 0},
    {"0x25", 2, 0, "FFBD9D", "", 0},       {"0x27", 14, 0, "0c0c0c", "", 0}, {"0x18", 4, 0, "B7F7FF", "", 0},
    {"0x26", 8, 1, "B7F7FF", "", 0},       {"0x1f", 8, 1, "B7F7FF", "", 0}, {"0x14", 0, 0, "", "", 14},
};

Lines expected_entry(const ExpectedLook& l, const std::string& label) {
    Lines e{"[_line]", std::string("Type=") + l.code};
    if (l.pattern == 0) {
        e.push_back("LineWidth=" + std::to_string(l.width));
        e.push_back("BorderWidth=" + std::to_string(l.border));
    }
    e.push_back("UseOrientation=N");
    if (!label.empty()) e.push_back("String1=0x4," + label);
    e.push_back("ExtendedLabels=N");
    e.push_back("CustomColor=No");
    if (l.pattern == 0) {
        e.push_back(std::string("Xpm=\"") + (*l.colour2 ? "0 0 2 0" : "0 0 1 0") + "\"");
        e.push_back(std::string("\"0 c #") + l.colour1 + "\"");
        if (*l.colour2) e.push_back(std::string("\"0 c #") + l.colour2 + "\"");
    }
    return e;
}

TEST(Lines, gives_every_code_of_the_look_table_its_look) {
    for (const ExpectedLook& l : LOOKS) {
        WriterRun r;
        const Lines got = crlf_lines(run_lines(r, std::string("highway=road [") + l.code + " resolution 20]\n"));
        const Lines want = expected_entry(l, "road");
        ASSERT_GE(got.size(), want.size()) << l.code;
        EXPECT_EQ(Lines(got.begin(), got.begin() + static_cast<long>(want.size())), want) << l.code;
        EXPECT_EQ(got.back(), "") << l.code;
        EXPECT_EQ(got[got.size() - 2], "[end]") << l.code;
        if (l.pattern != 0) {
            const LinePattern* p = line_pattern(l.pattern);
            ASSERT_NE(p, nullptr);
            EXPECT_EQ(got[want.size()], "Xpm=\"" + std::string(p->header) + "\"") << l.code;
        }
    }
}

TEST(Lines, writes_the_dash_patterns_with_32_pixel_rows) {
    WriterRun r;
    const Lines got = crlf_lines(run_lines(r, "a=b [0x0f]\n"));
    EXPECT_EQ(Lines(got.begin() + 6, got.end()),
              (Lines{"Xpm=\"32 3 2 1\"", "\"0 c #804000\"", "\"1 c none\"", "\"00011111000000000011111000111111\"",
                     "\"00011111000111110001111100000001\"", "\"00011111000000000011111000111111\"", "[end]", ""}));
    for (int n : {10, 11, 14, 16, 17}) {
        const LinePattern* p = line_pattern(n);
        ASSERT_NE(p, nullptr);
        const int height = p->header[3] - '0';
        for (int i = 0; i < 5; ++i) EXPECT_EQ(p->rows[i].size(), i < height ? 32u : 0u) << n;
    }
    EXPECT_EQ(line_pattern(12), nullptr);
}

TEST(Lines, lets_motorway_rules_override_widths_and_colours_but_keep_a_pattern) {
    WriterRun link;
    const Lines got = crlf_lines(run_lines(link, "highway=motorway_link [0x09 resolution 20]\n"));
    EXPECT_EQ(got, (Lines{"[_line]", "Type=0x09", "LineWidth=5", "BorderWidth=1", "UseOrientation=N",
                          "String1=0x4,motorway_link", "ExtendedLabels=N", "CustomColor=No", "Xpm=\"0 0 2 0\"",
                          "\"0 c #1CA9DE\"", "\"0 c #0000A0\"", "[end]", ""}));
    WriterRun patterned;
    const std::string text = run_lines(patterned, "note=motorway [0x0f]\n");
    EXPECT_EQ(text.find("LineWidth"), std::string::npos);
    EXPECT_NE(text.find("Xpm=\"32 3 2 1\""), std::string::npos);
    EXPECT_EQ(text.find("1CA9DE"), std::string::npos);
}

TEST(Lines, labels_come_from_the_value_the_whole_condition_or_nothing) {
    WriterRun r;
    // A bracket on the first line has no condition to be joined with.
    const std::string text = run_lines(r, "[0x04]\nhighway=primary [0x02]\nbridge [0x03]\n  waterway = river [0x1f]\n");
    EXPECT_NE(text.find("String1=0x4,primary\r\n"), std::string::npos);
    EXPECT_NE(text.find("String1=0x4,bridge\r\n"), std::string::npos);
    EXPECT_NE(text.find("String1=0x4, river\r\n"), std::string::npos);
    const std::size_t bare = text.find("Type=0x04\r\n");
    ASSERT_NE(bare, std::string::npos);
    EXPECT_GT(text.find("String1"), text.find("[end]", bare));
}

TEST(Lines, drops_repeated_codes_by_their_digits_only) {
    WriterRun r;
    const std::string text = run_lines(r, "a=first [0x02]\na=second [0X02]\na=b [0x01]\na=c [0x1]\na=d [0x02]\n");
    const Lines got = crlf_lines(text);
    EXPECT_EQ(std::count(got.begin(), got.end(), "[_line]"), 3);
    EXPECT_NE(text.find("String1=0x4,first"), std::string::npos);
    EXPECT_EQ(text.find("second"), std::string::npos);
    // 0x1 matches no table row: width 2 and a random colour ending in A0.
    const std::size_t one = text.find("Type=0x1\r\n");
    ASSERT_NE(one, std::string::npos);
    EXPECT_EQ(text.compare(one, 38, "Type=0x1\r\nLineWidth=2\r\nBorderWidth=0\r\n"), 0);
}

TEST(Lines, random_colours_stay_in_their_range) {
    MtRandom random(5);
    for (int i = 0; i < 2000; ++i) {
        const std::string c = random_line_colour(random);
        ASSERT_EQ(c.size(), 6u);
        const int b = std::stoi(c.substr(0, 2), nullptr, 16);
        const int g = std::stoi(c.substr(2, 2), nullptr, 16);
        EXPECT_TRUE(b >= 0xA0 && b <= 0xCD) << c;
        EXPECT_TRUE(g >= 0x7B && g <= 0xDF) << c;
        EXPECT_EQ(c.substr(4), "A0");
    }
}

TEST(Lines, takes_a_library_look_whole_without_built_in_lines) {
    WriterRun r;
    r.state.line_library.assign("[_line]\r\nType=0x00200\r\nXpm=\"0 0 1 0\"\r\n\"1 c #112233\"\r\n[end]\r\n");
    EXPECT_EQ(run_lines(r, "highway=trunk [0x02 resolution 20]\n"),
              "[_line]\r\nType=0x00200\r\nXpm=\"0 0 1 0\"\r\n\"1 c #112233\"\r\n\r\n[end]\r\n\r\n");
}

TEST(Lines, writes_nothing_when_switched_off_or_without_type_brackets) {
    WriterRun off;
    off.state.lines_on = false;
    EXPECT_EQ(run_lines(off, "highway=primary [0x02]\n"), "");
    WriterRun none;
    EXPECT_EQ(run_lines(none, "highway=primary { name 'x' }\n[\n"), "");
    EXPECT_TRUE(none.shell.messages.empty());
}

}  // namespace
}  // namespace tessaro
