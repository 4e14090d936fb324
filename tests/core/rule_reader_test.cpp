#include "rule_reader.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>

#include "support/temp_dir.h"
#include "text_util.h"

#include <random>

namespace tessaro {
namespace {

using Lines = std::vector<std::string>;

Lines owned(const std::vector<std::string_view>& views) {
    return Lines(views.begin(), views.end());
}

struct Reader {
    RuleReader rules;
    Lines strip(const std::string& text) {
        rules.rule_text() = text;
        rules.strp_data();
        return owned(rules.rule_list());
    }
};

TEST(StripData, normalises_cuts_comments_and_joins_a_code_on_its_own_line_to_its_condition) {
    const std::pair<std::string, Lines> cases[] = {
        // Blanks, carriage returns, tabs and spaced codes; split at line feeds, keeping a last empty line.
        {"a\tb\r\nc    d   e\n[0 X1f] [0 x2]", {"a b", "c  d  e", "[0x1f] [0x2]"}},
        {"", {}},
        {"a=b [0x01]", {"a=b [0x01]"}},
        {"a=b [0x01]\n", {"a=b [0x01]", ""}},
        // Comments are cut without trimming.
        {"# comment [0x01]\nhighway=path [0x16]# [0x17]", {"", "highway=path [0x16]"}},
        // A code on its own line joins the nearest earlier condition (only the last line
        // of one over several lines), also on the first line, and sees earlier joins.
        {"x [0x01]\nfoo=bar\namenity=pub\n  [0x2d02 resolution 24]\n",
         {"x [0x01]", "foo=bar", "amenity=pub", "amenity=pub [0x2d02 resolution 24]", ""}},
        {"amenity=restaurant &\ncuisine=pizza\n[0x2a0a resolution 24]",
         {"amenity=restaurant &", "cuisine=pizza", "cuisine=pizza[0x2a0a resolution 24]"}},
        {"a=1\n[0x01]\n[0x02]", {"a=1", "a=1[0x01]", "a=1[0x01][0x02]"}},
        // No earlier condition, or a code at the line start: left alone.
        {"no condition\n [0x01]\n0x02 x", {"no condition", " [0x01]", "0x02 x"}},
    };
    for (const auto& [text, lines] : cases) {
        Reader r;
        EXPECT_EQ(r.strip(text), lines) << text;
    }
}

// The first type bracket in any case, blanks before codes, joined conditions, bare brackets and
// the polygon scan's quirks are pinned by the quirks golden file and the line writer's tests.
TEST(ScanRules, builds_items_from_the_first_type_bracket_after_a_bracket_that_holds_none) {
    Reader r;
    r.strip("landuse=basin [ 0x6200 resolution 24]\nname=[x] [  0x01]\nno bracket here\n");
    r.rules.scan_rules();
    EXPECT_EQ(owned(r.rules.working_list()), (Lines{" 0x6200 resolution 24] @landuse=basin ", " 0x01] @name=[x] "}));
}

TEST(LoadBinary, gives_the_failure_of_a_missing_file_or_a_folder_and_reads_other_bytes_unchanged) {
    using namespace std::string_literals;
    test::TempDir dir;
    int yields = 0;
    RuleReader rules([&yields] { ++yields; });
    const std::optional<Failure> missing = rules.loadbinary(dir / "points");
    ASSERT_TRUE(missing.has_value());
    EXPECT_EQ(*missing, (Failure{Failure::Kind::Read, dir / "points", 0, std::strerror(ENOENT)}));
    std::filesystem::create_directory(dir / "lines");
    const std::optional<Failure> folder = rules.loadbinary(dir / "lines");
    ASSERT_TRUE(folder.has_value());
    EXPECT_EQ(folder->path, dir / "lines");
    EXPECT_TRUE(rules.rule_list().empty());

    const std::string path = dir.write("polygons", "\xEF\xBB\xBFname=\xC3\xA4\0x [0x01]\r\n"s);
    yields = 0;
    EXPECT_FALSE(rules.loadbinary(path).has_value());
    EXPECT_GT(yields, 0);  // the window stays live while files are read
    EXPECT_EQ(owned(rules.rule_list()), (Lines{"\xEF\xBB\xBFname=\xC3\xA4\0x [0x01]"s, ""}));

    // The text alone: the list of the file before must not outlive it.
    EXPECT_FALSE(rules.load_text(path).has_value());
    EXPECT_EQ(rules.rule_text(), "\xEF\xBB\xBFname=\xC3\xA4\0x [0x01]\n"s);
    EXPECT_TRUE(rules.rule_list().empty());
}

// The normalisations one after the other, each a plain replacement over the
// whole text, as stripping defines them.
std::string normalised_plainly(const std::string& text) {
    std::string s = replace_all(text, "\r", "");
    s = replace_all(s, "\t", " ");
    s = replace_all(s, "  ", " ");
    s = replace_all(s, "0 X", "0x");
    return replace_all(s, "0 x", "0x");
}

// Random texts of the bytes that normalising looks at, long enough to cross
// the sixteen-byte steps of the fast path anywhere.
TEST(NormaliseRuleText, does_what_the_replacements_do_one_after_the_other) {
    std::mt19937 rng(3);
    const std::string alphabet = "  \t\r0xXa\n";
    for (int i = 0; i < 20000; ++i) {
        std::string text(rng() % 70, ' ');
        for (char& c : text) c = alphabet[rng() % alphabet.size()];
        std::string done = text;
        done.resize(normalise_rule_text(done.data(), done.size()));
        ASSERT_EQ(done, normalised_plainly(text)) << testing::PrintToString(text);
    }
}

// A rule text with what the piece scan treats apart: comments, codes on a
// line of their own (joined to their condition), tabs, CRs, spaced and
// upper-case codes, brackets without a code, lines without a line feed.
std::string random_rules(std::mt19937& rng, std::size_t bytes) {
    static const char* const parts[] = {
        "amenity=pub", " & ", "name=*", " [0x2f0b resolution 24]", "[ 0X01 level 2]", "\t[0x10f04]", "  [0 x3c]",
        " # note [0x99]", "#", "\r", "[x] ", "{ set a=b }", "0x12", " ", "\t", "=", "[", "]", "highway=motorway",
        " [0x01 road_class=4]", "landuse=basin", "0 X7", "x"};
    std::string text;
    while (text.size() < bytes) {
        const int words = static_cast<int>(rng() % 6);
        for (int w = 0; w < words; ++w) text += parts[rng() % std::size(parts)];
        text += '\n';
    }
    return text;
}

Lines item_texts(const RuleReader& reader) {
    Lines out;
    for (const RuleItem& item : reader.items()) out.push_back(item.text());
    return out;
}

// Reading a piece at a time gives the items of reading the file whole, for
// files of many pieces, a line longer than a piece, and a last line without
// a line feed; also without building the items' text.
TEST(NextPiece, gives_the_items_of_the_whole_file) {
    test::TempDir dir;
    std::mt19937 rng(5);
    std::string big = random_rules(rng, 700 * 1024);
    big += "a=b" + std::string(300 * 1024, ' ') + "[0x05 resolution 24]\n" + random_rules(rng, 1000) + "c=d [0x06]";
    const std::string texts[] = {big, random_rules(rng, 3000), "", "a=b\n[0x01]", "\n\n"};
    for (const std::string& text : texts) {
        const std::string path = dir.write("rules", text);
        for (const RuleReader::Items kind : {RuleReader::Items::Rules, RuleReader::Items::PolygonRules}) {
            RuleReader whole;
            if (kind == RuleReader::Items::Rules) {
                ASSERT_FALSE(whole.loadbinary(path).has_value());
                whole.scan_rules();
            } else {
                ASSERT_FALSE(whole.load_text(path).has_value());
                whole.scan_polygon_rules();
            }
            RuleReader pieces;
            pieces.open(path, kind);
            Lines items;
            while (pieces.next_piece()) {
                const Lines piece = item_texts(pieces);
                items.insert(items.end(), piece.begin(), piece.end());
            }
            EXPECT_FALSE(pieces.close().has_value());
            EXPECT_EQ(items, owned(whole.working_list())) << text.size() << " bytes";
            EXPECT_EQ(item_texts(whole), owned(whole.working_list()));
        }
    }
    RuleReader missing;
    missing.open(dir / "none", RuleReader::Items::Rules);
    EXPECT_FALSE(missing.next_piece());
    const std::optional<Failure> failure = missing.close();
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(*failure, (Failure{Failure::Kind::Read, dir / "none", 0, std::strerror(ENOENT)}));
}

// The writers cut codes from items without their text: item_code and
// draw_order_code must cut what the text-based cuts do (the writers' own,
// which stand here as they stood before).
TEST(ItemCodes, cut_from_the_parts_what_the_item_text_gives) {
    std::mt19937 rng(11);
    const std::string alphabet = "  0xX1f]@=a";
    const auto random_text = [&] {
        std::string s(rng() % 12, ' ');
        for (char& c : s) c = alphabet[rng() % alphabet.size()];
        return s;
    };
    for (int i = 0; i < 50000; ++i) {
        const std::string before = random_text();
        const std::string after = random_text();
        const RuleItem item{before, after};
        const std::string text = item.text();
        // The first word of the trimmed item, cut at "]": the writers take it
        // only when it is a type code.
        const std::string_view trimmed = trim_blanks(text);
        const std::string_view expected = cut_code(trimmed.substr(0, trimmed.find(' ')));
        const std::string_view code = item_code(item);
        ASSERT_EQ(is_type_code(code), is_type_code(expected)) << "after '" << after << "' before '" << before << "'";
        if (is_type_code(code)) {
            ASSERT_EQ(code, expected) << "after '" << after << "' before '" << before << "'";
        }
        ASSERT_EQ(draw_order_code(item), draw_order_code(std::string_view(text)))
            << "after '" << after << "' before '" << before << "'";
    }
}

}  // namespace
}  // namespace tessaro
