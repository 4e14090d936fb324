#include "polygon_looks.h"

#include <gtest/gtest.h>

#include <cstdint>
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
        {{"0x01", "0x02", "0x03"}, "DDDDDD", 0}, {{"0x05", "0x06"}, "", 8}, {{"0x08"}, "DCA3A3", 0},
        {{"0x0c"}, "BCA9A9", 0}, {{"0x13"}, "DFD1D6", 0}, {{"0x14", "0x15", "0x16"}, "BFFF80", 0},
        {{"0x18"}, "", 5}, {{"0x50"}, "", 1}, {{"0x4f"}, "", 2}, {{"0x1f", "0x1e", "0x17"}, "8AD3AF", 0},
        {{"0x0a"}, "FAFD86", 0}, {{"0x0b"}, "", 7}, {{"0x1a"}, "", 4}, {{"0x51"}, "", 3},
        {{"0x28", "0x3b", "0x3c", "0x3d", "0x3e", "0x3f", "0x40", "0x41", "0x42", "0x43", "0x44",
          "0x45", "0x46", "0x47", "0x48", "0x49", "0x4c"},
         "B7F7FF", 0},
        {{"0x0e"}, "CCCCCC", 0}, {{"0x19"}, "", 6}, {{"0x4b"}, "FFFFFFFF", 0},
    };
    for (const ExpectedLook& row : table) {
        for (std::string_view code : row.codes) {
            const BuiltinPolygonLook* look = builtin_polygon_look(code);
            ASSERT_NE(look, nullptr) << code;
            EXPECT_EQ(look->colour, row.colour) << code;
            EXPECT_EQ(look->pattern, row.pattern) << code;
        }
    }
    for (std::string_view code : {"0x04", "0x07", "0x4e", "0x3C", "0X3c", "0x03c", "0x5", "0x3c]", "3c", ""})
        EXPECT_EQ(builtin_polygon_look(code), nullptr) << '"' << code << '"';
}

std::uint64_t fingerprint(const FillPattern& p) {
    std::uint64_t h = 14695981039346656037u;  // FNV-1a over the colour lines and the rows
    std::string text = std::string(p.colour0) + "|" + std::string(p.colour1);
    for (std::string_view row : p.rows) text += "|" + std::string(row);
    for (unsigned char c : text) h = (h ^ c) * 1099511628211u;
    return h;
}

// The golden files show patterns 1 to 3 whole; the fingerprints pin every
// colour line and row of all eight against an unnoticed edit.
TEST(FillPattern, has_32_rows_of_32_binary_pixels_and_unchanged_tables) {
    const std::uint64_t fingerprints[8] = {
        2704960181513817582u, 17085204288468815554u, 9025366031308639469u, 17178691524461355776u,
        955442954298542566u,  4302455626660968359u,  17022214862751009648u, 7950878132148939254u};
    for (int n = 1; n <= 8; ++n) {
        const FillPattern& p = fill_pattern(n);
        for (std::string_view row : p.rows) {
            EXPECT_EQ(row.size(), 32u) << "pattern " << n << ": " << row;
            EXPECT_EQ(row.find_first_not_of("01"), std::string_view::npos) << "pattern " << n << ": " << row;
        }
        EXPECT_EQ(fingerprint(p), fingerprints[n - 1]) << "pattern " << n;
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
