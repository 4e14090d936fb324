#include "key_families.h"

#include <algorithm>

#include "colour.h"
#include "tag_looks.h"

namespace tessaro {

namespace {

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
