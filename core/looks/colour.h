#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <string_view>

#include "section.h"

namespace tessaro {

// A colour by hue (degrees, [0, 360)), saturation and lightness ([0, 1]).
struct Hsl {
    double h = 0;
    double s = 0;
    double l = 0;
};

// Six upper-case hex digits, red first.
std::string hex_of(const Hsl& colour);
// The six upper-case hex digits of 0xRRGGBB, as "%06X" writes them.
std::string hex_rgb(std::uint32_t rgb);
// "#RRGGBB" or "RRGGBB" (more digits, an alpha byte, are left out); nothing for anything else.
std::optional<Hsl> hsl_of(std::string_view hex);

// Saturation and lightness of the random colours: the library's areas are
// pale and quiet, its lines mid-toned, and random looks should not stand out.
struct ColourRange {
    double s_min, s_max, l_min, l_max;
};
inline constexpr ColourRange AREA_COLOURS{0.25, 0.45, 0.78, 0.88};
inline constexpr ColourRange LINE_COLOURS{0.55, 0.55, 0.35, 0.55};
// The least hue step between one random colour and the next of its kind, so
// that neighbours in a list (and often on the map) tell apart.
inline constexpr double LEAST_HUE_STEP = 90;

// The random colours of one run, from the numbers the writers draw for every rule item: three an area, two a line.
class CalmColours {
public:
    std::string area(double r, double g, double b);
    std::string line(double r1, double r2);

private:
    double m_area_hue = -1;  // -1: none drawn yet
    double m_line_hue = -1;
};

// Uniform numbers in [0, 1) for the random colours, from the 64-bit Mersenne twister,
// reseeded for every line and polygon file: from the clock, or a fixed seed for byte-identical output.
class RandomSource {
public:
    explicit RandomSource(std::optional<std::uint64_t> seed = std::nullopt) : m_seed(seed) { reseed(); }
    void reseed();
    double next() { return static_cast<double>(m_engine() >> 11) * 0x1.0p-53; }  // 53 random bits
    // Passes over n numbers, as n calls of next() would.
    void skip(std::size_t n) { m_engine.discard(n); }

private:
    std::optional<std::uint64_t> m_seed;
    std::mt19937_64 m_engine;
};

// The numbers each rule item of a file draws, so that the sequence never shifts however many items make an entry:
// those of items that make none are only counted, and skipped in one go when an item takes its own.
template <std::size_t N>
class ItemDraws {
public:
    explicit ItemDraws(RandomSource& random) : m_random(random) {}
    // An item that makes no entry.
    void pass() { m_owed += N; }
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

// A dash pattern: an XPM 32 pixels wide, "0" pixels the first colour.
struct LinePattern {
    std::string_view header;   // e.g. "32 2 2 1"
    std::string_view colour0;  // e.g. "0 c #000000"
    std::string_view colour1;
    std::array<std::string_view, 5> rows;  // unused places empty
};

// The look of a rule whose tags match no look, from the family of its key.
struct FamilyLook {
    std::string colour;                   // six hex digits
    const LinePattern* pattern = nullptr;  // lines: dashes in a colour of their own, else none
};

// The family look of the first key of the condition's tags that has a family
// (natural greens and browns, waterway blues, boundary purple dashes, ...), the
// random numbers picking a colour in its range; nothing where no key is known.
std::optional<FamilyLook> family_look(Section section, std::string_view condition, double r1, double r2);

}  // namespace tessaro
