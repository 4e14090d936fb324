#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <random>

namespace tessaro {

// Uniform numbers in [0, 1) for the random colours, from the 64-bit
// Mersenne twister. Reseeded at the start of every line and polygon file:
// from the clock, or from a fixed seed so that the same seed gives
// byte-identical output.
class RandomSource {
public:
    explicit RandomSource(std::optional<std::uint64_t> seed = std::nullopt) : m_seed(seed) { reseed(); }
    void reseed();
    double next();
    // Passes over n numbers, as n calls of next() would.
    void skip(std::size_t n) { m_engine.discard(n); }

private:
    std::optional<std::uint64_t> m_seed;
    std::mt19937_64 m_engine;
};

// The numbers each rule item of a file draws, so that the sequence never
// shifts however many items make an entry: those of items that make none are
// only counted, and skipped in one go when an item takes its own.
template <std::size_t N>
class ItemDraws {
public:
    explicit ItemDraws(RandomSource& random) : m_random(random) {}
    // An item, or `items` of them, that make no entry.
    void pass(std::size_t items = 1) { m_owed += N * items; }
    std::array<double, N> take() {
        m_random.skip(m_owed);
        m_owed = 0;
        std::array<double, N> numbers{};
        for (double& n : numbers) n = m_random.next();
        return numbers;
    }

private:
    RandomSource& m_random;
    std::size_t m_owed = 0;
};

// Nearest integer, halves to the even neighbour.
long round_half_even(double v);

}  // namespace tessaro
