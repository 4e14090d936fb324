#include "polygon_looks.h"

#include <cstdint>
#include <cstdio>
#include <gtest/gtest.h>
#include <map>
#include <string_view>

namespace tessaro {
namespace {

TEST(BuiltinPolygonLook, gives_the_listed_codes_their_colour_or_pattern_and_only_the_exact_lower_case_code) {
    std::map<std::string, std::string> codes_of;  // colour or pattern -> the codes 0x00..0xff that have it
    for (int c = 0; c < 0x100; ++c) {
        char code[8];
        std::snprintf(code, sizeof code, "0x%02x", c);
        if (const BuiltinPolygonLook* look = builtin_polygon_look(code)) {
            const std::string key = look->pattern ? "pattern " + std::to_string(look->pattern) : std::string(look->colour);
            codes_of[key] += " " + std::string(code);
        }
    }
    EXPECT_EQ(codes_of,
              (std::map<std::string, std::string>{
                  {"DDDDDD", " 0x01 0x02 0x03"}, {"pattern 8", " 0x05 0x06"}, {"DCA3A3", " 0x08"}, {"BCA9A9", " 0x0c"},
                  {"DFD1D6", " 0x13"}, {"BFFF80", " 0x14 0x15 0x16"}, {"pattern 5", " 0x18"}, {"pattern 1", " 0x50"},
                  {"pattern 2", " 0x4f"}, {"8AD3AF", " 0x17 0x1e 0x1f"}, {"FAFD86", " 0x0a"}, {"pattern 7", " 0x0b"},
                  {"pattern 4", " 0x1a"}, {"pattern 3", " 0x51"}, {"CCCCCC", " 0x0e"}, {"pattern 6", " 0x19"},
                  {"B7F7FF", " 0x28 0x3b 0x3c 0x3d 0x3e 0x3f 0x40 0x41 0x42 0x43 0x44 0x45 0x46 0x47 0x48 0x49 0x4c"},
                  {"FFFFFFFF", " 0x4b"}}));
    for (std::string_view code : {"0x3C", "0X3c", "0x03c", "0x5", "0x3c]", "3c", ""})
        EXPECT_EQ(builtin_polygon_look(code), nullptr) << '"' << code << '"';
}

std::uint64_t fingerprint(const FillPattern& p) {
    std::uint64_t h = 14695981039346656037u;  // FNV-1a over the colour lines and the rows
    std::string text = std::string(p.colour0) + "|" + std::string(p.colour1);
    for (std::string_view row : p.rows) text += "|" + std::string(row);
    for (unsigned char c : text) h = (h ^ c) * 1099511628211u;
    return h;
}

// The golden files show patterns 1 to 3; fingerprints pin all eight against an unnoticed edit.
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

}  // namespace
}  // namespace tessaro
