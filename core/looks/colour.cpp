#include "colour.h"

#include <algorithm>

#include "random_source.h"
#include "text_util.h"

namespace tessaro {

namespace {

double hue_to_channel(double p, double q, double t) {
    if (t < 0) t += 1;
    if (t > 1) t -= 1;
    if (t < 1.0 / 6) return p + (q - p) * 6 * t;
    if (t < 0.5) return q;
    if (t < 2.0 / 3) return p + (q - p) * (2.0 / 3 - t) * 6;
    return p;
}

// fmod(h, 360) without the maths library, which the programs would load for
// it alone: exact where hues fall (a turn and a bit either way), near enough beyond.
double wrap_degrees(double h) {
    if (h > -360.0 && h < 360.0) return h;
    if (h >= 360.0 && h < 720.0) return h - 360.0;
    return h - 360.0 * static_cast<double>(static_cast<long long>(h / 360.0));
}

// The first hue anywhere; each next one at least LEAST_HUE_STEP away from the last.
double next_hue(double& last, double random) {
    last = last < 0 ? random * 360 : wrap_degrees(last + LEAST_HUE_STEP + random * (360 - 2 * LEAST_HUE_STEP));
    return last;
}

}  // namespace

std::string hex_of(const Hsl& colour) {
    const double l = std::clamp(colour.l, 0.0, 1.0), s = std::clamp(colour.s, 0.0, 1.0);
    const double q = l < 0.5 ? l * (1 + s) : l + s - l * s;
    const double p = 2 * l - q;
    const double h = wrap_degrees(colour.h) / 360.0;
    const auto channel = [&](double t) {
        return std::min(static_cast<std::uint32_t>(round_half_even(hue_to_channel(p, q, t) * 255)), 255u);
    };
    return hex_rgb(channel(h + 1.0 / 3) << 16 | channel(h) << 8 | channel(h - 1.0 / 3));
}

std::string hex_rgb(std::uint32_t rgb) {
    // Without the cost of formatting: every random colour of a run comes here.
    std::string out(6, '0');
    for (std::size_t k = 6; k-- > 0; rgb >>= 4) out[k] = "0123456789ABCDEF"[rgb & 15];
    return out;
}

std::optional<Hsl> hsl_of(std::string_view hex) {
    if (!hex.empty() && hex.front() == '#') hex.remove_prefix(1);
    if (hex.size() < 6) return std::nullopt;
    double rgb[3];
    for (int i = 0; i < 3; ++i) {
        const int hi = hex_value(hex[2 * i]), lo = hex_value(hex[2 * i + 1]);
        if (hi < 0 || lo < 0) return std::nullopt;
        rgb[i] = (hi * 16 + lo) / 255.0;
    }
    const double most = std::max({rgb[0], rgb[1], rgb[2]}), least = std::min({rgb[0], rgb[1], rgb[2]});
    Hsl c;
    c.l = (most + least) / 2;
    const double d = most - least;
    if (d == 0) return c;
    c.s = c.l > 0.5 ? d / (2 - most - least) : d / (most + least);
    if (most == rgb[0]) c.h = (rgb[1] - rgb[2]) / d + (rgb[1] < rgb[2] ? 6 : 0);
    else if (most == rgb[1]) c.h = (rgb[2] - rgb[0]) / d + 2;
    else c.h = (rgb[0] - rgb[1]) / d + 4;
    c.h *= 60;
    return c;
}

std::string CalmColours::area(double r, double g, double b) {
    const ColourRange& c = AREA_COLOURS;
    return hex_of({next_hue(m_area_hue, r), c.s_min + g * (c.s_max - c.s_min), c.l_min + b * (c.l_max - c.l_min)});
}

std::string CalmColours::line(double r1, double r2) {
    const ColourRange& c = LINE_COLOURS;
    return hex_of({next_hue(m_line_hue, r1), c.s_min, c.l_min + r2 * (c.l_max - c.l_min)});
}

}  // namespace tessaro
