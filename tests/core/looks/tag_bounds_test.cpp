#include "tag_bounds.h"

#include <gtest/gtest.h>

namespace tessaro {
namespace {

TEST(TagBounds, read_decimal_numbers_only_whole) {
    EXPECT_EQ(number("999999"), 999999.0);
    EXPECT_EQ(number("-12.5"), -12.5);
    EXPECT_EQ(number("+3"), 3.0);
    EXPECT_EQ(number(".5"), 0.5);
    EXPECT_EQ(number("7."), 7.0);
    for (const char* not_one : {"", "-", ".", "1.2.3", "1e3", "12a", " 1", "0x10", "inf"})
        EXPECT_FALSE(number(not_one)) << not_one;
}

TEST(TagBounds, a_rule_s_bound_implies_a_look_s_only_from_the_same_side_and_no_wider) {
    EXPECT_TRUE(meets(">", 10, 11));
    EXPECT_FALSE(meets(">", 10, 10));
    EXPECT_TRUE(meets("<=", 10, 10));
    EXPECT_TRUE(implies(">", 1000000, ">", 999999));
    EXPECT_FALSE(implies(">", 999999, ">", 1000000));
    EXPECT_TRUE(implies(">", 10, ">=", 10));   // strict at the same limit implies either
    EXPECT_FALSE(implies(">=", 10, ">", 10));  // inclusive implies only inclusive
    EXPECT_FALSE(implies("<", 5, ">", 1));     // from below against from above
    EXPECT_TRUE(is_bound_op("<=") && !is_bound_op("=") && !is_bound_op("=>"));
}

}  // namespace
}  // namespace tessaro
