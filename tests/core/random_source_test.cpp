#include "random_source.h"

#include <gtest/gtest.h>
#include <random>

namespace tessaro {
namespace {

// The generator's sequences are pinned by the golden files, its reseed also by the polygon writer test;
// MtRandom skips by the engine's discard, checked below.
TEST(RoundHalfEven, sends_halves_to_the_even_neighbour) {
    const std::pair<double, long> cases[] = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {254.5, 254}, {2.4999, 2}, {2.5001, 3}, {0.0, 0}};
    for (const auto& [value, rounded] : cases) EXPECT_EQ(round_half_even(value), rounded) << value;
}

// The engine is the standard's, number for number, over several refills
// of its state and after passing over numbers in steps of every size.
TEST(Mt64, draws_and_passes_over_the_numbers_of_the_standard_engine) {
    for (const std::uint64_t seed : {std::uint64_t{0}, std::uint64_t{1}, std::uint64_t{5489}, ~std::uint64_t{0}, std::uint64_t{0x9e3779b97f4a7c15}}) {
        Mt64 ours(seed);
        std::mt19937_64 standard(seed);
        for (int i = 0; i < 2000; ++i) ASSERT_EQ(ours(), standard()) << seed << " " << i;
        for (const std::uint64_t skip : {0u, 1u, 2u, 155u, 156u, 311u, 312u, 313u, 1000u, 7777u}) {
            ours.discard(skip);
            standard.discard(skip);
            ASSERT_EQ(ours(), standard()) << seed << " after " << skip;
        }
        ours.seed(seed + 1);
        standard.seed(seed + 1);
        EXPECT_EQ(ours(), standard()) << "reseeded";
    }
}

}  // namespace
}  // namespace tessaro
