#include "cli_run.h"

#include "file_io.h"
#include "support/cli_capture.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <sys/sysmacros.h>
#endif

namespace tessaro {
namespace {
TEST(RunCli, exits_two_for_bad_usage_zero_for_help_and_one_keeping_an_old_file_for_a_bad_output_style_or_library) {
    EXPECT_EQ(test::cli({"--help"}).exit_code, EXIT_DONE);
    test::TempDir dir;
    dir.write_files({{"s/points", "a=b [0x2d02]\n"}, {"s/lines", "a=b [0x02]\n"}, {"empty/readme", "no rules here"},
                     {"folder.txt/readme", ""}});
    const std::string old = dir.write("o.txt", "precious");
    // Not quiet, so that a run that says it created the text is caught.
    std::vector<std::tuple<std::vector<std::string>, std::string, int>> failures = {
        {{"--bogus"}, "--bogus", EXIT_USAGE}, {{"-o", "", dir / "s"}, "empty", EXIT_FAILED},
        {{"-o", dir / "missing/out.txt", dir / "s"}, dir / "missing/out.txt", EXIT_FAILED},
        {{"-o", dir / "folder.txt", dir / "s"}, dir / "folder.txt", EXIT_FAILED}, {{"-o", old, dir / "nothing"}, dir / "nothing", EXIT_FAILED},
        {{"-o", old, "--res", dir / "empty", "--no-points", dir / "s"}, "no library files", EXIT_FAILED}};
#ifndef _WIN32
    if (mknod((dir / "full").c_str(), S_IFCHR | 0666, makedev(1, 7)) == 0)
        failures.push_back({{"--seed", "1", "-o", dir / "full", dir / "s"}, dir / "full" + ": the TYP text is incomplete", EXIT_FAILED});
#endif
    for (const auto& [args, said, code] : failures) {
        const test::CliOutput r = test::cli(args);
        EXPECT_TRUE(r.exit_code == code && test::has(r.err, said) && !test::has(r.err, "TYP file created"))
            << said << ": " << r.err;
    }
    EXPECT_EQ(test::read_bytes(old), "precious");
}

// A name that names no file of the style, or could lead out of it, is bad usage.
TEST(RunCli, sorts_files_outside_the_include_folder_by_the_names_the_messages_give) {
    test::TempDir dir;
    dir.write_files({{"s/points", "amenity=bar [0x2d02]\ninclude 'sub/more';\n"}, {"s/lines", "include 'extra';\n"},
                     {"s/sub/more", "amenity=restaurant [0x2a00 resolution 24]\n"}, {"s/extra", "highway=x [0x05 resolution 20]\n"},
                     {"outside", "amenity=fuel [0x2f01 resolution 24]\n"}});
    const std::string out = dir / "out.txt";
    const test::CliOutput named = test::cli({"--seed", "1", "--inc-points", "sub//more", "--inc-lines", "./extra", "-o", out, dir / "s"});
    EXPECT_TRUE(named.exit_code == EXIT_DONE && !test::has(named.err, "no group")) << named.err;
    EXPECT_TRUE(test::has(test::read_bytes(out), "Type=0x02a00") && test::has(test::read_bytes(out), "Type=0x00500"));
    for (const char* bad : {"../outside", "sub/none", "/etc", "sub"}) {
        const test::CliOutput r = test::cli({"--inc-points", bad, "-o", out, dir / "s"});
        EXPECT_TRUE(r.exit_code == EXIT_USAGE && test::has(r.err, std::string(bad) + ": no such include file in " + (dir / "s"))) << bad;
    }
}

#ifdef _WIN32
// Through the ANSI functions, which spell the name in the code page.
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
    test::StringOut cout, cerr;
    ASSERT_EQ(run_cli({"--seed", "1", "-o", out, "--inc-polygons", inc_name, style}, ".", cout, cerr), EXIT_DONE) << cerr.str();
    EXPECT_EQ(cerr.str().find(inc_name), std::string::npos) << cerr.str();  // found by the scan, so not unsorted
    const std::string typ = test::read_bytes(out);
    EXPECT_NE(typ.find("\r\n;style:" + style_name + "\r\n"), std::string::npos) << typ;
    EXPECT_NE(typ.find("Type=0x02d02\r\n"), std::string::npos);
    EXPECT_NE(typ.find("Type=0x3c\r\n"), std::string::npos);
}
#endif

TEST(RunCli, reports_where_each_look_came_from_in_the_order_of_the_text) {
    test::TempDir dir;
    test::write_library(dir, "res");
    dir.write("s/points", "amenity=bar [0x2d02]\namenity=fuel\t[0x10f05 resolution 24]\n");
    dir.write("s/lines", "highway=primary [0x02]\nhighway=x [0x10001]\n");
    const std::string out = dir / "out.txt";
    const std::string report = dir / "looks.tsv";
    const test::CliOutput r = test::cli({"--seed", "1", "--res", dir / "res", "--report", report, "-o", out, dir / "s"});
    EXPECT_EQ(r.exit_code, EXIT_DONE) << r.err;
    EXPECT_EQ(test::read_bytes(report), "section\tcode\tsource\tlibrary look\tmatched tags\twhy\tcondition\n"
                                        "line\t0x02\ttable\t-\t-\tthe code's built-in look\thighway=primary\n"
                                        "line\t0x10001\tfamily\t-\t-\tno look for the tags: a colour of the key's family\thighway=x\n"
                                        "point\t0x02d02\tlibrary\t-\t-\tthe code's look\tamenity=bar\n"
                                        "point\t0x10f05\tmarker\t-\t-\tthe marker of the code's category\tamenity=fuel\n");
    // Classic looks keep the report's old lines: no header, no reason.
    ASSERT_EQ(test::cli({"--classic-looks", "--seed", "1", "--res", dir / "res", "--report", report, "-o", out, dir / "s"}).exit_code,
              EXIT_DONE);
    EXPECT_EQ(test::read_bytes(report), "line\t0x02\ttable\t-\t-\thighway=primary\n" "line\t0x10001\trandom\t-\t-\thighway=x\n"
                                        "point\t0x02d02\tlibrary\t-\t-\tamenity=bar\n");
}
}  // namespace
}  // namespace tessaro
