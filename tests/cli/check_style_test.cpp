// tessaro-cli --check FILE --style STYLE: a TYP text held against the style
// it was made from, after the style or the text changed.
#include <gtest/gtest.h>

#include "file_io.h"
#include "support/cli_capture.h"
#include "support/temp_dir.h"

namespace tessaro {
namespace {

const std::string SOURCE = TESSARO_SOURCE_DIR;

std::string convert(const std::string& style, const std::string& out) {
    const test::CliOutput r = test::convert(style, out);
    EXPECT_EQ(r.exit_code, EXIT_DONE) << r.err;
    return out;
}

TEST(CheckAgainstStyle, names_a_removed_rule_an_added_rule_and_an_undrawn_polygon_and_fails_for_a_style_it_cannot_read) {
    test::TempDir dir;
    dir.write("s/points", "amenity=bar [0x2d02 resolution 24]\nshop=bakery [0x2e02 resolution 24]\n");
    dir.write("s/lines", "highway=primary [0x02 resolution 20]\nhighway=track [0x0a resolution 22]\n");
    dir.write("s/polygons", "natural=water [0x3c resolution 20]\nlanduse=forest [0x50 resolution 20]\n");
    const std::string out = convert(dir / "s", dir / "out.txt");
    EXPECT_EQ(test::cli({"--check", out, "--style", dir / "s"}).exit_code, EXIT_DONE);
    EXPECT_EQ(test::cli({"--check", out, "--style", dir / "s", "--inc-points", "gone"}).exit_code, EXIT_FAILED);
    const test::CliOutput missing = test::cli({"--check", out, "--style", dir / "nothing"});
    EXPECT_EQ(missing.exit_code, EXIT_FAILED);
    EXPECT_EQ(missing.err, "tessaro-cli: " + (dir / "nothing") + ": no such folder\n");

    dir.write("s/lines", "highway=primary [0x02 resolution 20]\n");
    dir.write("s/points", "amenity=bar [0x2d02 resolution 24]\nshop=bakery [0x2e02 resolution 24]\n"
                          "amenity=fuel [0x2f01 resolution 24]\n");
    std::string text = test::read_bytes(out);
    const std::size_t forest = text.find("Type=0X50,2\r\n");
    ASSERT_NE(forest, std::string::npos);
    text.erase(forest, 13);
    dir.write("out.txt", text);

    const test::CliOutput r = test::cli({"--check", out, "--style", dir / "s/"});
    EXPECT_EQ(r.exit_code, EXIT_FAILED);
    const std::size_t track = text.find("Type=0x00a00\r\n");
    const std::size_t forest_entry = text.find("Type=0x50\r\n");
    ASSERT_NE(track, std::string::npos);
    ASSERT_NE(forest_entry, std::string::npos);
    const auto line_of = [&](std::size_t at) { return std::to_string(std::count(text.begin(), text.begin() + at, '\n')); };
    // The reader's own warning of the polygon first, on its Type= line; then what the style tells.
    EXPECT_EQ(r.err, out + ":" + std::to_string(std::stoul(line_of(forest_entry)) + 1) +
                         ": warning: polygon type is not in the draw order; mkgmap does not draw it\n" +
                         out + ": point type 0x2f01 of " + join_path(dir / "s", "points") + ":3 has no entry\n" +
                         out + ":" + line_of(forest_entry) + ": polygon type 0x50 has no draw order line: mkgmap does not draw it\n" +
                         out + ":" + line_of(track) + ": line type 0x00a00 has an entry but the style does not use it\n");
    EXPECT_TRUE(r.out.empty()) << r.out;
}

// Of mkgmap's styles, the conversion and the reading --check makes are each
// held against mkgmap's own reading (the mkgmap styles test, the core's).
TEST(CheckAgainstStyle, finds_nothing_in_a_fresh_conversion_of_the_alpine_example_read_with_its_include_groups) {
    test::TempDir dir;
    const std::string alpine = SOURCE + "/examples/alpine";
    const std::string out = convert(alpine, dir / "alpine.txt");
    const test::CliOutput a = test::cli({"--check", out, "--style", alpine, "--auto-inc"});
    EXPECT_EQ(a.exit_code, EXIT_DONE) << a.err;
    EXPECT_TRUE(a.err.empty()) << a.err;
    // Read without the include groups the text was made with, the style lacks their types.
    const test::CliOutput bare = test::cli({"--check", out, "--style", alpine});
    EXPECT_EQ(bare.exit_code, EXIT_FAILED);
    EXPECT_NE(bare.err.find("has an entry but the style does not use it\n"), std::string::npos) << bare.err;
}

}  // namespace
}  // namespace tessaro
