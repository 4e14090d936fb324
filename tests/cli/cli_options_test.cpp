#include "cli_options.h"

#include <gtest/gtest.h>

namespace tessaro {
namespace {

// Each option's effect shows in the golden cases; here the spellings they do not use.
TEST(ParseCli, reads_a_value_after_an_equals_sign_and_a_style_folder_after_a_double_dash) {
    const CliParse p = parse_cli({"--res=r", "--seed=42", "style"});
    ASSERT_EQ(p.error, "");
    EXPECT_EQ(p.options.res_dir, "r");
    EXPECT_EQ(p.options.seed, 42u);
    EXPECT_EQ(p.options.style_folder, "style");
    EXPECT_EQ(parse_cli({"--", "-odd-name"}).options.style_folder, "-odd-name");
}

TEST(ParseCli, reads_the_short_and_the_long_spelling_of_an_option_alike) {
    const CliParse shorts = parse_cli({"-q", "-h", "-o", "out.txt", "style"});
    const CliParse longs = parse_cli({"--quiet", "--help", "--output", "out.txt", "--version", "style"});
    for (const CliParse* p : {&shorts, &longs}) {
        ASSERT_EQ(p->error, "");
        EXPECT_TRUE(p->options.quiet);
        EXPECT_TRUE(p->options.help);
        EXPECT_EQ(p->options.output, "out.txt");
        EXPECT_EQ(p->options.style_folder, "style");
    }
    EXPECT_FALSE(shorts.options.version);
    EXPECT_TRUE(longs.options.version);
}

TEST(ParseCli, refuses_bad_usage_with_a_reason) {
    const std::vector<std::vector<std::string>> bad = {
        {}, {"a", "b"}, {"--strict", "s"}, {"--seed", "x1", "s"}, {"--seed", "-1", "s"}, {"s", "-o"}, {"--frobnicate", "s"},
        {"--tag-text=yes", "s"}, {"--style", "s", "s"}, {"--check", "f.txt", "s"}, {"--prune", "s"}};
    for (const auto& args : bad) EXPECT_NE(parse_cli(args).error, "") << ::testing::PrintToString(args);
    EXPECT_TRUE(parse_cli({"--strict", "--check", "f.txt"}).options.strict);
}

}  // namespace
}  // namespace tessaro
