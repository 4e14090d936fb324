#include "rule_reader.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>

#include "support/temp_dir.h"

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

}  // namespace
}  // namespace tessaro
