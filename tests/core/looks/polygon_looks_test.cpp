#include "polygon_entries.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <string_view>

namespace tessaro {
namespace {

// The polygon_looks golden files pin the look of every code from 0x01 to 0x5f, built in (all
// eight fill patterns among them) or random; no other code has a built-in look.
TEST(BuiltinPolygonLook, is_found_only_for_the_exact_lower_case_code_and_for_no_code_outside_0x01_to_0x5f) {
    for (std::string_view code : {"0x3C", "0X3c", "0x03c", "0x5", "0x3c]", "3c", ""})
        EXPECT_FALSE(has_builtin_polygon_look(code)) << '"' << code << '"';
    EXPECT_TRUE(has_builtin_polygon_look("0x3c"));
    for (int c = 0; c < 0x100; c = c == 0 ? 0x60 : c + 1) {
        char code[8];
        std::snprintf(code, sizeof code, "0x%02x", c);
        EXPECT_FALSE(has_builtin_polygon_look(code)) << code;
    }
}

}  // namespace
}  // namespace tessaro
