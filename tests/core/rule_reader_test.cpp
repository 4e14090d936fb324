#include "rule_reader.h"

#include <filesystem>
#include <gtest/gtest.h>

#include "support/recording_shell.h"
#include "support/temp_dir.h"

namespace tessaro {
namespace {

using test::RecordingShell;
using test::TempDir;
using Lines = std::vector<std::string>;

Lines owned(const std::vector<std::string_view>& views) {
    return Lines(views.begin(), views.end());
}

struct Reader {
    RecordingShell shell;
    RuleReader rules{shell};

    Lines strip(const std::string& text) {
        rules.rule_text() = text;
        rules.strp_data();
        return owned(rules.rule_list());
    }
    Lines scan(const std::string& text) {
        strip(text);
        rules.scan_rules();
        return owned(rules.working_list());
    }
    Lines scan_polygons(const std::string& text) {
        strip(text);
        rules.scan_polygon_rules();
        return owned(rules.working_list());
    }
};

TEST(StripData, normalises_blanks_carriage_returns_tabs_and_spaced_codes) {
    Reader r;
    EXPECT_EQ(r.strip("a\tb\r\nc    d   e\n[0 X1f] [0 x2]"), (Lines{"a b", "c  d  e", "[0x1f] [0x2]"}));
    EXPECT_EQ(r.rules.rule_text(), "a b\nc  d  e\n[0x1f] [0x2]");
}

TEST(StripData, splits_at_line_feeds_keeping_a_last_empty_line) {
    Reader r;
    EXPECT_TRUE(r.strip("").empty());
    EXPECT_EQ(r.strip("a=b [0x01]"), (Lines{"a=b [0x01]"}));
    EXPECT_EQ(r.strip("a=b [0x01]\n"), (Lines{"a=b [0x01]", ""}));
}

TEST(StripData, cuts_comments_without_trimming) {
    Reader r;
    EXPECT_EQ(r.strip("# comment [0x01]\nhighway=path [0x16]# [0x17]"), (Lines{"", "highway=path [0x16]"}));
}

TEST(StripData, joins_a_code_on_its_own_line_with_the_nearest_earlier_condition) {
    Reader r;
    const Lines out = r.strip("x [0x01]\nfoo=bar\namenity=pub\n  [0x2d02 resolution 24]\n");
    EXPECT_EQ(out[2], "amenity=pub");
    EXPECT_EQ(out[3], "amenity=pub [0x2d02 resolution 24]");
}

TEST(StripData, joins_only_the_last_equals_line_of_a_condition_over_several_lines) {
    Reader r;
    const Lines out = r.strip("amenity=restaurant &\ncuisine=pizza\n[0x2a0a resolution 24]");
    EXPECT_EQ(out[2], "cuisine=pizza[0x2a0a resolution 24]");
}

TEST(StripData, finds_a_condition_on_the_first_line_and_sees_earlier_joins) {
    Reader r;
    const Lines out = r.strip("a=1\n[0x01]\n[0x02]");
    EXPECT_EQ(out[1], "a=1[0x01]");
    EXPECT_EQ(out[2], "a=1[0x01][0x02]");
}

TEST(StripData, leaves_a_code_line_alone_without_an_earlier_condition_or_at_line_start) {
    Reader r;
    EXPECT_EQ(r.strip("no condition\n [0x01]\n0x02 x"), (Lines{"no condition", " [0x01]", "0x02 x"}));
}

TEST(ScanRules, builds_items_from_the_first_type_bracket) {
    Reader r;
    EXPECT_EQ(r.scan("amenity=bar [0x2d02 resolution 24]\n"
                     "amenity=x [0x01 level 2] [0x02 level 3]\n"
                     "shop=y [0X2F0B resolution 24]\n"
                     "no bracket here\n"),
              (Lines{"0x2d02 resolution 24] @amenity=bar ", "0x01 level 2] [0x02 level 3] @amenity=x ",
                     "0X2F0B resolution 24] @shop=y "}));
}

TEST(ScanRules, finds_brackets_with_blanks_before_the_code) {
    Reader r;
    const Lines items = r.scan("landuse=basin [ 0x6200 resolution 24]\nname=[x] [  0x01]");
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0], " 0x6200 resolution 24] @landuse=basin ");
    EXPECT_EQ(items[1], " 0x01] @name=[x] ");
}

TEST(ScanRules, gives_a_joined_rule_its_condition_and_skips_the_condition_line) {
    Reader r;
    EXPECT_EQ(r.scan("amenity=pub\n  [0x2d02 resolution 24]"), (Lines{"0x2d02 resolution 24] @amenity=pub "}));
    EXPECT_EQ(r.scan("[0x01 road_class=1]"), (Lines{"0x01 road_class=1] @"}));
}

TEST(ScanPolygonRules, reads_the_unjoined_text_and_takes_the_first_bracket) {
    Reader r;
    EXPECT_EQ(r.scan_polygons("natural=wood [0x50 resolution 20]\n"
                              "landuse=forest\n"
                              "[0x50]\n"
                              "  natural=water [0x3c] # lake  \n"
                              "natural=water & note=#1 [0x3c resolution 20]\n"
                              "x=0x3c no bracket\n"
                              "name~'[A-Z]' & y=0x1 [0x4e]\n"),
              (Lines{"0x50 resolution 20] @natural=wood ", "0x50] @", "0x3c] @natural=water ",
                     "A-Z]' & y=0x1 [0x4e] @name~'"}));
}

TEST(LoadBinary, reports_a_missing_or_unreadable_file_once_and_leaves_the_lists_empty) {
    TempDir dir;
    Reader r;
    r.rules.loadbinary(dir / "points");
    ASSERT_EQ(r.shell.messages.size(), 1u);
    EXPECT_NE(r.shell.messages[0].find(dir / "points"), std::string::npos);
    EXPECT_TRUE(r.rules.rule_list().empty());
    EXPECT_FALSE(r.shell.busy);

    std::filesystem::create_directory(dir / "lines");
    r.rules.loadbinary(dir / "lines");
    ASSERT_EQ(r.shell.messages.size(), 2u);
    EXPECT_NE(r.shell.messages[1].find(dir / "lines"), std::string::npos);
}

TEST(LoadBinary, reads_bytes_unchanged_and_strips_them) {
    using namespace std::string_literals;
    TempDir dir;
    Reader r;
    const std::string path = dir.write("lines", "\xEF\xBB\xBFname=\xC3\xA4\0x [0x01]\r\n"s);
    r.rules.loadbinary(path);
    EXPECT_TRUE(r.shell.messages.empty());
    EXPECT_EQ(owned(r.rules.rule_list()), (Lines{"\xEF\xBB\xBFname=\xC3\xA4\0x [0x01]"s, ""}));

    // The text alone: the list of the file before must not outlive it.
    r.rules.load_text(path);
    EXPECT_EQ(r.rules.rule_text(), "\xEF\xBB\xBFname=\xC3\xA4\0x [0x01]\n"s);
    EXPECT_TRUE(r.rules.rule_list().empty());
    EXPECT_FALSE(r.shell.busy);
}

}  // namespace
}  // namespace tessaro
