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

}  // namespace
}  // namespace tessaro
