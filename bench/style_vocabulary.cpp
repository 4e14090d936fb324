#include "style_vocabulary.h"

#include <initializer_list>

namespace tessaro::detail {

namespace {

struct TagFamily {
    const char* key;
    std::vector<const char*> values;
};

std::vector<std::string> flatten(const std::vector<TagFamily>& families) {
    std::vector<std::string> out;
    for (const TagFamily& f : families)
        for (const char* v : f.values) out.push_back(std::string(f.key) + "=" + v);
    return out;
}

std::vector<unsigned> point_pool() {
    std::vector<unsigned> v;
    for (unsigned hi = 0x01; hi <= 0x11; ++hi) v.push_back(hi << 8);
    struct Family {
        unsigned hi;
        unsigned count;
    };
    for (Family f : {Family{0x16, 16}, Family{0x2a, 20}, Family{0x2b, 5}, Family{0x2c, 12}, Family{0x2d, 12},
                     Family{0x2e, 11}, Family{0x2f, 24}, Family{0x30, 9}, Family{0x64, 25}, Family{0x65, 20},
                     Family{0x66, 25}})
        for (unsigned lo = 0; lo < f.count; ++lo) v.push_back(f.hi << 8 | lo);
    for (unsigned hi = 0x40; hi <= 0x5f; ++hi) v.push_back(hi << 8);
    return v;
}

// Standard codes below 0x100 and a few families of extended ones, as styles use them.
std::vector<unsigned> small_pool(unsigned last, std::initializer_list<unsigned> extended_families) {
    std::vector<unsigned> v;
    for (unsigned c = 0x01; c <= last; ++c) v.push_back(c);
    for (unsigned fam : extended_families)
        for (unsigned lo = 0; lo < 32; ++lo) v.push_back(fam << 8 | lo);
    return v;
}

}  // namespace

SectionVocabulary point_vocabulary() {
    SectionVocabulary v;
    v.section = Section::Point;
    v.pool = point_pool();
    v.tags = flatten({
        {"amenity", {"restaurant", "fast_food", "cafe", "pub", "bar", "biergarten", "ice_cream", "fuel", "parking",
                     "bank", "atm", "pharmacy", "hospital", "police", "post_office", "library", "school", "townhall",
                     "toilets", "drinking_water", "shelter", "place_of_worship", "cinema", "theatre",
                     "bicycle_parking", "charging_station"}},
        {"shop", {"supermarket", "bakery", "butcher", "convenience", "department_store", "clothes", "hardware",
                  "car_repair", "bicycle", "outdoor", "books", "kiosk"}},
        {"tourism", {"hotel", "guest_house", "hostel", "camp_site", "alpine_hut", "wilderness_hut", "viewpoint",
                     "information", "museum", "attraction", "picnic_site", "zoo"}},
        {"natural", {"peak", "saddle", "volcano", "spring", "cave_entrance", "tree", "glacier"}},
        {"place", {"city", "town", "village", "hamlet", "suburb", "locality"}},
        {"historic", {"castle", "monument", "memorial", "ruins", "wayside_cross"}},
        {"man_made", {"tower", "water_tower", "windmill", "lighthouse", "mast"}},
        {"leisure", {"playground", "sports_centre", "swimming_pool", "marina", "golf_course"}},
    });
    v.extras = {"name=*",          "cuisine=pizza",     "cuisine=italian", "cuisine=chinese", "cuisine=burger",
                "access!=private", "opening_hours=*",   "operator=*",      "brand=*",         "ele>1000",
                "stars>3",         "wheelchair=yes",    "fee=no",          "information=guidepost",
                "religion=christian", "capital=yes",    "population>10000", "(operator=* | brand=*)"};
    v.comments = {"# Food and drink", "# Shops and services", "# Lodging", "# Settlements",
                  "# Mountains and natural features", "# ---- points of interest ----",
                  "# TODO: check the resolution of small features", "# Emergency"};
    v.unique_salt = 0x1234;
    return v;
}

SectionVocabulary line_vocabulary() {
    SectionVocabulary v;
    v.section = Section::Line;
    v.pool = small_pool(0x3f, {0x101, 0x10e, 0x10f, 0x110});
    v.tags = flatten({
        {"highway", {"motorway", "trunk", "primary", "secondary", "tertiary", "unclassified", "residential",
                     "living_street", "service", "track", "path", "footway", "cycleway", "bridleway", "steps",
                     "motorway_link", "trunk_link", "primary_link"}},
        {"waterway", {"river", "stream", "canal", "drain", "ditch"}},
        {"railway", {"rail", "tram", "subway", "light_rail", "narrow_gauge", "abandoned"}},
        {"boundary", {"administrative", "national_park"}},
        {"aerialway", {"cable_car", "gondola", "chair_lift", "drag_lift"}},
        {"power", {"line", "minor_line"}},
        {"route", {"ferry"}},
        {"barrier", {"fence", "wall", "hedge"}},
        {"natural", {"coastline", "cliff", "ridge"}},
        {"contour", {"elevation"}},
    });
    v.extras = {"name=*",        "maxspeed<100",      "maxspeed>=80",       "tunnel!=yes",     "bridge=yes",
                "layer>0",       "oneway=yes",        "surface=unpaved",    "surface=gravel",  "tracktype=grade2",
                "sac_scale=mountain_hiking", "access=no", "admin_level=2",  "admin_level=6",   "ref=*",
                "mkgmap:road-class>2", "toll=yes",    "contour_ext=elevation_major"};
    v.comments = {"# Roads", "# Paths and tracks", "# Water ways", "# Railways", "# Boundaries",
                  "# ---- lines ----", "# road_speed: 0 slowest .. 7 fastest", "# Aerial ways and power lines"};
    v.unique_salt = 0x5a5a;
    return v;
}

SectionVocabulary polygon_vocabulary() {
    SectionVocabulary v;
    v.section = Section::Polygon;
    v.pool = small_pool(0x7f, {0x101, 0x102, 0x10f});
    v.tags = flatten({
        {"natural", {"water", "wood", "scrub", "heath", "grassland", "wetland", "glacier", "bare_rock", "scree",
                     "beach", "sand"}},
        {"landuse", {"forest", "residential", "industrial", "commercial", "retail", "farmland", "meadow", "orchard",
                     "vineyard", "cemetery", "allotments", "quarry", "military", "railway", "grass", "reservoir"}},
        {"leisure", {"park", "pitch", "golf_course", "nature_reserve", "garden", "playground", "stadium"}},
        {"amenity", {"parking", "school", "university", "hospital", "grave_yard"}},
        {"building", {"yes", "house", "residential", "church"}},
        {"waterway", {"riverbank", "dock"}},
        {"aeroway", {"aerodrome", "apron"}},
        {"tourism", {"zoo", "camp_site"}},
    });
    v.extras = {"name=*",         "water=lake",      "water=pond",         "water=river", "wetland=marsh",
                "leaf_type=broadleaved", "access!=private", "layer<0",     "building!=no", "parking=surface",
                "area=yes",       "intermittent!=yes"};
    v.comments = {"# Water", "# Land use", "# Forests and nature", "# Buildings", "# ---- areas ----",
                  "# Draw order follows the order of this file"};
    v.unique_salt = 0xa5a5;
    return v;
}

}  // namespace tessaro::detail
