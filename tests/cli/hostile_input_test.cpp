#include <cstdio>
#include <random>
#include <sys/stat.h>
#ifndef _WIN32
#include <sys/sysmacros.h>
#endif

#include "file_io.h"
#include "support/cli_capture.h"

namespace tessaro {
namespace {
namespace fs = std::filesystem;
using namespace std::string_literals;
using test::run_shell, test::shell_quoted, test::BAR_RULE, test::has;
using Style = test::LibraryStyle;
using Outcome = test::Converted;

std::string random_bytes(std::size_t n, unsigned seed) {
    std::mt19937 gen(seed);
    std::string s(n, '\0');
    for (char& c : s) c = static_cast<char>(gen() & 0xFF);
    return s;
}

// Binary files (NUL bytes: also UTF-16) are no rule text: named, and the text incomplete.
TEST(HostileRules, empty_binary_random_and_huge_rule_files_convert_and_give_the_codes_they_hold) {
    for (const std::string& bytes : {""s, "\0\0\0[0x\0"s, random_bytes(1 << 20, 1), random_bytes(4096, 2) + "\n[0x2d02]\n",
                                     "\xff\xfe[\0" "0\0x\0" "2\0]\0"s}) {
        Style s;
        for (const char* rules : {"s/points", "s/lines", "s/polygons"}) s.dir.write(rules, bytes);
        const Outcome r = s.convert();
        const bool binary = bytes.find('\0') != std::string::npos;
        EXPECT_TRUE(r.exit_code == (binary ? 1 : 0) && bool(has(r.err, "not readable as text")) == binary) << r.err;
        EXPECT_EQ(r.typ.rfind("[_id]\r\n", 0), 0u);
    }
    // A line of 100 MB is no rule: named and passed over; the rule after it counts.
    Style s(std::string(100u << 20, 'x') + " [0x2d03]\n" + BAR_RULE);
    std::string many = "\xEF\xBB\xBF";
    many.reserve(16u << 20);
    for (int i = 0; i < 1000000; ++i) many += (i % 1000 == 0) ? "a=b [0x02]\n" : "a=b\n";
    s.dir.write("s/lines", many);
    const Outcome r = s.convert();
    EXPECT_EQ(r.exit_code, 0) << r.err;
    EXPECT_TRUE(has(r.typ, "Type=0x02d02") && has(r.typ, "Type=0x02\r\n") && !has(r.typ, "Type=0x02d03")) << r.typ;
}

TEST(HostileLibraries, broken_libraries_give_no_look_and_no_crash) {
    for (const std::string& lib : {"\0\0Type=0x\0"s, random_bytes(3u << 20, 3), "x Type=0x02d02"s, "Type=0x02d02\xff\r\n[end]\r\n"s}) {
        // With classic looks nothing stands in for the library's look.
        const Outcome r = Style(BAR_RULE, lib).convert("out.txt", {"--tag-text", "--classic-looks"});
        EXPECT_TRUE(r.exit_code == 0 && !has(r.typ, "[_point]")) << r.err;
    }
    EXPECT_TRUE(has(Style(BAR_RULE, std::string(64u << 20, ';') + test::BAR_POINT_LOOK).convert().typ, "Type=0x02d02"));
}

#ifndef _WIN32
TEST(HostileRules, unreadable_files_pipes_and_dangling_links_among_the_rules_are_named_and_the_text_written_but_incomplete) {
    Style odd;
    fs::remove(odd.dir / "s/points");
    fs::create_directories(odd.dir / "s/inc");
    ASSERT_EQ(mkfifo((odd.dir / "s/points").c_str(), 0600), 0);
    fs::create_directory_symlink(odd.dir / "nowhere", odd.dir / "s/lines");
    fs::create_directory(odd.dir / "s/polygons");
    ASSERT_EQ(mkfifo((odd.dir / "s/inc/pipe").c_str(), 0600), 0);
    fs::create_symlink(odd.dir / "gone", odd.dir / "s/inc/dangling");
    const Outcome listed = odd.convert("out.txt", {"--auto-inc"});
    EXPECT_EQ(listed.exit_code, 1) << listed.err;
    for (const char* named : {"s/points", "s/lines", "s/polygons"}) EXPECT_TRUE(has(listed.err, odd.dir / named));
    EXPECT_EQ(listed.typ.find("[_"), 0u);  // the header only
    const Outcome pipe = odd.convert("out.txt", {"--inc-lines", "pipe"});
    EXPECT_TRUE(pipe.exit_code == 2 && has(pipe.err, "pipe")) << pipe.err;
    Style s;
    s.dir.write("s/lines", "highway=x [0x02]\n");
    const std::string why = test::make_unreadable(s.dir.write("s/points", BAR_RULE));
    if (why.empty()) GTEST_SKIP() << "no file here that exists and fails to be read";
    const auto said = [&](const std::string& file, const std::string& entries) {
        return "tessaro-cli: " + file + ": " + why + "\ntessaro-cli: " + (s.dir / "out.txt") +
               ": TYP text written but incomplete: the types of " + file + " are missing (" + entries + " entries written)\n";
    };
    const Outcome r = s.convert();
    EXPECT_TRUE(r.exit_code == 1 && has(r.typ, "Type=0x02\r\n"));
    EXPECT_EQ(r.err, said(s.dir / "s/points", "0 point, 1 line and 0 polygon"));
    fs::remove(s.dir / "s/points");  // not written through: a link would lead into this process
    s.dir.write_files({{"s/points", BAR_RULE}, {"s/inc/roads", "highway=y [0x03 resolution 20]\n"}});
    test::make_unreadable(s.dir.write("s/inc/tracks", "highway=z [0x04 resolution 20]\n"));
    const Outcome inc = s.convert("out.txt", {"--inc-lines", "roads", "--inc-lines", "tracks"});
    EXPECT_EQ(inc.exit_code, 1);
    EXPECT_EQ(inc.err, said(join_path(join_path(s.dir / "s", "inc"), "tracks"), "1 point, 2 line and 0 polygon"));
    EXPECT_EQ(s.convert("out.txt", {"--inc-lines", "roads"}).exit_code, 1);
}

TEST(HostileOutput, links_keep_their_place_and_devices_and_the_standard_output_are_written_where_they_are) {
    Style s;
    const std::string expected = s.convert().typ;
    ASSERT_TRUE(has(expected, "Type=0x02d02"));
    s.dir.write("old.txt", "old");
    fs::create_symlink(s.dir / "old.txt", s.dir / "to-old.txt");
    fs::create_symlink("to-old.txt", s.dir / "to-to-old.txt");
    fs::create_symlink(s.dir / "new.txt", s.dir / "to-new.txt");
    for (const char* link : {"to-old.txt", "to-to-old.txt", "to-new.txt"})
        EXPECT_TRUE(s.convert(link).exit_code == 0 && fs::is_symlink(fs::symlink_status(s.dir / link))) << link;
    for (const char* target : {"old.txt", "new.txt"}) EXPECT_EQ(test::read_bytes(s.dir / target), expected);
    EXPECT_FALSE(s.has_temporary_file());
    // A null device of the test's own (making one takes root): written into, never replaced.
    const std::string null_device = s.dir / "null";
    if (mknod(null_device.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0) {
        EXPECT_EQ(run_shell(s.command(null_device)), 0);
        EXPECT_TRUE(fs::is_character_file(null_device));
    }
    ASSERT_EQ(mkfifo((s.dir / "pipe").c_str(), 0600), 0);
    EXPECT_EQ(s.convert("pipe").exit_code, 1);
    // The program itself, in a shell of its own: a link to the standard output delivers the text there and stays.
    fs::create_symlink("/proc/self/fd/1", s.dir / "stdout.txt");
    ASSERT_EQ(run_shell(s.command(s.dir / "stdout.txt") + " > " + shell_quoted(s.dir / "captured")), 0);
    EXPECT_EQ(test::read_bytes(s.dir / "captured"), expected);
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(s.dir / "stdout.txt")));
    ASSERT_EQ(run_shell(s.command("/dev/stdout") + " | cat > " + shell_quoted(s.dir / "piped")), 0);
    EXPECT_EQ(test::read_bytes(s.dir / "piped"), expected);
}

TEST(HostileOutput, a_failed_run_leaves_the_old_text_and_nothing_else_and_two_runs_at_once_leave_one_whole_text) {
    Style a(BAR_RULE), b(BAR_RULE);
    a.dir.write("s/lines", test::many_line_rules(1000));
    b.dir.write("s/lines", test::many_line_rules(5000));
    const std::string old = a.dir.write("out.txt", "precious, edited by hand");
    // A leftover of a run killed earlier is neither taken for the output nor in the way.
    const std::string leftover = a.dir.write(".out.txt.tessaro-killed0000.part", "half a text");
    // The shell lets the program write 64 KB at most: the write fails with EFBIG half-way.
    EXPECT_EQ(run_shell("trap '' XFSZ; ulimit -f 64; exec " + a.command(old) + " 2> " + shell_quoted(a.dir / "err")), 1);
    EXPECT_TRUE(has(test::read_bytes(a.dir / "err"), old));
    EXPECT_EQ(test::read_bytes(old), "precious, edited by hand");
    EXPECT_EQ(a.names(), (std::set<std::string>{".out.txt.tessaro-killed0000.part", "err", "out.txt", "res", "s"}));
    EXPECT_EQ(test::read_bytes(leftover), "half a text");
    const std::string text_a = a.convert().typ, text_b = b.convert().typ;
    ASSERT_TRUE(has(text_a, "Type=0x11699") && text_a != text_b);
    const std::string out = a.dir / "shared.txt";
    for (int round = 0; round < 5; ++round) {
        ASSERT_EQ(run_shell("(" + a.command(out) + " & " + b.command(out) + " & wait)"), 0);
        const std::string text = test::read_bytes(out);
        EXPECT_TRUE(text == text_a || text == text_b) << "round " << round << ": " << text.size() << " bytes";
    }
}

// The shell limits the program's address space.
TEST(HostileOutput, running_out_of_memory_is_told_and_leaves_the_old_text_and_nothing_else) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer's shadow memory does not fit under a limit of the address space";
#endif
    Style s;
    std::string rules;
    rules.reserve(26u << 20);
    char code[16];
    for (int i = 0; i < 1000000; ++i) {
        std::snprintf(code, sizeof code, "%05x", i % 0xfffff);
        rules += "highway=r" + std::to_string(i) + " [0x1" + code + "]\n";
    }
    s.dir.write("s/lines", rules);
    const std::string err = s.dir / "err";
    const std::string big = s.dir.write("big.txt", std::string(64u << 20, ';'));
    // What a run needs to start differs by machine: one limit at least ends in the message.
    std::size_t told = 0;
    for (const int kilobytes : {20000, 40000, 60000}) {
        SCOPED_TRACE(kilobytes);
        const std::string limit = "ulimit -v " + std::to_string(kilobytes) + "; exec ";
        const std::string old = s.dir.write("out.txt", "precious, edited by hand");
        const int rc = run_shell(limit + s.command(old) + " 2> " + shell_quoted(err));
        ASSERT_TRUE(rc == 0 || rc == 1) << rc;
        if (rc == 0) continue;
        ++told;
        EXPECT_EQ(test::read_bytes(err), "tessaro-cli: out of memory while converting " + (s.dir / "s") + "\n");
        EXPECT_EQ(test::read_bytes(old), "precious, edited by hand");
        EXPECT_EQ(s.names(), (std::set<std::string>{"big.txt", "err", "out.txt", "res", "s"}));
        EXPECT_EQ(run_shell(limit + shell_quoted(TESSARO_CLI) + " --check " + shell_quoted(big) + " 2> " + shell_quoted(err)), 1);
        EXPECT_EQ(test::read_bytes(err), "tessaro-cli: out of memory while checking " + big + "\n");
    }
    EXPECT_GE(told, 1u);
}

// An escape sequence that would retitle the terminal.
TEST(HostileNames, control_characters_of_folder_and_file_names_reach_stderr_only_as_question_marks) {
    const std::string evil = "s\x1b]0;owned\x07";
    Style s;
    s.dir.write(evil + "/points", BAR_RULE);
    fs::create_directories(s.dir / (evil + "/lines"));  // a rule file that cannot be read: a failure names it
    const std::string out = s.dir / (evil + ".txt"), cli = shell_quoted(TESSARO_CLI), err = shell_quoted(s.dir / "err");
    EXPECT_EQ(run_shell(cli + " --seed 1 --res " + shell_quoted(s.dir / "res") + " -o " + shell_quoted(out) + " " +
                        shell_quoted(s.dir / evil) + " 2> " + err), 1);  // written, but incomplete
    EXPECT_EQ(run_shell(cli + " --check " + shell_quoted(out) + " --style " + shell_quoted(s.dir / evil) + " >> " + err + " 2>&1"), 1);
    EXPECT_EQ(run_shell(cli + " --check " + shell_quoted(s.dir / "gone\x1b]0;x\x07") + " 2>> " + err), 1);
    const std::string said = test::read_bytes(s.dir / "err"), shown = "s?]0;owned?";
    for (const char c : said) EXPECT_TRUE(c == '\n' || (static_cast<unsigned char>(c) >= 32 && c != 127)) << said;
    for (const std::string& piece : {shown + " has no polygons file", shown + "/lines: ", shown + ".txt: TYP text written but incomplete",
                                     std::string("gone?]0;x?: ")})
        EXPECT_TRUE(has(said, piece));
}
#endif
}  // namespace
}  // namespace tessaro
