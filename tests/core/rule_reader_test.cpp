#include "rule_reader.h"

#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>
#include <random>
#include <set>

#include "support/temp_dir.h"
#include "text_util.h"

namespace tessaro {
namespace {

using namespace std::string_literals;

// An item as "line: <after> @<before>".
using Items = std::vector<std::string>;

Items item_texts(const RuleReader& reader) {
    Items out;
    for (const RuleItem& item : reader.items()) out.push_back(std::to_string(item.line) + ": " + item.text());
    return out;
}

Items scan(const std::string& text, bool plain = false) {
    RuleReader reader;
    reader.scan_text(text, plain);
    return item_texts(reader);
}

TEST(ScanText, finds_every_type_bracket_as_mkgmap_reads_the_rules) {
    const std::pair<std::string, Items> cases[] = {
        // One bracket, in any case and with blanks before the code; normalised blanks and codes.
        {"amenity=bar [0x2d02 resolution 24]", {"1: 0x2d02 resolution 24] @amenity=bar "}},
        {"landuse=basin [ 0X6200 resolution 24]\n", {"1:  0X6200 resolution 24] @landuse=basin "}},
        {"a\t=\tb  [0 x1f]", {"1: 0x1f] @a = b "}},
        // A code on a line of its own joins the nearest earlier non-blank line without a
        // bracket, whatever its condition holds; comment and blank lines between are skipped.
        {"amenity=pub\n  [0x2d02 resolution 24]", {"2: 0x2d02 resolution 24] @amenity=pub "}},
        {"x=y [0x01]\ncuisine~'.*pizza.*'\n    [0x2a0a resolution 24]",
         {"1: 0x01] @x=y ", "3: 0x2a0a resolution 24] @cuisine~'.*pizza.*'  "}},
        {"a=1 &\nb!=2 # why\n\n# note\n[0x05]", {"5: 0x05] @b!=2 "}},
        // ... but not to a line whose rule is complete, nor across the start of the file.
        {"a=1 [0x01]\n[0x02]", {"1: 0x01] @a=1 ", "2: 0x02] @"}},
        {"[0x03]", {"1: 0x03] @"}},
        // A bracket spread over lines is one bracket, read from the line it opens on.
        {"x=y [\n0x2 level 3\n]\nz=w [0x3]", {"1: 0x2 level 3 ] @x=y ", "4: 0x3] @z=w "}},
        {"x=y\n[\n0x4 level 1]", {"2: 0x4 level 1] @x=y"}},
        {"x=y [0x5 level\n 1]", {"1: 0x5 level 1] @x=y "}},
        // "[" inside quotes, a regular expression or an action's braces is no type bracket.
        {"landuse=forest & name ~ '.*[Ww]ald.*' [0x50 resolution 20]",
         {"1: 0x50 resolution 20] @landuse=forest & name ~ '.*[Ww]ald.*' "}},
        {"natural=water { name '${name} [lake]' } [0x3c resolution 20]",
         {"1: 0x3c resolution 20] @natural=water { name '${name} [lake]' } "}},
        {"a=b { set c=[0x99] }\n{ set d=e\n[0x98] } [0x3d]", {"3: 0x3d] @[0x98] } "}},
        {"name=\"[0x97]\" [0x3e]", {"1: 0x3e] @name=\"[0x97]\" "}},
        {"name=[x] [  0x01]", {"1:  0x01] @name=[x] "}},
        // "#" starts a comment only outside quotes.
        {"name='#1' [0x2f]# [0x17]\n# [0x18]", {"1: 0x2f] @name='#1' "}},
        // Every bracket of a line counts.
        {"e=f [0x01e resolution 24] g=h [0X3C resolution 24]",
         {"1: 0x01e resolution 24] g=h [0X3C resolution 24] @e=f ", "1: 0X3C resolution 24] @ g=h "}},
        // CR, LF and CR LF each end a line.
        {"r=s\r[0x5 resolution 24]\rt=u [0x6]\r\nv=w [0x7]\n\rx=y [0x8]\r",
         {"2: 0x5 resolution 24] @r=s", "3: 0x6] @t=u ", "4: 0x7] @v=w ", "6: 0x8] @x=y "}},
    };
    for (const auto& [text, items] : cases) {
        EXPECT_EQ(scan(text), items) << text;
        EXPECT_EQ(scan(text, true), items) << "general path: " << text;
    }
}

TEST(ScanText, reads_a_bracket_left_open_as_it_stands_without_swallowing_the_file) {
    // Open at the end of the file.
    EXPECT_EQ(scan("a=b [0x01 level 2\n"), (Items{"1: 0x01 level 2 @a=b "}));
    // A stray "[" reads on for a few lines only; the rules after them count again.
    std::string text = "a=b [\n";
    for (int i = 0; i < 40; ++i) text += "c=d\n";
    text += "e=f [0x02]\n";
    EXPECT_EQ(scan(text), (Items{"42: 0x02] @e=f "}));
    // An unbalanced quote ends with its line.
    EXPECT_EQ(scan("name='it\na=b [0x03]"), (Items{"2: 0x03] @a=b "}));
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

// A rule text with what the scan treats apart: comments, codes on a line of
// their own, quotes, braces, brackets over lines, tabs, CRs, spaced and
// upper-case codes, brackets without a code, lines without a line feed.
std::string random_rules(std::mt19937& rng, std::size_t bytes) {
    static const char* const parts[] = {
        "amenity=pub", " & ", "name=*", " [0x2f0b resolution 24]", "[ 0X01 level 2]", "\t[0x10f04]", "  [0 x3c]",
        " # note [0x99]", "#", "\r", "\r\n", "[x] ", "{ set a=b }", "{", "}", "'", "\"", "name~'[a]'", "0x12", " ",
        "\t", "=", "[", "]", "highway=motorway", " [0x01 road_class=4]", "landuse=basin", "0 X7", "x", "[\n0x5",
        "include 'inc/a';", " include b from other", "include", "\tinclude \"c d\" # e", "from"};
    std::string text;
    while (text.size() < bytes) {
        const int words = static_cast<int>(rng() % 6);
        for (int w = 0; w < words; ++w) text += parts[rng() % std::size(parts)];
        text += '\n';
    }
    return text;
}

// Plain lines take a fast path: it must find what the general path finds.
TEST(ScanText, finds_the_same_items_on_the_fast_path_as_on_the_general_one) {
    std::mt19937 rng(7);
    for (int i = 0; i < 3000; ++i) {
        const std::string text = random_rules(rng, rng() % 400);
        ASSERT_EQ(scan(text), scan(text, true)) << testing::PrintToString(text);
    }
    // Large texts are mapped 32 bytes at a time where the processor can.
    for (int i = 0; i < 3; ++i) {
        const std::string text = random_rules(rng, 100'000 + rng() % 1000);
        ASSERT_EQ(scan(text), scan(text, true)) << i;
    }
}

// What reading a file a piece at a time gave, its include statements kept.
struct FileRead {
    Items items;
    std::vector<std::optional<std::uint32_t>> values;
    std::vector<std::size_t> passed;
    std::size_t pieces = 0;
    std::optional<Failure> failure;
    std::optional<std::vector<IncludeStatement>> statements;
};

FileRead read_file(const std::string& path, RuleReader::Items kind, bool ahead = false) {
    RuleReader reader;
    reader.open(path, kind, true, ahead);
    FileRead read;
    for (; reader.next_piece(); ++read.pieces) {
        const Items piece = item_texts(reader);
        read.items.insert(read.items.end(), piece.begin(), piece.end());
        for (const RuleItem& item : reader.items()) {
            read.values.push_back(item.value);
            read.passed.push_back(item.passed);
        }
    }
    read.failure = reader.close();
    read.statements = reader.take_statements();
    return read;
}

// Reading a file a piece at a time finds what scanning it whole finds, for
// files of many pieces, a line longer than a piece, a file of CRs alone, and
// a last line without a line feed; so does a file opened ahead, read on a
// thread of its own even when it is one piece.
TEST(NextPiece, gives_the_items_of_the_whole_file) {
    test::TempDir dir;
    std::mt19937 rng(5);
    std::string big = random_rules(rng, 700 * 1024);
    big += "a=b" + std::string(300 * 1024, ' ') + "[0x05 resolution 24]\n" + random_rules(rng, 1000) + "c=d [0x06]";
    std::string mac = random_rules(rng, 600 * 1024);
    std::replace(mac.begin(), mac.end(), '\n', '\r');
    // Large pieces are mapped with the processor's widest instructions: the
    // general path, which reads only their line feeds, must agree.
    EXPECT_EQ(scan(big), scan(big, true));
    const std::string texts[] = {big, mac, random_rules(rng, 100 * 1024), random_rules(rng, 3000), "", "a=b\n[0x01]", "\n\n"};
    for (const std::string& text : texts) {
        const std::string path = dir.write("rules", text);
        const FileRead pieces = read_file(path, RuleReader::Items::Rules);
        EXPECT_FALSE(pieces.failure.has_value());
        const Items& items = pieces.items;
        const std::size_t count = pieces.pieces;
        EXPECT_EQ(items, scan(text)) << text.size() << " bytes";
        const FileRead ahead = read_file(path, RuleReader::Items::Rules, true);
        EXPECT_FALSE(ahead.failure.has_value());
        EXPECT_EQ(ahead.items, items) << text.size() << " bytes";
        // Only the first item of each code value (and each without one), with
        // the count of the items passed over before it.
        Items first_of_type;
        std::vector<std::size_t> passed;
        std::set<std::uint32_t> met;
        std::size_t since = 0;
        for (std::size_t i = 0; i < items.size(); ++i) {
            if (pieces.values[i] && !met.insert(*pieces.values[i]).second) {
                ++since;
                continue;
            }
            first_of_type.push_back(items[i]);
            passed.push_back(std::exchange(since, 0));
        }
        const FileRead first = read_file(path, RuleReader::Items::FirstOfType, text.size() > 64 * 1024);
        EXPECT_EQ(first.items, first_of_type) << text.size() << " bytes";
        EXPECT_EQ(first.passed, passed) << text.size() << " bytes";
        // The include statements kept on the way are those of the whole text;
        // a file of CRs alone, read in pieces that end at a CR, keeps none.
        const std::optional<std::vector<IncludeStatement>>& statements = pieces.statements;
        EXPECT_EQ(ahead.statements, statements) << text.size() << " bytes";
        // So do those kept while the text is only normalised.
        const std::optional<std::vector<IncludeStatement>> scanned = read_file(path, RuleReader::Items::None).statements;
        if (text.size() > 500 * 1024 && text.find('\n') == std::string::npos) {
            EXPECT_FALSE(statements.has_value());
            EXPECT_FALSE(scanned.has_value());
        } else {
            ASSERT_TRUE(statements.has_value()) << text.size() << " bytes";
            ASSERT_TRUE(scanned.has_value()) << text.size() << " bytes";
            EXPECT_EQ(*statements, include_statements(text)) << text.size() << " bytes";
            EXPECT_EQ(*scanned, *statements) << text.size() << " bytes";
            if (text.size() > 500 * 1024) {
                EXPECT_GT(statements->size(), 100u);
            }
        }
        if (text.size() > 500 * 1024) {
            EXPECT_GT(count, 1u);
        }
    }
    RuleReader missing;
    missing.open(dir / "none");
    EXPECT_FALSE(missing.next_piece());
    const std::optional<Failure> failure = missing.close();
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(*failure, (Failure{Failure::Kind::Read, dir / "none", 0, std::strerror(ENOENT)}));
}

}  // namespace
}  // namespace tessaro
