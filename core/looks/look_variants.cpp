#include "look_variants.h"

#include <algorithm>
#include <array>
#include <vector>

#include "tag_looks.h"
#include "text_util.h"

namespace tessaro {

namespace {

struct Scale {
    std::string_view key;
    std::array<std::string_view, 7> values;  // easiest first; unused places empty
};

// Numbered scales (mtb:scale, tracktype) are read by their digit.
constexpr Scale WORD_SCALES[] = {
    {"sac_scale",
     {"hiking", "mountain_hiking", "demanding_mountain_hiking", "alpine_hiking", "demanding_alpine_hiking",
      "difficult_alpine_hiking"}},
    {"piste:difficulty", {"novice", "easy", "intermediate", "advanced", "expert", "freeride", "extreme"}},
    {"trail_visibility", {"excellent", "good", "intermediate", "bad", "horrible", "no"}},
};

// The place of `value` on a scale of words, 0 to 1.
std::optional<double> word_position(const Scale& scale, std::string_view value) {
    const auto last = std::find(scale.values.begin(), scale.values.end(), std::string_view());
    const auto at = std::find(scale.values.begin(), last, value);
    if (at == last) return std::nullopt;
    return static_cast<double>(at - scale.values.begin()) / static_cast<double>(last - scale.values.begin() - 1);
}

// The place of a numbered grade (its first digit) between `low` and `high`.
std::optional<double> digit_position(std::string_view value, int low, int high) {
    if (value.empty() || value.front() < '0' || value.front() > '9') return std::nullopt;
    const int grade = value.front() - '0';
    if (grade < low || grade > high) return std::nullopt;
    return static_cast<double>(grade - low) / (high - low);
}

std::optional<double> scale_position(std::string_view key, std::string_view value) {
    if (key == "mtb:scale") return digit_position(value, 0, 6);
    if (key == "mtb:scale:uphill") return digit_position(value, 0, 5);
    if (key == "tracktype" && value.starts_with("grade")) return digit_position(value.substr(5), 1, 5);
    for (const Scale& scale : WORD_SCALES)
        if (key == scale.key) return word_position(scale, value);
    return std::nullopt;
}

// Hues of the piste colours by difficulty; a negative hue is black.
constexpr std::array<double, 7> PISTE_HUES{120, 215, 0, -1, 28, 50, 280};

bool is_hex6(std::string_view s) {
    return s.size() >= 6 && std::all_of(s.begin(), s.begin() + 6, [](char c) { return hex_value(c) >= 0; });
}

// The next line of `text` from `at` (without its line end); `at` moves past it.
std::string_view next_line(std::string_view text, std::size_t& at) {
    if (at >= text.size()) {
        at = text.size();
        return {};
    }
    const std::size_t end = std::min(text.find('\n', at), text.size());
    std::string_view line = text.substr(at, end - at);
    at = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

// Whether pixel (x, y) is drawn in the pattern's colour.
bool pattern_pixel(int pattern, int x, int y) {
    switch (pattern) {
        case 0: return (x + y) % 8 == 0;
        case 1: return (x - y + 32) % 8 == 0;
        case 2: return y % 8 == 0;
        case 3: return x % 8 == 0;
        case 4: return x % 4 == 0 && y % 4 == 0;
        case 5: return (x + y) % 8 == 0 || (x - y + 32) % 8 == 0;
        case 6: return x % 8 == 0 || y % 8 == 0;
        default: return (x % 8 == 0 && y % 8 == 0) || (x % 8 == 4 && y % 8 == 4);
    }
}

// A colour of the pattern: lighter on a dark area, darker on a light one.
std::string pattern_colour(std::string_view hex, double step) {
    Hsl c = hsl_of(hex).value_or(Hsl{});
    c.l = c.l > 0.5 ? c.l - step : c.l + step;
    return hex_of(c);
}

}  // namespace

std::optional<DifficultyStep> difficulty_of(std::string_view condition) {
    for (const RuleTag& tag : positive_tags(condition))
        if (const std::optional<double> position = scale_position(tag.key, tag.value))
            return DifficultyStep{tag.key + "=" + tag.value, *position};
    return std::nullopt;
}

Hsl difficulty_colour(const Hsl& colour, std::string_view tag, double position) {
    if (tag.starts_with("piste:difficulty=")) {
        const double hue = PISTE_HUES[static_cast<std::size_t>(position * 6 + 0.5)];
        if (hue < 0) return {colour.h, 0, colour.l * 0.35};
        return {hue, std::max(colour.s, 0.6), std::clamp(colour.l, 0.3, 0.7)};
    }
    // Never the look's own lightness, which the first type of the look keeps.
    const double step = 0.3 - 0.6 * position;
    return {colour.h, colour.s, std::clamp(colour.l + (step >= 0 ? std::max(step, 0.05) : std::min(step, -0.05)), 0.1, 0.9)};
}

std::string recolour(std::string_view entry, const std::function<std::string(std::string_view)>& change) {
    std::string out;
    out.reserve(entry.size());
    std::size_t at = 0;
    while (at < entry.size()) {
        const std::size_t start = at;
        const std::string_view line = next_line(entry, at);
        const std::size_t hex = line.find(" c #");
        if (line.starts_with('"') && hex != std::string_view::npos && is_hex6(line.substr(hex + 4))) {
            out.append(line.substr(0, hex + 4)).append(change(line.substr(hex + 4, 6)));
            out.append(entry.substr(start + hex + 10, std::min(at, entry.size()) - start - hex - 10));
        } else {
            out.append(entry.substr(start, std::min(at, entry.size()) - start));
        }
    }
    return out;
}

std::string recolour_hsl(std::string_view entry, const std::function<Hsl(const Hsl&)>& change) {
    return recolour(entry, [&](std::string_view hex) { return hex_of(change(hsl_of(hex).value_or(Hsl{}))); });
}

std::string widened_line(std::string_view entry, int by) {
    const std::size_t at = entry.find("LineWidth=");
    if (at == std::string_view::npos) return std::string(entry);
    std::size_t end = at + 10;
    int width = 0;
    while (end < entry.size() && entry[end] >= '0' && entry[end] <= '9') width = width * 10 + (entry[end++] - '0');
    return std::string(entry.substr(0, at + 10)).append(std::to_string(width + by)).append(entry.substr(end));
}

std::optional<std::string> patterned_area(std::string_view entry, int pattern, double step) {
    const std::size_t xpm = entry.find("Xpm=\"0 0 ");
    if (xpm == std::string_view::npos) return std::nullopt;
    std::size_t at = xpm;
    next_line(entry, at);
    std::vector<std::string> colours;  // day, then night
    std::size_t end = at;
    for (std::string_view line = next_line(entry, end); line.starts_with('"'); line = next_line(entry, end)) {
        const std::size_t hex = line.find(" c #");
        if (hex == std::string_view::npos || !is_hex6(line.substr(hex + 4))) return std::nullopt;
        colours.emplace_back(line.substr(hex + 4, 6));
        at = end;
    }
    if (colours.empty() || colours.size() > 2) return std::nullopt;
    std::string out(entry.substr(0, xpm));
    out.append("Xpm=\"32 32 ").append(colours.size() == 1 ? "2" : "4").append(" 1\"").append(CRLF);
    char key = '0';
    for (const std::string& colour : colours) {
        append_quoted_line(out, std::string(1, key++) + " c #" + pattern_colour(colour, step));
        append_quoted_line(out, std::string(1, key++) + " c #" + colour);
    }
    for (int y = 0; y < 32; ++y) {
        std::string row(32, '1');
        for (int x = 0; x < 32; ++x)
            if (pattern_pixel(pattern, x, y)) row[static_cast<std::size_t>(x)] = '0';
        append_quoted_line(out, row);
    }
    return out.append(entry.substr(std::min(at, entry.size())));
}

}  // namespace tessaro
