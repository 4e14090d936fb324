// The entry counts read from a compiled TYP file's header, checked on files
// mkgmap compiled from texts of known counts.
#include "support/typ_binary.h"

#include <cstdio>
#include <gtest/gtest.h>

#include "support/mkgmap.h"
#include "support/temp_dir.h"

namespace tessaro {
namespace {

using test::TypCounts;

// A text of that many points, lines and polygons, each of a type of its own.
// Points with a label and a 16 x 16 icon make the file large enough for
// wider index elements: 3 bytes each below 256 bytes of point data, 4 below
// 64 kB, 5 above.
std::string text_of(const TypCounts& counts, bool large_points = false) {
    std::string text = "[_id]\nFID=12345\nProductCode=1\nCodePage=1252\n[end]\n[_drawOrder]\n";
    char line[160];
    for (int i = 0; i < counts.polygons; ++i) {
        std::snprintf(line, sizeof line, "Type=0x%x,1\n", 0x10100 + i);
        text += line;
    }
    text += "[end]\n";
    for (int i = 0; i < counts.points; ++i) {
        std::snprintf(line, sizeof line, "[_point]\nType=0x%x\n", 0x10000 + i);
        text += line;
        if (large_points) {
            std::snprintf(line, sizeof line, "String1=0x04,point %d of many, with a label long enough to fill the file\n", i);
            text += std::string(line) + "DayXpm=\"16 16 2 1\"\n\"a c #000000\"\n\"b c #FFFFFF\"\n";
            for (int row = 0; row < 16; ++row) text += "\"abababababababab\"\n";
        } else {
            text += "DayXpm=\"1 1 1 1\"\n\"a c #000000\"\n\"a\"\n";
        }
        text += "[end]\n";
    }
    for (int i = 0; i < counts.lines; ++i) {
        std::snprintf(line, sizeof line, "[_line]\nType=0x%x\nXpm=\"0 0 1 0\"\n\"a c #FF0000\"\n[end]\n", 0x01 + i);
        text += line;
    }
    for (int i = 0; i < counts.polygons; ++i) {
        std::snprintf(line, sizeof line, "[_polygon]\nType=0x%x\nXpm=\"0 0 1 0\"\n\"a c #DCDCDC\"\n[end]\n", 0x10100 + i);
        text += line;
    }
    return text;
}

TEST(TypBinary, counts_the_points_lines_and_polygons_mkgmap_compiled_from_texts_of_known_counts) {
    const test::TempDir tmp;
    if (const std::string missing = test::mkgmap_command_missing(tmp); !missing.empty()) GTEST_SKIP() << missing;
    struct Case {
        TypCounts counts;
        bool large_points;
    };
    const std::vector<Case> cases = {
        {{0, 0, 0}, false}, {{2, 3, 4}, false}, {{5, 1, 2}, false},  {{1, 0, 0}, false},
        {{0, 1, 0}, false}, {{0, 0, 1}, false}, {{40, 7, 3}, true},  {{600, 2, 1}, true},
    };
    std::vector<std::pair<std::string, std::string>> texts;
    for (std::size_t i = 0; i < cases.size(); ++i)
        texts.emplace_back("known" + std::to_string(i) + ".txt", text_of(cases[i].counts, cases[i].large_points));
    const std::vector<test::MkgmapResult> compiled = test::mkgmap_compile(tmp, "known", texts);
    ASSERT_EQ(compiled.size(), cases.size());
    for (std::size_t i = 0; i < cases.size(); ++i) {
        ASSERT_TRUE(compiled[i].compiled) << texts[i].first << '\n' << compiled[i].log;
        EXPECT_EQ(test::count_typ_entries(compiled[i].typ), cases[i].counts) << texts[i].first;
    }
}

// What a run that failed may leave behind is no count of anything.
TEST(TypBinary, finds_no_counts_in_bytes_that_are_no_typ_file_or_whose_index_runs_past_the_end) {
    EXPECT_EQ(test::count_typ_entries(""), std::nullopt);
    EXPECT_EQ(test::count_typ_entries("[_id]\nFID=12345\n[end]\n" + std::string(200, '\n')), std::nullopt);

    // A header of 0x9c bytes with one point array of 2 elements of 3 bytes right after it.
    std::string header(0x9c, '\0');
    header.replace(0, 12, std::string("\x9c\0GARMIN TYP", 12));
    header.replace(0x33, 10, std::string("\x9c\0\0\0\x03\0\x06\0\0\0", 10));
    EXPECT_EQ(test::count_typ_entries(header + "abcdef"), (TypCounts{2, 0, 0}));
    EXPECT_EQ(test::count_typ_entries(header + "abcde"), std::nullopt);        // cut short
    EXPECT_EQ(test::count_typ_entries(header.substr(0, 0x50)), std::nullopt);  // a header cut short
    std::string odd = header;
    odd[0x37] = 4;  // 6 bytes are no whole number of 4-byte elements
    EXPECT_EQ(test::count_typ_entries(odd + "abcdef"), std::nullopt);
    odd[0x37] = 0;
    EXPECT_EQ(test::count_typ_entries(odd + "abcdef"), std::nullopt);
}

}  // namespace
}  // namespace tessaro
