#include "tag_looks.h"
#include <algorithm>
#include <set>
#include <sstream>
#include "rule_reader.h"
#include "support/mkgmap.h"

namespace tessaro {
namespace {
std::string text_of(const std::vector<RuleTag>& tags) {
    std::string out;
    for (const RuleTag& t : tags) out += (out.empty() ? "" : " ") + t.key + "=" + t.value;
    return out;
}

// Each condition's positive tags, written "key=value key=value".
TEST(PositiveTags, are_the_tags_a_condition_asks_for_read_as_far_as_it_goes) {
    const std::pair<const char*, const char*> cases[] = {
        // Through junctions, parentheses, quotes and blanks; each tag once, in the condition's order.
        {"highway=track & (tracktype=grade1 | surface=*)", "highway=track tracktype=grade1 surface=*"},
        {"  $highway =  ' track ' &$tracktype=\"grade1\"  ", "highway=track tracktype=grade1"},
        {"'addr:street'=* & seamark:type=buoy_lateral", "addr:street=* seamark:type=buoy_lateral"},
        {"cuisine=* & cuisine~'.*pizza.*' | cuisine=pizza", "cuisine=* cuisine=pizza"},
        // What a negation covers is left out; what two cancel is kept: !(a & !(b)) is !a | b.
        {"amenity=fuel & shop!=* & access!=no & ref!~'A.*'", "amenity=fuel"}, {"! ( brand=x ) & !name=z & shop=*", "shop=*"},
        {"amenity=restaurant & !(cuisine=* & !(cuisine=pizza))", "amenity=restaurant cuisine=pizza"}, {"!(a=1 & (b=2 | c=3)) | d=4", "d=4"},
        // The plain alternatives of a regular expression; not prefixes, classes, escapes, optional groups.
        {"cuisine~'.*pizza.*'", "cuisine=pizza"}, {"cuisine~pizza", "cuisine=pizza"}, {"network~'US:.*'", ""}, {"name~'[ab]|c'", "name=c"},
        {"highway~\"^(motorway|trunk|(primary|secondary))$\"", "highway=motorway highway=trunk highway=primary highway=secondary"},
        {"highway~'^(primary|secondary)(_link)?$'", ""}, {"name~'a\\|b'", ""}, {"name~'((a|b)'", ""},
        // Actions, comparisons and functions skipped; mkgmap's keys kept; a type bracket ends the condition.
        {"amenity=cafe { set a='}' ; set b=c } & shop=bakery", "amenity=cafe shop=bakery"},
        {"place=city & population>9999 & admin_level<=4 & ele>=100 & width<3", "place=city"},
        {"leisure=pitch & length()>100 & is_in(landuse,'residential',any)=true & area_size()<1000", "leisure=pitch"},
        {"mkgmap:fast_road=yes & $mkgmap:country=DEU", "mkgmap:fast_road=yes mkgmap:country=DEU"},
        {"highway=primary [0x03 resolution 20] highway=secondary", "highway=primary"},
        // Broken conditions.
        {"((a=b", "a=b"}, {"a=b))) & c=d", "a=b c=d"}, {"a= & =b & c", ""}, {"!", ""}, {"a='unclosed", "a=unclosed"}, {"a=b { set c=d", "a=b"}, {"", ""}};
    for (const auto& [condition, expected] : cases) EXPECT_EQ(text_of(positive_tags(condition)), expected) << condition;
    const std::string open(100000, '('), close(100000, ')');
    EXPECT_EQ(text_of(positive_tags(open + "a=b" + close)), "a=b");
    EXPECT_EQ(text_of(positive_tags("a~'" + open + "x|y" + close + "'")), "a=x a=y");
}

// A library of point entries, one per (code, tags line); "" writes none.
LibraryText library(std::initializer_list<std::pair<const char*, const char*>> looks) {
    std::string text;
    for (const auto& [code, tags_line] : looks)
        text += std::string("[_point]\r\nType=") + code + "\r\n" + (*tags_line ? std::string(";tags=") + tags_line + "\r\n" : "") +
                "Xpm=\"0 0 0 0\"\r\n[end]\r\n\r\n";
    return LibraryText(text);
}

std::string shown(const std::optional<TagMatch>& m) { return m ? m->library_code + " " + m->matched : "none"; }

// The best look for each rule ("key=value key>N ..."): "code matched", or "none"; the same among many tags no look names and
// the rule's own again (a long condition is searched by key).
void expect_best(const LibraryText& lib, std::initializer_list<std::pair<const char*, const char*>> cases) {
    const TagLooks looks(lib);
    for (const auto& [rule, expected] : cases) {
        std::vector<RuleTag> tags, many;
        std::istringstream words(rule);
        for (std::string w; words >> w;) {
            const std::size_t op = w.find_first_of("<>="), value = w.find_first_not_of("<>=", op);
            tags.push_back({w.substr(0, op), w.substr(value), w.substr(op, value - op)});
        }
        EXPECT_EQ(shown(looks.best(tags)), expected) << rule;
        for (int i = 0; i < 40; ++i) many.push_back({"unnamed" + std::to_string(i % 25), std::to_string(i)});
        many.insert(many.end(), tags.begin(), tags.end());
        many.insert(many.end(), tags.rbegin(), tags.rend());
        EXPECT_EQ(shown(looks.best(many)), expected) << rule << " among many";
    }
}

// A look needs every tag of one alternative; an exact value ranks above a key matched through a star (one beats two).
TEST(TagLooks, take_whole_alternatives_of_tags_lines_inside_entries_and_rank_by_matches_values_fewer_tags_and_library_order) {
    expect_best(library({{"0x0a", "highway=track"}, {"0x0b", "highway=track&tracktype=grade1"}}),
                {{"highway=track", "0x0a highway=track"}, {"highway=track tracktype=grade1", "0x0b highway=track tracktype=grade1"},
                 {"tracktype=grade1", "none"}, {"highway=path tracktype=grade1", "none"}, {"", "none"},
                 {"name=x highway=track tracktype=grade2", "0x0a highway=track"}});  // other tags neither help nor hurt
    // The rule's landuse=* is what the first look names; the second it only may mean.
    expect_best(library({{"0x01", "landuse=*"}, {"0x02", "landuse=forest|natural=wood"}}),
                {{"landuse=forest", "0x02 landuse=forest"}, {"natural=wood", "0x02 natural=wood"},
                 {"landuse=meadow", "0x01 landuse=*"}, {"landuse=*", "0x01 landuse=*"}, {"natural=*", "0x02 natural=wood"}});
    expect_best(library({{"0x01", "highway=*&surface=*"}, {"0x02", "highway=track"}, {"0x03", "amenity=fuel"},
                         {"0x04", "shop=convenience"}, {"0x05", "shop=kiosk|amenity=fuel&shop=kiosk"}}),
                {{"highway=track surface=paved", "0x02 highway=track"}, {"highway=path surface=paved", "0x01 highway=* surface=*"},
                 {"shop=convenience amenity=fuel", "0x03 amenity=fuel"}, {"shop=kiosk amenity=fuel", "0x05 amenity=fuel shop=kiosk"}});
    // Tags lines count inside entries only, below their Type=; broken tags are skipped.
    const std::string text =
        ";tags=amenity=bar\n"                                                     // before any entry
        "[_point]\nType=0x2F0B  \n\"a\"\n;tags=amenity=parking\n[end]\n;tags=amenity=pub\n"  // the second after an [end]
        "[_point]\ntype=0x2d02\n;tags=highway|=x|amenity=bar&=y|shop=\n[end]\n"    // no whole alternative
        "[_point]\n  Type=0x2d03\n  ;tags= amenity = cinema |leisure=*\n;tags=amenity=theatre\n[End]\n"
        "[_line]\n;tags=railway=rail\nType=0x14\n[end]\n";                        // above its Type=: no code yet
    expect_best(LibraryText(text), {{"amenity=parking", "0x2F0B amenity=parking"}, {"amenity=bar", "none"}, {"amenity=pub", "none"},
                                    {"amenity=bar leisure=x", "0x2d03 leisure=*"}, {"amenity=cinema", "0x2d03 amenity=cinema"},
                                    {"amenity=theatre", "0x2d03 amenity=theatre"}, {"amenity=y", "none"}, {"railway=rail", "none"}});
    // No rule's tags are read where no look could answer them.
    EXPECT_FALSE(TagLooks(LibraryText(text)).empty());
    for (const char* none : {"", "[_point]\nType=0x2f0b\n;tags=highway|=x\n[end]\n", ";tags=amenity=bar\n[_point]\nType=0x01\n\"a\"\n[end]\n"})
        EXPECT_TRUE(TagLooks(LibraryText(none)).empty()) << none;
}

// A bound is met by a rule's bound that implies it or by a number that meets it; a rule's bounds are read only when asked
// for. A match is exact only where every tag of the winning alternative names the rule's value.
TEST(TagLooks, take_the_first_look_whose_bounds_a_rule_implies_and_call_a_match_exact_only_by_values) {
    std::string bounds;
    for (const RuleTag& t : positive_tags("place=city & population > 999999 & ele<=-2.5 & area_size() < 5 & !(ele>3) & pop>x", true))
        bounds += t.key + t.op + t.value + " ";
    EXPECT_EQ(bounds, "place=city population>999999 ele<=-2.5 ");
    EXPECT_EQ(text_of(positive_tags("place=city & population > 999999")), "place=city");
    expect_best(library({{"0x01", "place=city&population>999999"}, {"0x02", "place=city&population>=100000|ele<=0"}, {"0x03", "place=city"}}),
                {{"place=city population>=1000000", "0x01 place=city population>999999"},
                 {"place=city population>=999999", "0x02 place=city population>=100000"},
                 {"place=city population>99999", "0x03 place=city"},  // numbers, not counts: 99999.5
                 {"place=city population<5000000", "0x03 place=city"}, {"place=city population=2000000", "0x01 place=city population>999999"},
                 {"place=city population=many", "0x03 place=city"}, {"population>999999", "none"}, {"ele<-3", "0x02 ele<=0"}, {"ele<0.5", "none"}});
    // The looks read their tags where the library holds them: it must outlive them.
    const LibraryText lib =
        library({{"0x01", "place=city&population>999999"}, {"0x02", "highway=footway|highway=*&foot=yes"}, {"0x03", "natural=*"}});
    const TagLooks looks(lib);
    const std::pair<const char*, bool> exact[] = {
        {"place=city & population>2000000", true}, {"highway=footway", true}, {"highway=footway & foot=yes", true},
        {"highway=* ", false} /* a wildcard in the rule */, {"highway=path & foot=yes", false} /* highway=* in the look */,
        {"natural=wood", false}, {"natural=*", false} /* a star on both sides */};
    for (const auto& [condition, is_exact] : exact)
        EXPECT_EQ(looks.best(positive_tags(condition, true)).value_or(TagMatch{"", "", !is_exact}).exact, is_exact) << condition;
    EXPECT_TRUE(tags_agree("0x01\r\n;tags=place=city&population>999999\r\n", positive_tags("place=city", true)));
    EXPECT_FALSE(tags_agree("0x01\r\n;tags=place=city&population>999999\r\n", positive_tags("place=town & population>2000000", true)));
    const std::string look = "0x0d\r\n;tags=cycleway=track|highway=cycleway&bicycle=*\r\n;name=x\r\n";
    for (const auto& [condition, agrees] : {std::pair{"cycleway=track", true}, {"bicycle=designated", true}, {"highway=*", true},
                                            {"highway=pedestrian & cycleway!=track", false}, {"name=x", false} /* no tag */})
        EXPECT_EQ(tags_agree(look, positive_tags(condition)), agrees) << condition;
    EXPECT_FALSE(tags_agree("0x0d\r\n;name=cycle track\r\n", positive_tags("cycleway=track")));
}

// An 8 MB line, read in as many steps as it has alternatives.
TEST(TagLooks, read_a_condition_of_two_hundred_thousand_alternatives_and_find_its_look) {
    constexpr int ALTERNATIVES = 200000;
    std::string condition;
    for (int i = 0; i < ALTERNATIVES; ++i) condition += "a=" + std::to_string(i) + " | ";
    const std::vector<RuleTag> tags = positive_tags(condition + "a=7 | amenity=pub | a=199999 [0x1f123]");
    ASSERT_EQ(tags.size(), ALTERNATIVES + 1u);
    EXPECT_TRUE(tags.front() == (RuleTag{"a", "0"}) && tags[ALTERNATIVES - 1] == (RuleTag{"a", std::to_string(ALTERNATIVES - 1)}) &&
                tags.back() == (RuleTag{"amenity", "pub"}));
    const LibraryText lib = library({{"0x01", "a=*"}, {"0x02", "amenity=bar|amenity=pub"}, {"0x03", "a=199999"}});
    EXPECT_EQ(shown(TagLooks(lib).best(tags)), "0x02 amenity=pub");  // first in the library of the exact ones
}

// mkgmap puts key=* in front of a key's regular expression: it says nothing more.
std::set<std::pair<std::string, std::string>> meaning(const std::vector<RuleTag>& tags) {
    std::set<std::pair<std::string, std::string>> out;
    for (const RuleTag& t : tags)
        if (t.value != "*" || std::none_of(tags.begin(), tags.end(), [&](const RuleTag& o) { return o.key == t.key && o.value != "*"; }))
            out.insert({t.key, t.value});
    return out;
}

TEST(PositiveTags, agree_on_written_rules_with_mkgmaps_normal_form_of_them) {
    if (const std::string why = test::mkgmap_jar_missing(); !why.empty()) GTEST_SKIP() << why;
    const test::TempDir tmp;
    const char* rules[] = {  // rule n has code n
        "highway = track & ! (tracktype=grade1 | surface=paved)", "!(amenity=fuel) & shop=*", "cuisine ~ '.*pizza.*'",
        "highway~'^(primary|secondary)$' & name!=*", "( amenity=cafe | amenity = 'fast_food' ) & cuisine!=burger {name '${name} (x)'}",
        "amenity=restaurant & !(cuisine=* & !(cuisine=pizza))", "leisure=pitch & length() > 100 & sport=*",
        "\"addr:street\"=* & building!=no & is_in(landuse,residential,any)=true", "mkgmap:fast_road=yes & population>9999 & admin_level<=4",
        "place=town & (name=* | ref=*) & !(population<1000)",
        "(waterway=river | waterway=canal) & (intermittent=yes | seasonal=yes) & !(tunnel=culvert)"};
    std::string lines;
    for (std::size_t i = 0; i < std::size(rules); ++i) lines += std::string(rules[i]) + " [" + std::to_string(i + 1) + " resolution 24]\n";
    tmp.write("styles/s/lines", lines);
    tmp.write("styles/s/version", "0\n");
    const std::string printed = test::mkgmap_printed_style(tmp / "styles", "s", tmp / "s.rules");
    ASSERT_FALSE(printed.empty());
    RuleReader reader;
    reader.scan_text(test::printed_section(printed, Section::Line));
    std::size_t compared = 0;
    for (const RuleItem& item : reader.items()) {
        const std::size_t n = std::stoul(std::string(item.code), nullptr, 16);
        ASSERT_TRUE(n >= 1 && n <= std::size(rules)) << item.text();
        EXPECT_EQ(meaning(positive_tags(rules[n - 1])), meaning(positive_tags(item.before))) << rules[n - 1] << "\nmkgmap: " << item.before;
        ++compared;
    }
    EXPECT_EQ(compared, std::size(rules));
}
}  // namespace
}  // namespace tessaro
