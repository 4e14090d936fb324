#include "tag_bounds.h"
#include <gtest/gtest.h>

namespace tessaro {
namespace {
// Numbers only whole and decimal; a rule's bound implies a look's only from the same side and no wider.
TEST(TagBounds, read_decimal_numbers_only_whole_and_imply_a_bound_only_from_the_same_side_and_no_wider) {
    for (const auto& [text, value] : {std::pair{"999999", 999999.0}, {"-12.5", -12.5}, {"+3", 3.0}, {".5", 0.5}, {"7.", 7.0}})
        EXPECT_EQ(number(text), value) << text;
    for (const char* not_one : {"", "-", ".", "1.2.3", "1e3", "12a", " 1", "0x10", "inf"}) EXPECT_FALSE(number(not_one)) << not_one;
    EXPECT_TRUE(meets(">", 10, 11) && !meets(">", 10, 10) && meets("<=", 10, 10));
    EXPECT_TRUE(implies(">", 1000000, ">", 999999) && !implies(">", 999999, ">", 1000000));
    EXPECT_TRUE(implies(">", 10, ">=", 10));   // strict at the same limit implies either
    EXPECT_FALSE(implies(">=", 10, ">", 10));  // inclusive implies only inclusive
    EXPECT_FALSE(implies("<", 5, ">", 1));     // from below against from above
    EXPECT_TRUE(is_bound_op("<=") && !is_bound_op("=") && !is_bound_op("=>"));
}
}  // namespace
}  // namespace tessaro
