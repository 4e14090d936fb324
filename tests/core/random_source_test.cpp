#include "random_source.h"

#include <gtest/gtest.h>

namespace tessaro {
namespace {

TEST(RoundHalfEven, sends_halves_to_the_even_neighbour) {
    const std::pair<double, long> cases[] = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {254.5, 254}, {2.4999, 2}, {2.5001, 3}, {0.0, 0}};
    for (const auto& [value, rounded] : cases) EXPECT_EQ(round_half_even(value), rounded) << value;
}

TEST(MtRandom, repeats_after_a_reseed_with_a_fixed_seed_and_stays_below_one) {
    MtRandom a(42);
    std::vector<double> first;
    for (int i = 0; i < 1000; ++i) {
        first.push_back(a.next());
        ASSERT_GE(first.back(), 0.0);
        ASSERT_LT(first.back(), 1.0);
    }
    a.reseed();
    for (double v : first) EXPECT_EQ(a.next(), v);
    MtRandom b(43);
    EXPECT_NE(b.next(), first[0]);
}

}  // namespace
}  // namespace tessaro
