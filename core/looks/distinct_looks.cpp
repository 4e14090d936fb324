#include "distinct_looks.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <unordered_map>

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

// Where the six hex digits of a picture's colour line ("K c #RRGGBB") start, or npos.
std::size_t colour_at(std::string_view line) {
    const std::size_t hex = line.find(" c #");
    const std::string_view digits = hex == std::string_view::npos ? "" : line.substr(hex + 4, 6);
    return digits.size() == 6 && std::all_of(digits.begin(), digits.end(), is_hex_digit) ? hex + 4 : std::string_view::npos;
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

// One try at a variant: lightness and hue steps of every colour, a line's width, an area's fill pattern (-1: none).
struct Step {
    double lightness = 0;
    double hue = 0;
    int width = 0;
    int pattern = -1;
};

constexpr std::array<double, 7> LIGHTNESS_STEPS{0, -0.12, 0.12, -0.24, 0.24, -0.36, 0.36};
constexpr std::array<double, 5> HUE_STEPS{0, 20, -20, 40, -40};

// The tries of a section, the nearest to the look first.
std::vector<Step> steps_of(Section section) {
    std::vector<Step> steps;
    if (section == Section::Point) {
        // Icons turn their hue first: the colour is what tells one apart.
        for (const double l : {0.0, -0.15, 0.15, -0.3, 0.3})
            for (int h = 0; h < 9; ++h) steps.push_back({l, 40.0 * h});
        return steps;
    }
    for (const double h : HUE_STEPS) {
        if (section == Section::Line) {
            for (int w = 0; w < 3; ++w)
                for (const double l : LIGHTNESS_STEPS) steps.push_back({l, h, w});
            continue;
        }
        // Areas take a pattern before their colour changes.
        for (const double l : LIGHTNESS_STEPS)
            for (int p = -1; p < AREA_PATTERNS; ++p) steps.push_back({l / 2, h, 0, p});
    }
    return steps;
}

const std::vector<Step>& section_steps(Section section) {
    static const PerSection<std::vector<Step>> STEPS{{steps_of(Section::Point), steps_of(Section::Line), steps_of(Section::Polygon)}};
    return STEPS[section];
}

// The text of one try; nothing when the step does not apply to this look.
std::optional<std::string> try_step(Section section, const std::string& base, const Step& step) {
    std::string text = base;
    if (step.pattern >= 0) {
        std::optional<std::string> patterned = patterned_area(text, step.pattern, 0.12);
        if (!patterned) return std::nullopt;
        text = std::move(*patterned);
    }
    if (step.width != 0) text = widened_line(text, step.width);
    if (step.lightness == 0 && step.hue == 0) return text;
    const bool point = section == Section::Point;
    return recolour_hsl(text, [&](const Hsl& c) {
        // Greys have no hue to turn: the icon's other colours change, black and white outlines stay.
        if (point && c.s < 0.15) return step.hue == 0 ? Hsl{c.h, c.s, std::clamp(c.l + step.lightness, 0.05, 0.95)} : c;
        return Hsl{c.h + step.hue, c.s, std::clamp(c.l + step.lightness, 0.05, 0.95)};
    });
}

// The last resort, which always ends: every colour moved by `n` in its blue and green channels.
std::string nudged(const std::string& base, unsigned n) {
    return recolour(base, [&](std::string_view hex) {
        std::uint32_t value = 0;
        std::from_chars(hex.data(), hex.data() + 6, value, 16);
        return hex_rgb((value + n * 37) & 0xFFFFFF);
    });
}

// What an entry draws, as a 64-bit hash of the lines of its text that say it (the section,
// the line widths, every picture with its colours): one run's writers write one look alike
// line by line, and reading each text as TYP would take most of a run. Two drawings that
// share a hash (one pair in 10^10 for a large style) only make one more variant than needed.
using Drawing = std::uint64_t;

Drawing drawing_of(std::string_view text) {
    Drawing hash = 0xcbf29ce484222325;  // FNV-1a
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size() - 1) + 1;
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end);
        if (line.starts_with('[') || line.starts_with('"') || line.starts_with("Xpm=") || line.starts_with("NightXpm=") ||
            line.starts_with("DayXpm=") || line.starts_with("LineWidth=") || line.starts_with("BorderWidth="))
            for (const char c : line) hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3;
    }
    return hash;
}

bool keeps_its_look(const EntryLook& look) {
    return look.source == LookSource::Library || look.source == LookSource::Kept || look.source == LookSource::Unused;
}

// A variant of the entry that draws none of the looks drawn so far; it is added to them. `tries` keeps each varied
// look's next try, so that a thousand types of one look take a thousand tries, not half a million.
void vary(Entry& entry, Drawing drawing, const std::string& varied_look, std::unordered_map<Drawing, std::size_t>& drawn,
          std::unordered_map<Drawing, std::size_t>& tries, std::size_t index) {
    std::string base = entry.text;
    std::string note = varied_look;
    Drawing key = drawing;
    if (const std::optional<DifficultyStep> step = difficulty_of(entry.look.condition)) {
        base = recolour_hsl(base, [&](const Hsl& c) { return difficulty_colour(c, step->tag, step->position); });
        note += " by " + step->tag;
        // The variants of one step of a scale go on from their own last try.
        key ^= (std::hash<std::string>{}(step->tag) + static_cast<Drawing>(step->position) + 1) * 0x9e3779b97f4a7c15;
    }
    const auto take = [&](std::string text) {
        if (!drawn.emplace(drawing_of(text), index).second) return false;
        entry.text = std::move(text);
        entry.look.variant_of = note;
        return true;
    };
    const std::vector<Step>& steps = section_steps(entry.section);
    for (std::size_t& next = tries[key];; ) {
        const std::size_t at = next++;
        std::optional<std::string> text =
            at < steps.size() ? try_step(entry.section, base, steps[at]) : nudged(base, static_cast<unsigned>(at - steps.size() + 1));
        if (text && take(std::move(*text))) return;
    }
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
        const std::string_view whole = entry.substr(start, at - start);  // with its line end
        const std::size_t hex = line.starts_with('"') ? colour_at(line) : std::string_view::npos;
        if (hex == std::string_view::npos) out.append(whole);
        else out.append(whole.substr(0, hex)).append(change(whole.substr(hex, 6))).append(whole.substr(hex + 6));
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
        const std::size_t hex = colour_at(line);
        if (hex == std::string_view::npos) return std::nullopt;
        colours.emplace_back(line.substr(hex, 6));
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

void make_looks_distinct(std::vector<Entry>& entries) {
    // Only entries that may change need the drawings: a style of library looks alone has none to vary.
    if (std::all_of(entries.begin(), entries.end(), [](const Entry& e) { return keeps_its_look(e.look); })) return;
    std::unordered_map<Drawing, std::size_t> drawn;  // a drawing and the entry that drew it first
    std::unordered_map<Drawing, std::size_t> tries;  // a drawing varied and its next try
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (keeps_its_look(entries[i].look)) drawn.emplace(drawing_of(entries[i].text), i);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (keeps_its_look(entries[i].look)) continue;
        const Drawing drawing = drawing_of(entries[i].text);
        const auto [first, added] = drawn.emplace(drawing, i);
        if (added) continue;
        // The note of a variant names the look it varies.
        const EntryLook& varied = entries[first->second].look;
        vary(entries[i], drawing, varied.library_code.empty() ? varied.code : varied.library_code, drawn, tries, i);
    }
}

}  // namespace tessaro
