#include "distinct_looks.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <unordered_map>

#include "look_variants.h"

namespace tessaro {

namespace {

// One try at a variant: lightness and hue steps of every colour, a line's
// width, an area's fill pattern (-1: none).
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

// What an entry draws, as a 64-bit hash of the lines of its text that say it
// (the section, the line widths, every picture with its colours). The looks
// of one run are written by one writer, so two texts of one look agree line
// by line; reading each text as TYP would take most of a run. Two drawings
// that share a hash (one pair in 10^10 for a large style) only make one more
// variant than needed.
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

// The name of the look an entry draws, for the note of its variants.
std::string look_name(const EntryLook& look) {
    return look.library_code.empty() ? look.code : look.library_code;
}

// A variant of the entry that draws none of the looks drawn so far; it is added to them.
// `tries` keeps, for each look varied, the next try: the variants of one look's
// duplicates go on from where the last one stopped, so that a thousand types of
// one look take a thousand tries, not half a million.
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
        if (!added) vary(entries[i], drawing, look_name(entries[first->second].look), drawn, tries, i);
    }
}

}  // namespace tessaro
