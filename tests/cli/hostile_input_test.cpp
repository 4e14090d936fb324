// Broken, huge and strange input: the CLI never crashes, never blocks and
// always says what went wrong, naming the file.
#include <filesystem>
#include <gtest/gtest.h>
#include <random>
#include <sys/stat.h>

#include "support/cli_capture.h"
#include "support/temp_dir.h"

namespace tessaro {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

const std::string LIBRARY_POINTS = "[_point]\r\nType=0x02d02\r\nXpm=\"1 1 1 1\"\r\n\"a c #000000\"\r\n\"a\"\r\n[end]\r\n";
const std::string BAR = "amenity=bar [0x2d02 resolution 24]\n";

struct Outcome : test::CliOutput {
    std::string typ;
};

// A library folder with one point look, and a style "s" written by the test.
struct Style {
    test::TempDir dir;
    explicit Style(const std::string& points = "", const std::string& library_points = LIBRARY_POINTS) {
        dir.write("res/lines", "");
        dir.write("res/pgons.pol", "");
        dir.write("res/points", library_points);
        if (!points.empty()) dir.write("s/points", points);
    }
    Outcome convert(std::vector<std::string> extra = {}, const std::string& out_name = "out.txt") {
        std::vector<std::string> args{"-q", "--seed", "1", "--res", dir / "res", "-o", dir / out_name};
        args.insert(args.end(), extra.begin(), extra.end());
        args.push_back(dir / "s");
        Outcome r{test::cli(args), ""};
        if (fs::is_regular_file(dir / out_name)) r.typ = test::read_bytes(dir / out_name);
        return r;
    }
};

std::string random_bytes(std::size_t n, unsigned seed) {
    std::mt19937 gen(seed);
    std::string s(n, '\0');
    for (char& c : s) c = static_cast<char>(gen() & 0xFF);
    return s;
}

TEST(HostileRules, empty_binary_and_random_files_convert_without_complaint) {
    for (const std::string& bytes : {""s, "\0\0\0[0x\0"s, random_bytes(1 << 20, 1), random_bytes(4096, 2) + "\n[0x2d02]\n"}) {
        Style s;
        for (const char* rules : {"s/points", "s/lines", "s/polygons"}) s.dir.write(rules, bytes);
        const Outcome r = s.convert();
        EXPECT_EQ(r.exit_code, 0) << r.err;
        EXPECT_EQ(r.typ.rfind("[_id]\r\n", 0), 0u);
    }
}

TEST(HostileRules, huge_lines_many_lines_odd_line_ends_marks_and_brackets_still_give_their_codes) {
    Style s(std::string(100u << 20, 'x') + " " + BAR);
    std::string many;
    many.reserve(16u << 20);
    for (int i = 0; i < 1000000; ++i) many += (i % 1000 == 0) ? "a=b [0x02]\n" : "a=b\n";
    s.dir.write("s/lines", many);
    s.dir.write("s/polygons", "");
    Outcome r = s.convert();
    EXPECT_EQ(r.exit_code, 0) << r.err;
    EXPECT_NE(r.typ.find("Type=0x02d02"), std::string::npos);
    EXPECT_NE(r.typ.find("Type=0x02\r\n"), std::string::npos);

    // After a BOM the rule's condition keeps it; the code is found all the same. CR alone ends lines.
    s.dir.write("s/points", "\xEF\xBB\xBF" + BAR);
    s.dir.write("s/lines", "a=b [0x02]\rc=d [0x03]\r");
    s.dir.write("s/polygons", "a=b [0x3c]\nc=d [ 0x3d resolution 24]\ne=f [0x3e] [0x3f]\ng=h [\n[\n");
    r = s.convert();
    EXPECT_EQ(r.exit_code, 0) << r.err;
    for (const char* code : {"Type=0x02d02", "Type=0x02\r\n", "Type=0x3c\r\n", "Type=0x3e\r\n"})
        EXPECT_NE(r.typ.find(code), std::string::npos) << code;
    EXPECT_EQ(r.typ.find("Type=0x3f"), std::string::npos);
}

#ifndef _WIN32
TEST(HostileRules, pipes_folders_and_dangling_links_are_named_and_skipped) {
    Style s;
    fs::create_directories(s.dir / "s/inc");
    ASSERT_EQ(mkfifo((s.dir / "s/points").c_str(), 0600), 0);
    fs::create_directory_symlink(s.dir / "nowhere", s.dir / "s/lines");
    fs::create_directory(s.dir / "s/polygons");
    ASSERT_EQ(mkfifo((s.dir / "s/inc/pipe").c_str(), 0600), 0);
    fs::create_symlink(s.dir / "gone", s.dir / "s/inc/dangling");
    const Outcome r = s.convert({"--auto-inc"});
    EXPECT_EQ(r.exit_code, 0) << r.err;
    for (const char* named : {"s/points", "s/lines"}) EXPECT_NE(r.err.find(s.dir / named), std::string::npos) << r.err;
    EXPECT_EQ(r.typ.find("[_"), 0u);  // the header only
    const Outcome pipe = s.convert({"--inc-lines", "pipe"});
    EXPECT_EQ(pipe.exit_code, 2);
    EXPECT_NE(pipe.err.find("pipe"), std::string::npos);
}
#endif

TEST(HostileLibraries, broken_libraries_give_no_look_and_no_crash) {
    const std::string unclosed = "Type=0x02d02\r\nXpm=\"x\"\r\n[End]\r\n";
    for (const std::string& lib : {""s, "\0\0Type=0x\0"s, random_bytes(3u << 20, 3), unclosed, "x Type=0x02d02"s,
                                   "Type=0x02d02"s}) {
        const Outcome r = Style(BAR, lib).convert({"--tag-text"});
        EXPECT_EQ(r.exit_code, 0) << r.err;
        EXPECT_EQ(r.typ.find("[_point]"), std::string::npos);
    }
    EXPECT_NE(Style(BAR, std::string(64u << 20, ';') + LIBRARY_POINTS).convert().typ.find("Type=0x02d02"), std::string::npos);
}

TEST(HostileOutput, unwritable_paths_are_named_and_exit_one) {
    Style s(BAR);
    fs::create_directory(s.dir / "folder.txt");
    for (const std::string& out : {"missing/out.txt"s, "folder.txt"s}) {
        const Outcome r = s.convert({}, out);
        EXPECT_EQ(r.exit_code, 1) << out;
        EXPECT_NE(r.err.find(s.dir / out), std::string::npos) << r.err;
        EXPECT_EQ(r.err.find("TYP file created"), std::string::npos);
    }
    EXPECT_TRUE(fs::is_directory(s.dir / "folder.txt"));
}

}  // namespace
}  // namespace tessaro
