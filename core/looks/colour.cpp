#include "colour.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include "tag_looks.h"
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

// A range of hues and a saturation; lightness comes from the section.
struct Family {
    double hue_low, hue_high, saturation;
};

constexpr Family GREEN{85, 135, 0.4};
constexpr Family BROWN{25, 42, 0.35};
constexpr Family BLUE{195, 220, 0.55};
constexpr Family ICE{190, 200, 0.35};
constexpr Family PURPLE{275, 300, 0.45};
constexpr Family GREY{0, 0, 0};
constexpr Family BUILDING{15, 25, 0.12};
constexpr Family PINK{335, 355, 0.45};
constexpr Family VIOLET_GREY{260, 290, 0.15};
constexpr Family TAN{35, 48, 0.35};
constexpr Family RED{0, 10, 0.6};

bool any_of(std::string_view value, std::initializer_list<std::string_view> words) {
    return std::find(words.begin(), words.end(), value) != words.end();
}

Family natural_family(std::string_view value) {
    if (any_of(value, {"water", "bay", "spring", "coastline", "strait", "wetland", "hot_spring"})) return BLUE;
    if (any_of(value, {"glacier"})) return ICE;
    if (any_of(value, {"rock", "bare_rock", "scree", "cliff", "ridge", "arete", "sand", "beach", "earth", "valley",
                       "shingle", "mud", "peak", "saddle", "volcano", "cave_entrance", "dune", "stone", "sinkhole"}))
        return BROWN;
    return GREEN;
}

Family landuse_family(std::string_view value) {
    if (any_of(value, {"residential"})) return BUILDING;
    if (any_of(value, {"commercial", "retail"})) return PINK;
    if (any_of(value, {"industrial", "railway", "garages", "port", "depot"})) return VIOLET_GREY;
    if (any_of(value, {"quarry", "landfill", "brownfield", "construction", "farmyard"})) return BROWN;
    if (any_of(value, {"basin", "reservoir", "salt_pond", "aquaculture"})) return BLUE;
    if (any_of(value, {"military"})) return RED;
    if (any_of(value, {"farmland", "farm"})) return TAN;
    return GREEN;
}

// Routes and pistes by their kind: cycling purple, hiking red, water and snow blue.
Family route_family(std::string_view key, std::string_view value) {
    const auto has = [&](std::string_view word) {
        return key.find(word) != std::string_view::npos || value.find(word) != std::string_view::npos;
    };
    if (has("bic") || has("bike") || has("cycl") || has("mtb")) return PURPLE;
    if (has("hik") || has("foot") || has("walk")) return RED;
    if (has("ferry") || has("boat") || has("canoe") || has("ski") || has("piste") || has("nordic") || has("downhill")) return BLUE;
    return GREY;
}

std::optional<Family> family_of(std::string_view key, std::string_view value) {
    if (key == "natural") return natural_family(value);
    if (key == "landuse") return landuse_family(value);
    if (key == "waterway" || key == "water" || key == "wetland") return BLUE;
    if (key == "boundary" || key == "admin_level" || key == "protect_class") return PURPLE;
    if (key == "power" || key == "man_made" || key == "railway" || key == "aerialway" || key == "barrier") return GREY;
    if (key == "building" || key == "building:part" || key == "roof:shape") return BUILDING;
    // mkgmap:bikeroute, mkgmap:hikingroute and the like; mkgmap's other keys say nothing of a kind.
    if (key == "route" || key.starts_with("piste") || (key.starts_with("mkgmap:") && key.ends_with("route")))
        return route_family(key, value);
    if (key == "leisure" || key == "sport" || key == "golf" || key == "surface" || key == "wood") return GREEN;
    if (key == "highway" || key == "aeroway" || key == "place" || key == "junction" || key == "bridge" ||
        key == "tunnel")
        return GREY;
    if (key == "amenity" || key == "tourism" || key == "historic") return TAN;
    if (key == "shop") return PINK;
    if (key == "military") return RED;
    return std::nullopt;
}

// Boundaries as map makers draw them: purple dashes.
constexpr LinePattern BOUNDARY_DASHES{
    "32 2 2 1", "0 c #8E4A9E", "1 c none", {"00000000000011110000000000001111", "00000000000011110000000000001111"}};

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

void RandomSource::reseed() {
    const auto clock = static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
    m_engine.seed(m_seed.value_or(clock));
}

long round_half_even(double v) {
    const double fl = std::floor(v);
    const double diff = v - fl;
    long r = static_cast<long>(fl);
    if (diff > 0.5 || (diff == 0.5 && (r % 2 != 0))) ++r;
    return r;
}

std::optional<FamilyLook> family_look(Section section, std::string_view condition, double r1, double r2) {
    for (const RuleTag& tag : positive_tags(condition)) {
        const std::optional<Family> family = family_of(tag.key, tag.value);
        if (!family) continue;
        if (section == Section::Line && (tag.key == "boundary" || tag.key == "admin_level"))
            return FamilyLook{"8E4A9E", &BOUNDARY_DASHES};
        const ColourRange& range = section == Section::Line ? LINE_COLOURS : AREA_COLOURS;
        const double hue = family->hue_low + r1 * (family->hue_high - family->hue_low);
        return FamilyLook{hex_of({hue, family->saturation, range.l_min + r2 * (range.l_max - range.l_min)})};
    }
    return std::nullopt;
}

}  // namespace tessaro
