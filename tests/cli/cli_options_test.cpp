#include "cli_options.h"

#include <gtest/gtest.h>

namespace tessaro {
namespace {

TEST(ParseCli, reads_every_option_in_both_spellings) {
    const CliParse p = parse_cli({"-o", "a.txt", "--no-points", "--no-lines", "--no-polygons", "--tag-text",
                                  "--res=r", "--polygon-library", "p.pol", "--seed", "42", "-q", "style"});
    ASSERT_EQ(p.error, "");
    const CliOptions& o = p.options;
    EXPECT_EQ(o.output, "a.txt");
    EXPECT_EQ(o.res_dir, "r");
    EXPECT_EQ(o.polygon_library, "p.pol");
    EXPECT_EQ(o.seed, 42u);
    EXPECT_FALSE(o.sections[Section::Point] || o.sections[Section::Line] || o.sections[Section::Polygon]);
    EXPECT_TRUE(o.tag_text && o.quiet);
    EXPECT_EQ(o.style_folder, "style");
    EXPECT_EQ(parse_cli({"--", "-odd-name"}).options.style_folder, "-odd-name");
}

TEST(ParseCli, refuses_bad_usage_with_a_reason) {
    const std::vector<std::vector<std::string>> bad = {
        {}, {"a", "b"}, {"--strict", "s"}, {"--seed", "x1", "s"}, {"--seed", "-1", "s"}, {"s", "-o"}, {"--frobnicate", "s"}, {"--tag-text=yes", "s"}};
    for (const auto& args : bad) EXPECT_NE(parse_cli(args).error, "") << ::testing::PrintToString(args);
    EXPECT_EQ(parse_cli({"--help"}).error, "");
    EXPECT_TRUE(parse_cli({"--strict", "--check", "f.txt"}).options.strict);
}

}  // namespace
}  // namespace tessaro
