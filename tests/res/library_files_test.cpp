#include <algorithm>
#include <set>
#include "colour.h"
#include "entry_builder.h"
#include "file_io.h"
#include "include_proposal.h"
#include "library_generator.h"
#include "library_files.h"
#include "style_folder.h"
#include "support/mkgmap.h"
#include "text_util.h"
#include "typ_reader.h"

namespace tessaro {
namespace {
const std::string SOURCE = TESSARO_SOURCE_DIR;
std::string res(const std::string& name) { return test::read_bytes(SOURCE + "/res/" + name); }
const std::pair<std::string, Section> LIBRARIES[] = {{"points", Section::Point}, {"lines", Section::Line}, {"pgons.pol", Section::Polygon}};

std::size_t count(const std::string& text, const std::string& needle) {
    return (text.size() - replace_all(text, needle, "").size()) / needle.size();
}

TEST(LibraryFiles, are_what_the_generator_makes_from_the_look_sources) {
    const LibraryFiles made = make_libraries(SOURCE + "/looks");
    // On a mismatch: build/tessaro_make_libraries looks res (scripts/looks).
    EXPECT_TRUE(made.points == res("points") && made.lines == res("lines") && made.polygons == res("pgons.pol"));
}

// Every look is well formed, under the key the lookup forms, with night colours as mkgmap reads them: a point a NightXpm of
// its size and pixels, a line or polygon twice its day colours (a bordered line four). Night grounds are darker than by day,
// strokes light (0.45 or more) to stand out on them.
TEST(LibraryFiles, hold_well_formed_entries_with_night_colours_under_the_keys_the_lookup_forms) {
    const auto lightness = [](const std::string& colour) { return hsl_of(colour).value().l; };
    std::size_t pairs = 0;
    for (const auto& [file, kind] : LIBRARIES) {
        const std::string text = res(file);
        const TypDocument doc = read_typ_text(text);
        // A library is a set of looks, not a TYP text: only the repeated looks of one type are a problem.
        for (const TypProblem& p : doc.problems)
            EXPECT_NE(p.message.find("has an entry already"), std::string::npos) << file << " line " << p.line << ": " << p.message;
        ASSERT_TRUE(doc.entries.size() > 40u && count(text, "[end]") == doc.entries.size()) << file;
        for (const TypEntry& e : doc.entries) {
            SCOPED_TRACE(file + " " + e.type);
            // The key as written is the key the lookup forms from it, in lower case, behind the only Type=.
            EXPECT_TRUE(e.section == kind && e.type == "0x" + library_key(kind, e.type) && e.type == to_lower(e.type) &&
                        count(e.text, "Type=") == 1);
            EXPECT_TRUE(e.xpm.present && e.xpm.rows.size() == std::size_t(e.xpm.height) &&
                        e.xpm.colours.size() == std::size_t(e.xpm.colour_count));
            for (const std::string& row : e.xpm.rows) EXPECT_EQ(row.size(), std::size_t(e.xpm.width));
            // Only the polygon library may hold labels (they become comments); icons are at most 16 x 16.
            EXPECT_TRUE((kind == Section::Polygon || e.text.find("String1=") == std::string::npos) &&
                        (kind != Section::Point || (e.xpm.width <= 16 && e.xpm.height <= 16)) &&
                        count(e.text, "\nDayCustomColor=") > 0 && count(e.text, "\nNightCustomColor=") > 0);
            // Day and night colour of each pair, and whether the day colour is a stroke.
            std::vector<std::tuple<std::string, std::string, bool>> pair;
            const std::vector<XpmColour>& day = e.xpm.colours;
            if (kind == Section::Point) {
                const XpmImage& night = e.night_xpm;
                ASSERT_TRUE(night.present && night.width == e.xpm.width && night.height == e.xpm.height &&
                            night.rows == e.xpm.rows && night.colours.size() == day.size());
                for (std::size_t i = 0; i < day.size(); ++i) {
                    ASSERT_EQ(night.colours[i].key, day[i].key);
                    pair.emplace_back(day[i].colour, night.colours[i].colour, day[i].colour != "#FFFFFF");  // a white rim is ground
                }
            } else {
                const bool solid = e.xpm.width == 0;
                const std::size_t half = solid && (kind == Section::Polygon || e.border_width <= 0) ? 1 : 2;
                ASSERT_EQ(day.size(), 2 * half);
                for (std::size_t i = 0; i < half; ++i)
                    pair.emplace_back(day[i].colour, day[i + half].colour, !(kind == Section::Polygon && solid) && i == 0);
                // The pictures' pixels are day keys only: the night ones stand in for them.
                for (const std::string& row : e.xpm.rows)
                    EXPECT_EQ(row.find_first_not_of(day[0].key + day[1].key), std::string::npos) << row;
            }
            for (const auto& [d, n, stroke] : pair) {
                ++pairs;
                if (d == "none" || n == "none") EXPECT_EQ(d, n);
                else EXPECT_TRUE(stroke ? lightness(n) >= 0.45 : lightness(n) < lightness(d)) << d << " -> " << n;
            }
        }
    }
    EXPECT_GT(pairs, 400u);
}

// The rule files of a group: the main file and the include files it includes (else whose names say the section).
std::vector<std::string> section_files(const std::string& style, Section group, RuleReader& reader) {
    std::vector<std::string> files;
    if (const std::string main = rule_file_path(style, rule_file_name(group)); is_regular_file(main)) files.push_back(main);
    IncludeFiles inc;
    if (!scan_include_files(inc, style, reader).folder_found) return files;
    const PerSection<std::vector<std::string>> proposal = propose_groups(style, inc.found).groups;
    const auto in = [](const std::vector<std::string>& names, const std::string& name) { return std::ranges::count(names, name) > 0; };
    for (const std::string& name : inc.found) {
        const bool proposed = std::ranges::any_of(ALL_SECTIONS, [&](Section s) { return in(proposal[s], name); });
        if (proposed ? in(proposal[group], name) : name.find(section_name(group)) != std::string::npos)
            files.push_back(join_path(include_folder(style), name));
    }
    return files;
}

TEST(LibraryFiles, have_a_look_for_every_type_of_the_styles_mkgmap_ships) {
    if (const std::string why = test::mkgmap_jar_missing(false); !why.empty()) GTEST_SKIP() << why;
    const test::TempDir tmp;
    ASSERT_TRUE(test::extract_from_mkgmap_jar(tmp, "styles"));
    LibraryTexts libraries;
    for (Section s : ALL_SECTIONS)
        ASSERT_FALSE(load_library_file(library_file_path(SOURCE + "/res", s), s, libraries[s]).has_value());
    RuleReader reader;
    std::vector<Failure> failures;
    std::size_t checked = 0;
    std::set<std::string> missing;
    for (const std::string& style : test::style_names_in(tmp / "styles")) {
        for (Section section : ALL_SECTIONS) {
            for (const std::string& file : section_files(tmp / ("styles/" + style), section, reader)) {
                reader.open(file);
                for (const RuleItem& item : reader.items())
                    if (++checked; find_library_look(section, to_lower(item.code), "", libraries[section], false).entry.empty())
                        missing.insert(file + ": " + to_lower(item.code));
                if (std::optional<Failure> failure = reader.close()) failures.push_back(*failure);
            }
        }
    }
    EXPECT_TRUE(failures.empty()) << failures.front().path;
    EXPECT_GT(checked, 500u);
    for (const std::string& m : missing) ADD_FAILURE() << "no library look: " << m;
}

TEST(LookSources, name_the_file_and_line_of_a_fault) {
    const test::TempDir dir;
    for (const char* name : {"palette.txt", "glyphs.txt", "points.txt", "lines.txt", "polygons.txt"})
        dir.write(name, test::read_bytes(SOURCE + "/looks/" + name));
    const std::tuple<std::string, const char*, const char*> faults[] = {
        {"palette.txt", "red #12345\n", "palette.txt:"}, {"points.txt", "point 0x2f0b services parking parking again\n", "second look for 0x2f0b"},
        {"points.txt", "point 0x2f99 services no_such_glyph x\n", "unknown glyph no_such_glyph"},
        {"points.txt", "point 0x2F99 services parking upper case\n", "lower-case hexadecimal"},
        {"lines.txt", "dashed 0x77 no_such_pattern grey none x\n", "unknown pattern"},
        {"lines.txt", "pattern odd\n###\n\ndashed 0x77 odd grey none x\n", "must divide 32"},
        {"polygons.txt", "area 0x77 not_a_colour x\n", "unknown colour not_a_colour"}, {"glyphs.txt", "glyph ragged\n##\n###\n", "equally long"},
        {"points.txt", "point 0x2f99 services parking x\ntags a=b\ntags c=d\n", "right under a look"},
        {"lines.txt", "line 0x77 1 0 grey - x\ntags highway | a=b\n", "expected key=value"},
        {"lines.txt", "line 0x77 1 0 grey - x\ntags a=b & width>wide\n", "expected key=value"},
        {"polygons.txt", "area 0x77 grey x\ntags b=2 & a=1 | a=1 & b=2\n", "the tags a=1&b=2 already stand"}};
    for (const auto& [file, append, error] : faults) {
        const std::string good = test::read_bytes(dir / file);
        dir.write(file, good + append);
        std::string what = "no error";
        try { make_libraries(dir.path()); } catch (const LookSourceError& e) { what = e.what(); }
        EXPECT_TRUE(what.find(file + ":") != std::string::npos && what.find(error) != std::string::npos) << append << ": " << what;
        dir.write(file, good);
    }
}
}  // namespace
}  // namespace tessaro
