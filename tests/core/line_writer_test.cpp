#include "line_writer.h"

#include <gtest/gtest.h>

#include "line_looks.h"
#include "support/writer_run.h"

namespace tessaro {
namespace {

using test::WriterRun;

// Code -> width, border, colour 1, colour 2, pattern. The layout of the entries
// (label, ExtendedLabels, ...) is pinned by the golden files.
struct ExpectedLook {
    std::string code;
    int width, border;
    std::string colour1, colour2;
    int pattern;
};

TEST(Lines, gives_every_code_of_the_look_table_its_look) {
    const ExpectedLook looks[] = {
        {"0x01", 5, 1, "1CA9DE", "0000A0", 0}, {"0x02", 4, 1, "11A868", "", 0}, {"0x03", 4, 1, "C4136E", "", 0},
        {"0x04", 4, 1, "ECC508", "", 0},       {"0x05", 3, 1, "FFFF00", "", 0}, {"0x06", 3, 1, "FFFFFF", "", 0},
        {"0x07", 2, 1, "a0a0a0", "", 0},       {"0x0a", 0, 0, "", "", 10},      {"0x0e", 0, 0, "", "", 10},
        {"0x0f", 0, 0, "", "", 11},            {"0x16", 0, 0, "", "", 16},      {"0x10", 0, 0, "", "", 17},
        {"0x0d", 0, 0, "", "", 17},            {"0x20", 1, 0, "FF8040", "", 0}, {"0x21", 1, 0, "FFBD9D", "", 0},
        {"0x22", 2, 0, "FFBD9D", "", 0},       {"0x23", 2, 0, "FFBD9D", "", 0}, {"0x24", 2, 0, "FFBD9D", "", 0},
        {"0x25", 2, 0, "FFBD9D", "", 0},       {"0x27", 14, 0, "0c0c0c", "", 0}, {"0x18", 4, 0, "B7F7FF", "", 0},
        {"0x26", 8, 1, "B7F7FF", "", 0},       {"0x1f", 8, 1, "B7F7FF", "", 0}, {"0x14", 0, 0, "", "", 14},
    };
    for (const ExpectedLook& l : looks) {
        WriterRun r;
        const std::string text = r.run(lines, "highway=road [" + l.code + " resolution 20]\n");
        std::string head = "[_line]\r\nType=" + l.code + "\r\n", tail;
        if (l.pattern == 0) {
            head += "LineWidth=" + std::to_string(l.width) + "\r\nBorderWidth=" + std::to_string(l.border) + "\r\n";
            tail = "Xpm=\"0 0 " + std::string(l.colour2.empty() ? "1" : "2") + " 0\"\r\n\"0 c #" + l.colour1 + "\"\r\n" +
                   (l.colour2.empty() ? "" : "\"0 c #" + l.colour2 + "\"\r\n") + "[end]\r\n";
        } else {
            head += "UseOrientation=N\r\n";
            tail = "Xpm=\"" + std::string(line_pattern(l.pattern)->header) + "\"\r\n";
        }
        EXPECT_EQ(text.rfind(head, 0), 0u) << text;
        EXPECT_NE(text.find(tail), std::string::npos) << text;
    }
}

TEST(Lines, dash_patterns_have_as_many_32_pixel_rows_as_their_header_says) {
    for (int n : {10, 11, 14, 16, 17}) {
        const LinePattern* p = line_pattern(n);
        ASSERT_NE(p, nullptr);
        const int height = p->header[3] - '0';
        for (int i = 0; i < 5; ++i) EXPECT_EQ(p->rows[i].size(), i < height ? 32u : 0u) << n;
    }
}

TEST(Lines, labels_come_from_the_value_the_whole_condition_or_nothing) {
    WriterRun r;
    // A bracket on the first line has no condition to be joined with.
    const std::string text = r.run(lines, "[0x04]\nhighway=primary [0x02]\nbridge [0x03]\n  waterway = river [0x1f]\n");
    for (const char* label : {"primary", "bridge", " river"})
        EXPECT_NE(text.find("String1=0x4," + std::string(label) + "\r\n"), std::string::npos) << label;
    const std::size_t bare = text.find("Type=0x04\r\n");
    ASSERT_NE(bare, std::string::npos);
    EXPECT_GT(text.find("String1"), text.find("[end]", bare));
}

TEST(Lines, random_colours_stay_in_their_range) {
    MtRandom random(5);
    for (int i = 0; i < 2000; ++i) {
        const std::string c = random_line_colour(random);
        ASSERT_EQ(c.size(), 6u);
        const int b = std::stoi(c.substr(0, 2), nullptr, 16);
        const int g = std::stoi(c.substr(2, 2), nullptr, 16);
        EXPECT_TRUE(b >= 0xA0 && b <= 0xCD && g >= 0x7B && g <= 0xDF && c.substr(4) == "A0") << c;
    }
}

TEST(Lines, writes_nothing_when_switched_off_or_without_type_brackets) {
    WriterRun r;
    EXPECT_EQ(r.run(lines, "highway=primary { name 'x' }\n[\n"), "");
    EXPECT_TRUE(r.shell.messages.empty());
    r.state.lines_on = false;
    EXPECT_EQ(r.run(lines, "highway=primary [0x02]\n"), "");
}

}  // namespace
}  // namespace tessaro
