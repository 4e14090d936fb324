#include "cli_run.h"

#include <gtest/gtest.h>
#include <sstream>

#include "file_io.h"
#include "support/temp_dir.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace tessaro {
namespace {

TEST(RunCli, exits_two_for_bad_usage_zero_for_help_and_one_keeping_an_old_file_for_a_bad_output_or_style) {
    std::ostringstream out, err;
    EXPECT_EQ(run_cli({"--bogus"}, ".", out, err), EXIT_USAGE);
    EXPECT_NE(err.str().find("--bogus"), std::string::npos);
    EXPECT_EQ(run_cli({"--help"}, ".", out, err), EXIT_DONE);
    EXPECT_NE(out.str().find("STYLE_FOLDER"), std::string::npos);

    test::TempDir dir;
    dir.write("s/points", "a=b [0x2d02]\n");
    dir.write("empty/readme", "no rules here");
    const std::string old = dir.write("o.txt", "precious");
    std::ostringstream err1, err2;
    EXPECT_EQ(run_cli({"-q", "-o", "", dir / "s"}, ".", out, err1), EXIT_FAILED);
    EXPECT_NE(err1.str().find("empty"), std::string::npos);
    EXPECT_EQ(run_cli({"-q", "-o", old, dir / "nothing"}, ".", out, err2), EXIT_FAILED);
    EXPECT_NE(err2.str().find(dir / "nothing"), std::string::npos);
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

#ifdef _WIN32
void write_through_the_code_page(const std::string& path, const std::string& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr) << path;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

TEST(RunCliOnWindows, converts_a_style_folder_named_with_blanks_and_code_page_letters) {
    const std::string style_name = test::in_code_page(L"Stra\u00DFe mit Leerzeichen \u20AC");
    const std::string inc_name = test::in_code_page(L"Gew\u00E4sser");
    if (style_name.empty() || inc_name.empty()) GTEST_SKIP() << "the code page lacks the letters";
    test::TempDir dir;
    const std::string style = join_path(dir.path(), style_name);
    ASSERT_TRUE(CreateDirectoryA(style.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(join_path(style, "inc").c_str(), nullptr));
    write_through_the_code_page(join_path(style, "points"), "amenity=bar [0x2d02 resolution 24]\n");
    write_through_the_code_page(join_path(join_path(style, "inc"), inc_name), "natural=water [0x3c resolution 20]\n");
    const std::string out = join_path(style, "out.txt");
    std::ostringstream cout, cerr;
    ASSERT_EQ(run_cli({"--seed", "1", "-o", out, "--inc-polygons", inc_name, style}, ".", cout, cerr), EXIT_DONE)
        << cerr.str();
    EXPECT_EQ(cerr.str().find(inc_name), std::string::npos) << cerr.str();  // found by the scan, so not unsorted
    const std::string typ = test::read_bytes(out);
    EXPECT_NE(typ.find("\r\n;style:" + style_name + "\r\n"), std::string::npos) << typ;
    EXPECT_NE(typ.find("Type=0x02d02\r\n"), std::string::npos);
    EXPECT_NE(typ.find("Type=0x3c\r\n"), std::string::npos);
}
#endif

}  // namespace
}  // namespace tessaro
