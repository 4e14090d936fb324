#include "colour.h"

#include <gtest/gtest.h>
#include <random>

namespace tessaro {
namespace {

// The generator's sequences are pinned by the golden files, its reseed also by the polygon writer test.
TEST(RoundHalfEven, sends_halves_to_the_even_neighbour) {
    const std::pair<double, long> cases[] = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {254.5, 254}, {2.4999, 2}, {2.5001, 3}, {0.0, 0}};
    for (const auto& [value, rounded] : cases) EXPECT_EQ(round_half_even(value), rounded) << value;
}

}  // namespace
}  // namespace tessaro
