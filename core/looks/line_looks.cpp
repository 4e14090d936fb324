#include "line_looks.h"

namespace tessaro {

namespace {

// clang-format off
// The given rows of pattern 11 are 31 pixels; a transparent "1" completes each to 32.
constexpr LinePattern PATTERN_10{"32 2 2 1", "0 c #000000", "1 c none", {
    "00011111000111110001111100011111",
    "00011111000111110001111100011111"}};
constexpr LinePattern PATTERN_11{"32 3 2 1", "0 c #804000", "1 c none", {
    "0001111100000000001111100011111" "1",
    "0001111100011111000111110000000" "1",
    "0001111100000000001111100011111" "1"}};
constexpr LinePattern PATTERN_14{"32 5 2 1", "0 c #000000", "1 c #FFFFFF", {
    "00000000000000000000000000000000",
    "00000000000000000000000000000000",
    "00000011111110000000001111111000",
    "00000000000000000000000000000000",
    "00000000000000000000000000000000"}};
constexpr LinePattern PATTERN_16{"32 2 2 1", "0 c #269329", "1 c none", {
    "00011111000111110001111100011111",
    "00011111000111110001111100011111"}};
constexpr LinePattern PATTERN_17{"32 3 2 1", "0 c #0000ff", "1 c none", {
    "00000111111111110000011111111110",
    "00000111111111110000011111111110",
    "00000111111111110000011111111110"}};

constexpr LineLookRow LINE_LOOKS[] = {
    // codes                               width border colour1   colour2   pattern
    {{"0x01"},                              5, 1, "1CA9DE", "0000A0", nullptr},
    {{"0x02"},                              4, 1, "11A868", "",       nullptr},
    {{"0x03"},                              4, 1, "C4136E", "",       nullptr},
    {{"0x04"},                              4, 1, "ECC508", "",       nullptr},
    {{"0x05"},                              3, 1, "FFFF00", "",       nullptr},
    {{"0x06"},                              3, 1, "FFFFFF", "",       nullptr},
    {{"0x07"},                              2, 1, "a0a0a0", "",       nullptr},
    {{"0x0a", "0x0e"},                      0, 0, "",       "",       &PATTERN_10},
    {{"0x0f"},                              0, 0, "",       "",       &PATTERN_11},
    {{"0x16"},                              0, 0, "",       "",       &PATTERN_16},
    {{"0x10", "0x0d"},                      0, 0, "",       "",       &PATTERN_17},
    {{"0x20"},                              1, 0, "FF8040", "",       nullptr},
    {{"0x21"},                              1, 0, "FFBD9D", "",       nullptr},
    {{"0x22", "0x23", "0x24", "0x25"},      2, 0, "FFBD9D", "",       nullptr},
    {{"0x27"},                             14, 0, "0c0c0c", "",       nullptr},
    {{"0x18"},                              4, 0, "B7F7FF", "",       nullptr},
    {{"0x26", "0x1f"},                      8, 1, "B7F7FF", "",       nullptr},
    {{"0x14"},                              0, 0, "",       "",       &PATTERN_14},
};
// clang-format on

}  // namespace

const LineLookRow* line_look(std::string_view code) {
    for (const LineLookRow& row : LINE_LOOKS)
        for (std::string_view c : row.codes)
            if (!c.empty() && c == code) return &row;
    return nullptr;
}

std::vector<std::string_view> line_look_kin(std::string_view code, bool motorway, bool link) {
    if (motorway) return {link ? "0x09" : "0x01"};
    std::vector<std::string_view> kin{code};
    if (const LineLookRow* row = line_look(code))
        for (std::string_view c : row->codes)
            if (!c.empty() && c != code) kin.push_back(c);
    return kin;
}

}  // namespace tessaro
