// Broken, huge and strange input: the CLI never crashes, never blocks and
// always says what went wrong, naming the file.
#include <filesystem>
#include <gtest/gtest.h>
#include <random>
#include <sstream>
#include <sys/stat.h>

#include "cli_run.h"
#include "support/temp_dir.h"

namespace tessaro {
namespace {

namespace fs = std::filesystem;

const std::string LIBRARY_POINTS = "[_point]\r\nType=0x02d02\r\nXpm=\"1 1 1 1\"\r\n\"a c #000000\"\r\n\"a\"\r\n[end]\r\n";

struct CliOutcome {
    int exit_code;
    std::string err, typ;
};

struct Style {
    test::TempDir dir;
    Style() {
        for (const char* lib : {"res/lines", "res/pgons.pol"}) dir.write(lib, "");
        dir.write("res/points", LIBRARY_POINTS);
    }
    CliOutcome convert(std::vector<std::string> extra = {}, const std::string& out_name = "out.txt") {
        std::vector<std::string> args{"-q", "--seed", "1", "--res", dir / "res", "-o", dir / out_name};
        args.insert(args.end(), extra.begin(), extra.end());
        args.push_back(dir / "s");
        std::ostringstream out, err;
        const int code = run_cli(args, ".", out, err);
        return {code, err.str(), fs::is_regular_file(dir / out_name) ? test::read_bytes(dir / out_name) : ""};
    }
};

std::string random_bytes(std::size_t n, unsigned seed) {
    std::mt19937 gen(seed);
    std::string s(n, '\0');
    for (char& c : s) c = static_cast<char>(gen() & 0xFF);
    return s;
}

TEST(HostileRules, empty_binary_and_random_files_convert_without_complaint) {
    using namespace std::string_literals;
    for (const std::string& bytes : {""s, "\0\0\0[0x\0"s, random_bytes(1 << 20, 1), random_bytes(4096, 2) + "\n[0x2d02]\n"}) {
        Style s;
        for (const char* rules : {"s/points", "s/lines", "s/polygons"}) s.dir.write(rules, bytes);
        const CliOutcome r = s.convert();
        EXPECT_EQ(r.exit_code, 0) << r.err;
        EXPECT_EQ(r.typ.rfind("[_id]\r\n", 0), 0u);
    }
}

TEST(HostileRules, huge_lines_and_many_lines_are_read_whole) {
    Style s;
    s.dir.write("s/points", std::string(100u << 20, 'x') + " [0x2d02 resolution 24]\n");
    std::string many;
    many.reserve(16u << 20);
    for (int i = 0; i < 1000000; ++i) many += (i % 1000 == 0) ? "a=b [0x02]\n" : "a=b\n";
    s.dir.write("s/lines", many);
    s.dir.write("s/polygons", "");
    const CliOutcome r = s.convert();
    EXPECT_EQ(r.exit_code, 0) << r.err;
    EXPECT_NE(r.typ.find("Type=0x02d02"), std::string::npos);
    EXPECT_NE(r.typ.find("Type=0x02\r\n"), std::string::npos);
}

TEST(HostileRules, odd_line_ends_marks_and_brackets_still_give_their_codes) {
    Style s;
    s.dir.write("s/points", "\xEF\xBB\xBF" "amenity=bar [0x2d02 resolution 24]\n");
    s.dir.write("s/lines", "a=b [0x02]\rc=d [0x03]\r");
    s.dir.write("s/polygons", "a=b [0x3c]\nc=d [ 0x3d resolution 24]\ne=f [0x3e] [0x3f]\ng=h [\n[\n");
    const CliOutcome r = s.convert();
    EXPECT_EQ(r.exit_code, 0) << r.err;
    // After a BOM the rule's condition keeps it; the code is found all the same.
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
    const CliOutcome r = s.convert({"--auto-inc"});
    EXPECT_EQ(r.exit_code, 0) << r.err;
    EXPECT_NE(r.err.find(s.dir / "s/points"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(s.dir / "s/lines"), std::string::npos) << r.err;
    EXPECT_EQ(r.typ.find("[_"), 0u);  // the header only

    const CliOutcome named = s.convert({"--inc-lines", "pipe"});
    EXPECT_EQ(named.exit_code, 2);
    EXPECT_NE(named.err.find("pipe"), std::string::npos);
}
#endif

TEST(HostileLibraries, broken_libraries_give_no_look_and_no_crash) {
    using namespace std::string_literals;
    const std::string unclosed = "Type=0x02d02\r\nXpm=\"x\"\r\n[End]\r\n";
    for (const std::string& lib : {""s, "\0\0Type=0x\0"s, random_bytes(3u << 20, 3), unclosed, "x Type=0x02d02"s,
                                   "Type=0x02d02"s}) {
        Style s;
        s.dir.write("res/points", lib);
        s.dir.write("s/points", "amenity=bar [0x2d02 resolution 24]\n");
        const CliOutcome r = s.convert({"--tag-text"});
        EXPECT_EQ(r.exit_code, 0) << r.err;
        EXPECT_EQ(r.typ.find("[_point]"), std::string::npos);
    }
    Style huge;
    std::string big(64u << 20, ';');
    huge.dir.write("res/points", big + LIBRARY_POINTS);
    huge.dir.write("s/points", "amenity=bar [0x2d02 resolution 24]\n");
    EXPECT_NE(huge.convert().typ.find("Type=0x02d02"), std::string::npos);
}

TEST(HostileOutput, unwritable_paths_are_named_and_exit_one) {
    Style s;
    s.dir.write("s/points", "amenity=bar [0x2d02 resolution 24]\n");
    fs::create_directory(s.dir / "folder.txt");
    for (const std::string& out : {std::string("missing/out.txt"), std::string("folder.txt")}) {
        const CliOutcome r = s.convert({}, out);
        EXPECT_EQ(r.exit_code, 1) << out;
        EXPECT_NE(r.err.find(s.dir / out), std::string::npos) << r.err;
        EXPECT_EQ(r.err.find("TYP file created"), std::string::npos);
    }
    EXPECT_TRUE(fs::is_directory(s.dir / "folder.txt"));
}

}  // namespace
}  // namespace tessaro
