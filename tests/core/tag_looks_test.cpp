#include "tag_looks.h"

#include <algorithm>
#include <cstdio>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <set>

#include "entry_builder.h"
#include "library_files.h"
#include "rule_reader.h"
#include "section.h"
#include "style_folder.h"
#include "support/mkgmap.h"
#include "support/temp_dir.h"
#include "text_util.h"

namespace tessaro {
namespace {

std::vector<RuleTag> tags(std::initializer_list<std::pair<const char*, const char*>> list) {
    std::vector<RuleTag> out;
    for (const auto& [key, value] : list) out.push_back({key, value});
    return out;
}

std::string text_of(const std::vector<RuleTag>& tags) {
    std::string out;
    for (const RuleTag& t : tags) out += (out.empty() ? "" : " ") + t.key + "=" + t.value;
    return out;
}

// Each condition's positive tags, written "key=value key=value".
void expect_tags(std::initializer_list<std::pair<const char*, const char*>> cases) {
    for (const auto& [condition, expected] : cases) EXPECT_EQ(text_of(positive_tags(condition)), expected) << condition;
}

TEST(PositiveTags, reads_tags_through_junctions_parentheses_quotes_and_blanks) {
    expect_tags({
        {"highway=track & (tracktype=grade1 | surface=*)", "highway=track tracktype=grade1 surface=*"},
        {"  $highway =  ' track ' &$tracktype=\"grade1\"  ", "highway=track tracktype=grade1"},
        {"(amenity=cafe|amenity='fast food')&cuisine=*", "amenity=cafe amenity=fast food cuisine=*"},
        {"'addr:street'=* & seamark:type=buoy_lateral", "addr:street=* seamark:type=buoy_lateral"},
        // Each tag once, in the order of the condition.
        {"cuisine=* & cuisine~'.*pizza.*' | cuisine=pizza", "cuisine=* cuisine=pizza"},
        // Values keep their case: OSM's values are case-sensitive.
        {"network=US:I & name=Main", "network=US:I name=Main"},
    });
}

TEST(PositiveTags, leave_out_what_a_negation_covers_and_keep_what_two_cancel) {
    expect_tags({
        {"amenity=fuel & shop!=* & access!=no & ref!~'A.*'", "amenity=fuel"},
        {"!(brand=x | operator=y) & amenity=fuel", "amenity=fuel"},
        {"! ( brand=x ) & !name=z & shop=*", "shop=*"},
        // !(a & !(b)) is !a | b: b is asked for.
        {"amenity=restaurant & !(cuisine=* & !(cuisine=pizza))", "amenity=restaurant cuisine=pizza"},
        {"!(a=1 & (b=2 | c=3)) | d=4", "d=4"},
    });
}

TEST(PositiveTags, take_the_plain_alternatives_of_a_regular_expression) {
    expect_tags({
        {"cuisine~'.*pizza.*'", "cuisine=pizza"},
        {"highway ~ '(footway|path)'", "highway=footway highway=path"},
        {"highway~'^(primary|secondary)$'", "highway=primary highway=secondary"},
        {"highway~\"^(motorway|trunk|(primary|secondary))$\"", "highway=motorway highway=trunk highway=primary highway=secondary"},
        {"cuisine~pizza", "cuisine=pizza"},
        // Not plain words: prefixes, classes, escapes, optional groups, flags.
        {"network~'US:.*'", ""},
        {"highway~'^(primary|secondary)(_link)?$'", ""},
        {"name~'[ab]|c'", "name=c"},
        {"name~'a\\|b'", ""},
        {"name~'(?i)pizza'", ""},
        {"name~'.*'", ""},
        {"name~'((a|b)'", ""},
    });
}

TEST(PositiveTags, skip_actions_comparisons_and_functions_and_keep_mkgmap_keys) {
    expect_tags({
        {"amenity=cafe {set x=y; name '${name} [a=b]' } ", "amenity=cafe"},
        {"amenity=cafe { set a='}' ; set b=c } & shop=bakery", "amenity=cafe shop=bakery"},
        {"place=city & population>9999 & admin_level<=4 & ele>=100 & width<3", "place=city"},
        {"leisure=pitch & length()>100 & is_in(landuse,'residential',any)=true & area_size()<1000",
         "leisure=pitch"},
        {"mkgmap:fast_road=yes & $mkgmap:country=DEU", "mkgmap:fast_road=yes mkgmap:country=DEU"},
        // A type bracket ends the condition.
        {"highway=primary [0x03 resolution 20] highway=secondary", "highway=primary"},
    });
}

TEST(PositiveTags, read_broken_conditions_as_far_as_they_go) {
    expect_tags({
        {"((a=b", "a=b"}, {"a=b))) & c=d", "a=b c=d"}, {"a= & =b & c", ""}, {"!", ""},
        {"a='unclosed", "a=unclosed"}, {"a=b { set c=d", "a=b"}, {"a=b } c=d", "a=b c=d"},
        {"a=''", ""}, {"=", ""}, {"", ""},
    });
    const std::string deep = std::string(100000, '(') + "a=b" + std::string(100000, ')');
    EXPECT_EQ(text_of(positive_tags(deep)), "a=b");
    const std::string deep_regex = "a~'" + std::string(100000, '(') + "x|y" + std::string(100000, ')') + "'";
    EXPECT_EQ(text_of(positive_tags(deep_regex)), "a=x a=y");
}

// A library of point entries, one per (code, tags line); "" writes none.
LibraryText library(std::initializer_list<std::pair<const char*, const char*>> looks) {
    std::string text;
    for (const auto& [code, tags_line] : looks) {
        text += std::string("[_point]\r\nType=") + code + "\r\n";
        if (*tags_line) text += std::string(";tags=") + tags_line + "\r\n";
        text += "Xpm=\"0 0 0 0\"\r\n[end]\r\n\r\n";
    }
    return LibraryText(text);
}

std::string best_of(const TagLooks& looks, const std::vector<RuleTag>& rule) {
    const std::optional<TagMatch> m = looks.best(rule);
    return m ? m->library_code + " " + m->matched : "none";
}

TEST(TagLooks, need_every_tag_of_an_alternative_and_prefer_the_look_that_matches_more) {
    const LibraryText lib = library({{"0x0a", "highway=track"}, {"0x0b", "highway=track&tracktype=grade1"}});
    const TagLooks looks(lib);
    EXPECT_EQ(best_of(looks, tags({{"highway", "track"}})), "0x0a highway=track");
    EXPECT_EQ(best_of(looks, tags({{"highway", "track"}, {"tracktype", "grade1"}})),
              "0x0b highway=track tracktype=grade1");
    EXPECT_EQ(best_of(looks, tags({{"tracktype", "grade1"}})), "none");
    EXPECT_EQ(best_of(looks, tags({{"highway", "path"}, {"tracktype", "grade1"}})), "none");
    // The rule's other tags neither help nor hurt.
    EXPECT_EQ(best_of(looks, tags({{"name", "x"}, {"highway", "track"}, {"tracktype", "grade2"}})), "0x0a highway=track");
    EXPECT_EQ(best_of(looks, {}), "none");
}

TEST(TagLooks, rank_a_key_matched_through_a_star_below_a_matched_value) {
    const LibraryText lib = library({{"0x01", "landuse=*"}, {"0x02", "landuse=forest|natural=wood"}});
    const TagLooks looks(lib);
    EXPECT_EQ(best_of(looks, tags({{"landuse", "forest"}})), "0x02 landuse=forest");
    EXPECT_EQ(best_of(looks, tags({{"natural", "wood"}})), "0x02 natural=wood");
    EXPECT_EQ(best_of(looks, tags({{"landuse", "meadow"}})), "0x01 landuse=*");
    // The rule's landuse=* is what the first look names; the second it only may mean.
    EXPECT_EQ(best_of(looks, tags({{"landuse", "*"}})), "0x01 landuse=*");
    EXPECT_EQ(best_of(looks, tags({{"natural", "*"}})), "0x02 natural=wood");
}

TEST(TagLooks, break_ties_by_fewer_tags_then_library_order_whatever_the_rule_order) {
    const LibraryText lib = library({{"0x01", "highway=*&surface=*"},
                                     {"0x02", "highway=track"},
                                     {"0x03", "amenity=fuel"},
                                     {"0x04", "shop=convenience"},
                                     {"0x05", "shop=kiosk|amenity=fuel&shop=kiosk"}});
    const TagLooks looks(lib);
    // 2 points each: one exact tag beats two keys that a star matched.
    for (const auto& rule : {tags({{"highway", "track"}, {"surface", "paved"}}), tags({{"surface", "paved"}, {"highway", "track"}})})
        EXPECT_EQ(best_of(looks, rule), "0x02 highway=track");
    EXPECT_EQ(best_of(looks, tags({{"highway", "path"}, {"surface", "paved"}})), "0x01 highway=* surface=*");
    for (const auto& rule : {tags({{"amenity", "fuel"}, {"shop", "convenience"}}), tags({{"shop", "convenience"}, {"amenity", "fuel"}})})
        EXPECT_EQ(best_of(looks, rule), "0x03 amenity=fuel");
    // A look scores its best alternative.
    EXPECT_EQ(best_of(looks, tags({{"shop", "kiosk"}, {"amenity", "fuel"}})), "0x05 amenity=fuel shop=kiosk");
}

TEST(TagLooks, read_tags_lines_inside_entries_only_and_skip_broken_tags) {
    const std::string text =
        ";tags=amenity=bar\n"                           // before any entry
        "[_point]\nType=0x2F0B  \n\"a\"\n;tags=amenity=parking\n[end]\n"
        ";tags=amenity=pub\n"                           // after an entry's end
        "[_point]\ntype=0x2d02\n;tags=highway|=x|amenity=bar&=y|shop=\n[end]\n"  // no whole alternative
        "[_point]\n  Type=0x2d03\n  ;tags= amenity = cinema |leisure=*\n;tags=amenity=theatre\n[End]\n"
        "[_line]\n;tags=railway=rail\nType=0x14\n[end]\n";  // above its Type=: no code yet
    const LibraryText lib(text);
    const TagLooks looks(lib);
    EXPECT_EQ(best_of(looks, tags({{"amenity", "parking"}})), "0x2F0B amenity=parking");
    EXPECT_EQ(best_of(looks, tags({{"amenity", "bar"}})), "none");
    EXPECT_EQ(best_of(looks, tags({{"amenity", "bar"}, {"leisure", "x"}})), "0x2d03 leisure=*");
    EXPECT_EQ(best_of(looks, tags({{"amenity", "cinema"}})), "0x2d03 amenity=cinema");
    EXPECT_EQ(best_of(looks, tags({{"amenity", "theatre"}})), "0x2d03 amenity=theatre");
    for (const char* gone : {"pub", "x", "y"}) EXPECT_EQ(best_of(looks, tags({{"amenity", gone}})), "none") << gone;
    EXPECT_EQ(best_of(looks, tags({{"railway", "rail"}})), "none");
    EXPECT_EQ(best_of(TagLooks(LibraryText()), tags({{"amenity", "bar"}})), "none");
}

// ---- against mkgmap's own reading of styles --------------------------------

std::set<std::pair<std::string, std::string>> meaning(const std::vector<RuleTag>& tags) {
    // mkgmap puts key=* in front of a key's regular expression: it says nothing more.
    std::set<std::pair<std::string, std::string>> out;
    for (const RuleTag& t : tags)
        if (t.value != "*" || std::none_of(tags.begin(), tags.end(), [&](const RuleTag& o) { return o.key == t.key && o.value != "*"; }))
            out.insert({t.key, t.value});
    return out;
}

TEST(PositiveTags, agree_on_written_rules_with_mkgmaps_normal_form_of_them) {
    if (const std::string why = test::mkgmap_jar_missing(); !why.empty()) GTEST_SKIP() << why;
    const test::TempDir tmp;
    const char* rules[] = {
        "highway = track & ! (tracktype=grade1 | surface=paved)",
        "!(amenity=fuel) & shop=*",
        "cuisine ~ '.*pizza.*'",
        "highway~'^(primary|secondary)$' & name!=*",
        "( amenity=cafe | amenity = 'fast_food' ) & cuisine!=burger {name '${name} (x)'}",
        "amenity=restaurant & !(cuisine=* & !(cuisine=pizza))",
        "leisure=pitch & length() > 100 & sport=*",
        "\"addr:street\"=* & building!=no & is_in(landuse,residential,any)=true",
        "mkgmap:fast_road=yes & population>9999 & admin_level<=4",
        "place=town & (name=* | ref=*) & !(population<1000)",
        "(waterway=river | waterway=canal) & (intermittent=yes | seasonal=yes) & !(tunnel=culvert)",
    };
    std::string lines;
    for (std::size_t i = 0; i < std::size(rules); ++i) {
        char code[8];
        std::snprintf(code, sizeof code, "0x%02zx", i + 1);  // rule n has code n
        lines += std::string(rules[i]) + " [" + code + " resolution 24]\n";
    }
    tmp.write("styles/s/lines", lines);
    tmp.write("styles/s/version", "0\n");
    const std::string printed = test::mkgmap_printed_style(tmp / "styles", "s", tmp / "s.rules");
    ASSERT_FALSE(printed.empty());

    RuleReader reader;
    reader.scan_text(test::printed_section(printed, Section::Line));
    std::size_t compared = 0;
    for (const RuleItem& item : reader.items()) {
        const std::size_t n = std::stoul(std::string(item_code(item)), nullptr, 16);
        ASSERT_TRUE(n >= 1 && n <= std::size(rules)) << item.text();
        EXPECT_EQ(meaning(positive_tags(rules[n - 1])), meaning(positive_tags(item.before)))
            << rules[n - 1] << "\nmkgmap: " << item.before;
        ++compared;
    }
    EXPECT_EQ(compared, std::size(rules));
}

// The look of a library entry without its code and tags: what the map shows.
std::string entry_body(const std::string& look) {
    std::string body;
    std::size_t at = look.find('\n');
    while (at != std::string::npos && at + 1 < look.size()) {
        const std::size_t end = look.find('\n', at + 1);
        const std::string line = look.substr(at + 1, end == std::string::npos ? std::string::npos : end - at);
        if (line.rfind(";tags=", 0) != 0) body += line;
        at = end;
    }
    return body;
}

TEST(TagLooks, give_most_rules_of_mkgmaps_default_style_a_look_like_their_own_codes) {
    if (const std::string why = test::mkgmap_jar_missing(); !why.empty()) GTEST_SKIP() << why;
    const test::TempDir tmp;
    ASSERT_TRUE(test::extract_from_mkgmap_jar(tmp, "styles"));
    const std::string printed = test::mkgmap_printed_style(tmp / "styles", "default", tmp / "default.rules");
    ASSERT_FALSE(printed.empty());

    std::size_t rules = 0, alike = 0;
    std::map<std::string, bool> codes;  // "section code" -> every rule of it found a look like its own
    std::string misses;
    for (Section section : ALL_SECTIONS) {
        LibraryText lib;
        ASSERT_FALSE(load_library_file(library_file_path(TESSARO_SOURCE_DIR "/res", section), section, lib).has_value());
        const TagLooks looks(lib);
        RuleReader reader;
        reader.scan_text(test::printed_section(printed, section));
        for (const RuleItem& item : reader.items()) {
            // mkgmap prints codes without leading zeros; the library writes whole bytes (0x0100, 0x010400).
            std::string code = to_lower(item_code(item));
            std::string own = get_code(section, code, "", lib, false).entry;
            if (own.empty() && code.size() % 2 == 1) {
                code.insert(2, "0");
                own = get_code(section, code, "", lib, false).entry;
            }
            if (own.empty()) continue;  // a code the library does not know
            const std::optional<TagMatch> match = looks.best(positive_tags(item.before));
            const bool same =
                match && entry_body(get_code(section, match->library_code, "", lib, false).entry) == entry_body(own);
            ++rules;
            alike += same;
            const std::string key = std::string(section_name(section)) + " " + code;
            codes[key] = codes.count(key) ? codes[key] && same : same;
            if (!same)
                misses += "  " + key + " <- " + (match ? match->library_code + " (" + match->matched + ")" : "none") +
                          ": " + std::string(item.before.substr(0, 90)) + "\n";
        }
    }
    const auto alike_codes = static_cast<std::size_t>(std::count_if(codes.begin(), codes.end(), [](const auto& c) { return c.second; }));
    ASSERT_GT(rules, 300u);
    const double by_rule = 100.0 * static_cast<double>(alike) / static_cast<double>(rules);
    const double by_code = 100.0 * static_cast<double>(alike_codes) / static_cast<double>(codes.size());
    std::printf("default style: %zu of %zu rules (%.1f %%) and %zu of %zu codes, every rule of them (%.1f %%), "
                "find a look like their own code's\n%s",
                alike, rules, by_rule, alike_codes, codes.size(), by_code, misses.c_str());
    EXPECT_GE(by_rule, 80.0);
}

}  // namespace
}  // namespace tessaro
