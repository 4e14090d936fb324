#include "cli_options.h"

#include <gtest/gtest.h>

namespace tessaro {
namespace {
TEST(ParseCli, reads_values_after_an_equals_sign_a_style_after_a_double_dash_and_short_and_long_names_alike) {
    const CliParse p = parse_cli({"--res=r", "--seed=42", "style"});
    ASSERT_EQ(p.error, "");
    EXPECT_EQ(std::tie(p.options.res_dir, p.options.seed, p.options.style_folder), std::make_tuple("r", 42u, "style"));
    EXPECT_EQ(parse_cli({"--", "-odd-name"}).options.style_folder, "-odd-name");
    const CliParse shorts = parse_cli({"-q", "-h", "-o", "out.txt", "style"});
    const CliParse longs = parse_cli({"--quiet", "--help", "--output", "out.txt", "--version", "style"});
    for (const CliParse* q : {&shorts, &longs}) {
        ASSERT_EQ(q->error, "");
        EXPECT_TRUE(q->options.quiet && q->options.help);
        EXPECT_EQ(std::tie(q->options.output, q->options.style_folder), std::make_tuple("out.txt", "style"));
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
