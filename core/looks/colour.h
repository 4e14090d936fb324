#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

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

// The random colours of one run, from the numbers the writers draw for every
// rule item: three an area, two a line.
class CalmColours {
public:
    std::string area(double r, double g, double b);
    std::string line(double r1, double r2);

private:
    double m_area_hue = -1;  // -1: none drawn yet
    double m_line_hue = -1;
};

}  // namespace tessaro
