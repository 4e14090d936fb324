#include "polygon_looks.h"

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

namespace tessaro {
namespace {

struct ExpectedLook {
    std::vector<std::string_view> codes;
    std::string_view colour;
    int pattern;
};

TEST(BuiltinPolygonLook, gives_every_listed_code_its_colour_or_pattern) {
    const std::vector<ExpectedLook> table = {
        {{"0x01", "0x02", "0x03"}, "DDDDDD", 0},
        {{"0x05", "0x06"}, "", 8},
        {{"0x08"}, "DCA3A3", 0},
        {{"0x0c"}, "BCA9A9", 0},
        {{"0x13"}, "DFD1D6", 0},
        {{"0x14", "0x15", "0x16"}, "BFFF80", 0},
        {{"0x18"}, "", 5},
        {{"0x50"}, "", 1},
        {{"0x4f"}, "", 2},
        {{"0x1f", "0x1e", "0x17"}, "8AD3AF", 0},
        {{"0x0a"}, "FAFD86", 0},
        {{"0x0b"}, "", 7},
        {{"0x1a"}, "", 4},
        {{"0x51"}, "", 3},
        {{"0x28", "0x3b", "0x3c", "0x3d", "0x3e", "0x3f", "0x40", "0x41", "0x42", "0x43", "0x44",
          "0x45", "0x46", "0x47", "0x48", "0x49", "0x4c"},
         "B7F7FF", 0},
        {{"0x0e"}, "CCCCCC", 0},
        {{"0x19"}, "", 6},
        {{"0x4b"}, "FFFFFFFF", 0},
    };
    for (const ExpectedLook& row : table) {
        for (std::string_view code : row.codes) {
            const BuiltinPolygonLook* look = builtin_polygon_look(code);
            ASSERT_NE(look, nullptr) << code;
            EXPECT_EQ(look->colour, row.colour) << code;
            EXPECT_EQ(look->pattern, row.pattern) << code;
        }
    }
}

TEST(BuiltinPolygonLook, matches_only_the_exact_lower_case_code) {
    for (std::string_view code : {"0x04", "0x07", "0x4e", "0x3C", "0X3c", "0x03c", "0x5", "0x3c]", "3c", ""}) {
        EXPECT_EQ(builtin_polygon_look(code), nullptr) << '"' << code << '"';
    }
}

TEST(FillPattern, has_32_rows_of_32_binary_pixels_and_the_listed_colour_lines) {
    const std::string_view colours[8][2] = {
        {"0 c #3F3F3F", "1 c #BFFF80"}, {"0 c #A9FF5B", "1 c #4F4F4F"}, {"0 c #FFFFFF", "1 c #0080C0"},
        {"0 c #39956A", "1 c #7BFF8B"}, {"0 c #FFFFFF", "1 c #008000"}, {"0 c #39956A", "1 c #7BFF8B"},
        {"0 c #FF8080", "1 c #F0F0D8"}, {"0 c #EBFE67", "1 c #0000FF"},
    };
    for (int n = 1; n <= 8; ++n) {
        const FillPattern& p = fill_pattern(n);
        EXPECT_EQ(p.colour0, colours[n - 1][0]) << "pattern " << n;
        EXPECT_EQ(p.colour1, colours[n - 1][1]) << "pattern " << n;
        ASSERT_EQ(p.rows.size(), 32u);
        for (std::string_view row : p.rows) {
            EXPECT_EQ(row.size(), 32u) << "pattern " << n << ": " << row;
            EXPECT_EQ(row.find_first_not_of("01"), std::string_view::npos) << "pattern " << n << ": " << row;
        }
    }
}

struct RowCheck {
    int pattern;
    std::vector<int> rows;  // 1-based, top row first
    std::string_view text;
};

// Range ends and every row where a range switches, copied from the pattern tables.
TEST(FillPattern, rows_match_the_pattern_tables) {
    const std::string_view ones = "11111111111111111111111111111111";
    const std::string_view zeros = "00000000000000000000000000000000";
    const std::vector<RowCheck> checks = {
        {1, {1, 4, 16, 20, 29, 32}, ones},
        {1, {5, 6, 9, 12, 15}, "11111110111111111111111111111111"},
        {1, {7, 10, 13}, "11111100011111111111111111111111"},
        {1, {8, 11, 14}, "11111010101111111111111111111111"},
        {1, {21, 22, 25, 28}, "11111111111111111111111011111111"},
        {1, {23, 26}, "11111111111111111111110001111111"},
        {1, {24, 27}, "11111111111111111111101010111111"},
        {2, {1, 7, 21, 32}, zeros},
        {2, {8}, "00000000000000011100000000000000"},
        {2, {9}, "00000000000001110111000000000000"},
        {2, {13}, "00000000000110000000100000000000"},
        {2, {14, 16}, "00000000000100000000010000000000"},
        {2, {17}, "00000000000100100010010000000000"},
        {2, {18}, "00000000000011110101100000000000"},
        {2, {19, 20}, "00000000000000010100000000000000"},
        {3, {1, 3, 11, 16, 18, 19, 27, 32}, zeros},
        {3, {4}, "00000000100000000000000001111100"},
        {3, {5, 6}, "00000000100000000000000000000000"},
        {3, {7}, "00000110101000000000000000000000"},
        {3, {10}, "00001111111100000001111110000000"},
        {3, {17}, "00000000000111110000000000000000"},
        {3, {20, 21}, "00000000000000000000000001000000"},
        {3, {25}, "00000000000000000000000011100000"},
        {3, {26}, "00011100011111000000011111111000"},
        {4, {1, 5, 13, 21, 29, 32}, ones},
        {4, {6, 7, 9, 12}, "11111110011111111111111111111111"},
        {4, {8}, "11111000000111111111111111111111"},
        {4, {22, 23, 25, 28}, "11111111111111111111111001111111"},
        {4, {24}, "11111111111111111111100000011111"},
        {5, {1, 5, 9, 25, 29}, "10001000100010001000100010001000"},
        {5, {2, 8, 24, 32}, zeros},
        {5, {3, 23, 31}, "00100010001000100010001000100010"},
        {5, {10}, "00000000000000110000000000000000"},
        {5, {11}, "00100010001001110010001000100010"},
        {5, {12}, "00000000000010010000000000000000"},
        {5, {13, 17}, "10001000100010011000100010001000"},
        {5, {14}, "00000000000100010000000000000000"},
        {5, {15}, "00100010001111110010001000100010"},
        {5, {16, 18}, "00000000000000010000000000000000"},
        {5, {19}, "00100010001000110010001000100010"},
        {5, {20, 22}, "00000000000001111100000000000000"},
        {5, {21}, "10001000100011111110100010001000"},
        {7, {1, 11, 22, 32}, ones},
        {7, {12, 14, 18, 21}, "11111111110001111000111111111111"},
        {7, {15, 17}, "11111111110000000000111111111111"},
        {8, {1, 7, 27, 32}, zeros},
        {8, {8}, "00000000000111111110000000000000"},
        {8, {10}, "00000000000111000111110000000000"},
        {8, {11, 14}, "00000000000111000001110000000000"},
        {8, {15}, "00000000000111000011110000000000"},
        {8, {17}, "00000000000111111111000000000000"},
        {8, {18}, "00000000000111111100000000000000"},
        {8, {19, 26}, "00000000000111000000000000000000"},
    };
    for (const RowCheck& check : checks) {
        for (int row : check.rows) {
            EXPECT_EQ(fill_pattern(check.pattern).rows[static_cast<size_t>(row - 1)], check.text)
                << "pattern " << check.pattern << " row " << row;
        }
    }
    // Pattern 6: every third row from the top is blank, the rest carry the stripes.
    for (int row = 1; row <= 32; ++row) {
        EXPECT_EQ(fill_pattern(6).rows[static_cast<size_t>(row - 1)],
                  row % 3 == 1 ? zeros : "01101101101101101101101101101101")
            << "pattern 6 row " << row;
    }
}

TEST(FillPattern, clamps_numbers_outside_one_to_eight) {
    EXPECT_EQ(&fill_pattern(0), &fill_pattern(1));
    EXPECT_EQ(&fill_pattern(-5), &fill_pattern(1));
    EXPECT_EQ(&fill_pattern(9), &fill_pattern(8));
    EXPECT_NE(&fill_pattern(1), &fill_pattern(8));
}

}  // namespace
}  // namespace tessaro
