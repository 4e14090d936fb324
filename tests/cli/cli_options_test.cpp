#include "cli_options.h"

#include <gtest/gtest.h>
#include <sstream>

#include "cli_run.h"
#include "support/temp_dir.h"

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
    EXPECT_FALSE(o.points || o.lines || o.polygons);
    EXPECT_TRUE(o.tag_text && o.quiet);
    EXPECT_EQ(o.style_folder, "style");
    EXPECT_EQ(parse_cli({"--", "-odd-name"}).options.style_folder, "-odd-name");
}

TEST(ParseCli, refuses_bad_usage_with_a_reason) {
    EXPECT_NE(parse_cli({}).error, "");
    EXPECT_NE(parse_cli({"a", "b"}).error, "");
    EXPECT_NE(parse_cli({"--seed", "x1", "s"}).error, "");
    EXPECT_NE(parse_cli({"--seed", "-1", "s"}).error, "");
    EXPECT_NE(parse_cli({"s", "-o"}).error, "");
    EXPECT_NE(parse_cli({"--frobnicate", "s"}).error, "");
    EXPECT_NE(parse_cli({"--tag-text=yes", "s"}).error, "");
    EXPECT_EQ(parse_cli({"--help"}).error, "");
}

TEST(RunCli, exits_two_for_bad_usage_and_zero_for_help) {
    std::ostringstream out, err;
    EXPECT_EQ(run_cli({"--bogus"}, ".", out, err), EXIT_USAGE);
    EXPECT_NE(err.str().find("--bogus"), std::string::npos);
    EXPECT_EQ(run_cli({"--help"}, ".", out, err), EXIT_DONE);
    EXPECT_NE(out.str().find("STYLE_FOLDER"), std::string::npos);
}

TEST(RunCli, refuses_an_empty_output_path_and_a_missing_style_folder) {
    test::TempDir dir;
    dir.write("s/points", "a=b [0x2d02]\n");
    std::ostringstream out, err;
    EXPECT_EQ(run_cli({"-q", "-o", "", dir / "s"}, ".", out, err), EXIT_FAILED);
    EXPECT_NE(err.str().find("empty"), std::string::npos);
    std::ostringstream err2;
    EXPECT_EQ(run_cli({"-q", "-o", dir / "o.txt", dir / "nothing"}, ".", out, err2), EXIT_FAILED);
    EXPECT_NE(err2.str().find(dir / "nothing"), std::string::npos);
}

TEST(RunCli, keeps_an_old_output_file_when_it_stops_before_converting) {
    test::TempDir dir;
    dir.write("empty/readme", "no rules here");
    const std::string old = dir.write("o.txt", "precious");
    std::ostringstream out, err;
    EXPECT_EQ(run_cli({"-q", "-o", old, dir / "empty"}, ".", out, err), EXIT_FAILED);
    EXPECT_EQ(test::read_bytes(old), "precious");
}

}  // namespace
}  // namespace tessaro
