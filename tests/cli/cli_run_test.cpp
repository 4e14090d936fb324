#include "cli_run.h"

#include <gtest/gtest.h>
#include <sstream>

#include "support/temp_dir.h"

namespace tessaro {
namespace {

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

#ifndef _WIN32
TEST(RunCli, reports_a_file_that_could_not_be_written_completely) {
    test::TempDir dir;
    dir.write("s/points", "a=b [0x2d02]\n");
    dir.write("s/lines", "a=b [0x02]\n");
    std::ostringstream out, err;
    EXPECT_EQ(run_cli({"-q", "--seed", "1", "-o", "/dev/full", dir / "s"}, ".", out, err), EXIT_FAILED);
    EXPECT_NE(err.str().find("/dev/full: the TYP text is incomplete"), std::string::npos);
    EXPECT_EQ(err.str().find("TYP file created"), std::string::npos);
}
#endif

}  // namespace
}  // namespace tessaro
