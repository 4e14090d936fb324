#include "file_io.h"
#include "support/cli_capture.h"

namespace tessaro {
namespace {
TEST(CheckAgainstStyle, names_a_removed_rule_an_added_rule_and_an_undrawn_polygon_and_fails_for_a_style_it_cannot_read) {
    test::TempDir dir;
    dir.write_files({{"s/points", "amenity=bar [0x2d02 resolution 24]\nshop=bakery [0x2e02 resolution 24]\n"},
                     {"s/lines", "highway=primary [0x02 resolution 20]\nhighway=track [0x0a resolution 22]\n"},
                     {"s/polygons", "natural=water [0x3c resolution 20]\nlanduse=forest [0x50 resolution 20]\n"}});
    const std::string out = dir / "out.txt";
    ASSERT_EQ(test::convert(dir / "s", out).exit_code, EXIT_DONE);
    EXPECT_EQ(test::cli({"--check", out, "--style", dir / "s"}).exit_code, EXIT_DONE);
    EXPECT_EQ(test::cli({"--check", out, "--style", dir / "s", "--inc-points", "gone"}).exit_code, EXIT_FAILED);
    const test::CliOutput missing = test::cli({"--check", out, "--style", dir / "nothing"});
    EXPECT_EQ(missing.exit_code, EXIT_FAILED);
    EXPECT_EQ(missing.err, "tessaro-cli: " + (dir / "nothing") + ": no such folder\n");
    dir.write("s/lines", "highway=primary [0x02 resolution 20]\n");
    dir.write("s/points", "amenity=bar [0x2d02 resolution 24]\nshop=bakery [0x2e02 resolution 24]\n"
                          "amenity=fuel [0x2f01 resolution 24]\n");
    const std::string text = replace_all(test::read_bytes(out), "Type=0X50,2\r\n", "");  // the forest undrawn
    ASSERT_NE(text, test::read_bytes(out));
    dir.write("out.txt", text);
    const test::CliOutput r = test::cli({"--check", out, "--style", dir / "s/"});
    EXPECT_EQ(r.exit_code, EXIT_FAILED);
    // "OUT:N: " naming the line above the first that holds `what` (its entry's [_...] line), or one `below` it.
    const auto at = [&](const char* what, int below = 0) {
        const std::string before = text.substr(0, text.find(what));
        return out + ":" + std::to_string(std::count(before.begin(), before.end(), '\n') + below) + ": ";
    };
    EXPECT_EQ(r.err, at("Type=0x50\r\n", 1) + "warning: polygon type is not in the draw order; mkgmap does not draw it\n" +
                         out + ": point type 0x2f01 of " + join_path(dir / "s", "points") + ":3 has no entry\n" +
                         at("Type=0x50\r\n") + "polygon type 0x50 has no draw order line: mkgmap does not draw it\n" +
                         at("Type=0x00a00\r\n") + "line type 0x00a00 has an entry but the style does not use it\n");
    EXPECT_EQ(r.out, out + ": 6 entries, 0 errors, 1 warning, 3 findings against the style\n");
}

TEST(CheckAgainstStyle, says_once_that_entries_the_style_seems_not_to_use_come_from_include_files_the_check_did_not_read) {
    test::TempDir dir;
    dir.write_files({{"s/points", "amenity=bar [0x2d02 resolution 24]\n"},
                     {"s/lines", "highway=primary [0x02 resolution 20]\ninclude 'inc/roads';\n"},
                     {"s/inc/roads", "highway=track [0x0a resolution 22]\nhighway=path [0x16 resolution 22]\n"},
                     {"s/polygons", "natural=water [0x3c resolution 20]\n"}});
    const std::string out = dir / "out.txt";
    ASSERT_EQ(test::cli({"--res", TESSARO_SOURCE_DIR "/res", "--auto-inc", "-o", out, dir / "s"}).exit_code, EXIT_DONE);
    EXPECT_EQ(test::cli({"--check", out, "--style", dir / "s", "--auto-inc"}).err, "");
    const test::CliOutput r = test::cli({"--check", out, "--style", dir / "s"});
    EXPECT_EQ(r.exit_code, EXIT_FAILED);
    const std::string hint = out + ": 2 entries are of types that the style's include files give, which this check did not read: "
                                   "give the include options the text was made with (--auto-inc, --inc-points, --inc-lines, --inc-polygons)\n";
    EXPECT_TRUE(r.err.ends_with("has an entry but the style does not use it\n" + hint)) << r.err;
    // An entry no include file explains is named without the line.
    dir.write("s/inc/roads", "highway=track [0x0a resolution 22]\n");
    dir.write("s/lines", "include 'inc/roads';\n");
    const std::string err = test::cli({"--check", out, "--style", dir / "s"}).err;
    EXPECT_NE(err.find(": 1 entry is of types"), std::string::npos) << err;
    EXPECT_EQ(test::cli({"--check", out, "--style", dir / "s", "--auto-inc"}).err.find("include options"), std::string::npos);
}

TEST(CheckAgainstStyle, names_the_faults_of_the_style_as_the_run_does) {
    test::TempDir dir;
    const std::string style = TESSARO_SOURCE_DIR "/tests/data/open_constructs";
    const std::string out = dir / "out.txt";
    const test::CliOutput run = test::cli({"--res", TESSARO_SOURCE_DIR "/res", "-o", out, style});
    ASSERT_EQ(run.exit_code, EXIT_DONE) << run.err;
    const test::CliOutput check = test::cli({"--check", out, "--style", style});
    std::size_t faults = 0;
    for (std::size_t at = run.err.find("warning: "); at != std::string::npos; at = run.err.find("warning: ", at + 1)) {
        const std::string line = run.err.substr(at, run.err.find('\n', at) - at);
        if (line.find("never closed") == std::string::npos && line.find("type brackets") == std::string::npos) continue;
        ++faults;
        EXPECT_NE(check.err.find(line), std::string::npos) << line << "\n" << check.err;
    }
    EXPECT_EQ(faults, 5u) << run.err;
}
}  // namespace
}  // namespace tessaro
