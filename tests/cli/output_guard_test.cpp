#ifndef _WIN32
#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "file_io.h"
#include "support/cli_capture.h"

namespace tessaro {
namespace {
namespace fs = std::filesystem;

using Style = test::LibraryStyle;
using test::has;
// Files elsewhere in the style or of another style are known only once the run
// has read the rule file that leads to them.
TEST(OutputGuard, an_output_that_is_another_output_or_a_file_the_run_reads_is_refused_and_nothing_is_written) {
    struct Case {
        std::string output, report, kept;  // in the test's folder; no report, no file kept as it was when ""
        int exit_code;
    };
    const std::vector<Case> cases = {
        {"new.txt", "./new.txt", "", 2}, {"sub/x.txt", "sub/../sub/x.txt", "", 2}, {"sub/./x.txt", "sub//x.txt", "", 2},
#ifndef _WIN32
        {"dangling.txt", "target.txt", "", 2}, {"hard-lines", "", "s/lines", 1}, {"soft-lines", "", "res/lines", 1},
#endif
        {"s/points", "", "s/points", 1}, {join_path(join_path("s", ".."), join_path("s", "lines")), "", "s/lines", 1},
        {"s/inc/roads", "", "s/inc/roads", 1}, {"s/sub/walks", "", "s/sub/walks", 1},
        {join_path("s", join_path("sub", join_path(".", "walks"))), "", "s/sub/walks", 1},
        {"base/inc/paths", "", "base/inc/paths", 1}, {"res/points", "", "res/points", 1}, {"my.pol", "", "my.pol", 1},
        {"s/info", "", "s/info", 1}, {"s/version", "", "s/version", 1}, {"base/info", "", "base/info", 1},
        {"base/lines", "", "base/lines", 1}, {"out.txt", "s/info", "s/info", 2}, {"out.txt", "s/version", "s/version", 2},
        {"out.txt", "s/points", "s/points", 2}, {"out.txt", "base/inc/paths", "base/inc/paths", 2},
    };
    for (const Case& c : cases) {
        Style s;
        s.dir.write_files({{"s/info", "base-style=base\n"}, {"s/version", "1\n"}, {"s/inc/roads", "highway=y [0x03 resolution 20]\n"},
                           {"s/lines", "highway=x [0x02]\ninclude 'inc/paths' from base;\ninclude 'sub/walks';\n"},
                           {"s/sub/walks", "highway=footway [0x17 resolution 20]\n"}, {"base/info", "version=2\n"},
                           {"base/lines", "highway=x [0x02]\n"}, {"base/inc/paths", "highway=path [0x16]\n"}});
        const std::string pol = s.dir.write("my.pol", "Type=0x3c\r\n[end]\r\n");
        fs::create_directories(s.dir / "sub");
#ifndef _WIN32
        fs::create_symlink(s.dir / "target.txt", s.dir / "dangling.txt");
        fs::create_hard_link(s.dir / "s/lines", s.dir / "hard-lines");
        fs::create_symlink(s.dir / "res/lines", s.dir / "soft-lines");
#endif
        const std::string before = c.kept.empty() ? "" : test::read_bytes(s.dir / c.kept);
        std::vector<std::string> extra{"--polygon-library", pol, "--inc-lines", "roads", "--auto-inc"};
        if (!c.report.empty()) extra.insert(extra.end(), {"--report", s.dir / c.report});
        const test::CliOutput r = s.convert(c.output, extra);
        EXPECT_EQ(r.exit_code, c.exit_code) << c.output << " " << c.report << ": " << r.err;
        EXPECT_TRUE(has(r.err, s.dir / (c.report.empty() ? c.output : c.report) + ": refused"));
        EXPECT_EQ(bool(has(r.err, "--report")), !c.report.empty()) << r.err;
        EXPECT_EQ(c.kept.empty() ? "" : test::read_bytes(s.dir / c.kept), before) << c.kept;
        for (const char* made : {"new.txt", "sub/x.txt", "target.txt", "out.txt"}) EXPECT_FALSE(fs::exists(s.dir / made)) << made;
        EXPECT_FALSE(s.has_temporary_file());
    }
}

TEST(OutputGuard, a_report_that_is_a_folder_names_the_report_option) {
    Style s;
    fs::create_directories(s.dir / "folder");
    const test::CliOutput r = s.convert("out.txt", {"--report", s.dir / "folder"});
    EXPECT_TRUE(r.exit_code == 1 && has(r.err, s.dir / "folder" + ": is a folder, not a file; give a file with --report"));
    EXPECT_FALSE(fs::exists(s.dir / "out.txt"));
}

// The temporary file beside the output needs a longer name than it.
TEST(OutputGuard, output_names_up_to_the_longest_a_file_system_takes_are_written) {
    Style s;
    ASSERT_EQ(s.convert("short.txt").exit_code, 0);
    const std::string expected = test::read_bytes(s.dir / "short.txt");
    ASSERT_TRUE(has(expected, "Type=0x02d02"));
    for (const std::size_t length : {230u, 231u, 240u, 255u}) {
        const test::Converted r = s.convert(std::string(length - 4, 'n') + ".txt");
        EXPECT_TRUE(r.exit_code == 0 && r.typ == expected && !s.has_temporary_file()) << length << ": " << r.err;
    }
}

#ifndef _WIN32
// Not even root, who could write it, replaces a file with no write bit.
TEST(OutputGuard, a_read_only_output_is_left_as_it_is_and_a_replaced_one_keeps_owner_group_and_permissions) {
    for (const bool as_report : {false, true}) {
        Style s;
        const std::string old = s.dir.write("locked.txt", "edited by hand");
        ASSERT_EQ(::chmod(old.c_str(), 0444), 0);
        const test::CliOutput r = as_report ? s.convert("out.txt", {"--report", old}) : s.convert(old);
        EXPECT_TRUE(r.exit_code == 1 && has(r.err, old + ": is read-only; make it writable or choose another output"));
        EXPECT_EQ(test::read_bytes(old), "edited by hand");
        EXPECT_TRUE(!fs::exists(s.dir / "out.txt") && !s.has_temporary_file()) << as_report;
    }
    Style s;
    const std::string old = s.dir.write("shared.txt", "old");
    ASSERT_EQ(::chmod(old.c_str(), 0640), 0);
    if (::geteuid() == 0) { ASSERT_EQ(::chown(old.c_str(), 4321, 8765), 0); }
    struct stat before {}, after {};
    ASSERT_EQ(::stat(old.c_str(), &before), 0);
    EXPECT_EQ(s.convert(old).exit_code, 0);
    ASSERT_EQ(::stat(old.c_str(), &after), 0);
    EXPECT_NE(after.st_ino, before.st_ino);  // replaced, not written over
    EXPECT_TRUE((after.st_mode & 07777) == 0640u && after.st_uid == before.st_uid && after.st_gid == before.st_gid)
        << std::oct << after.st_mode;
}

// With the signals' default handling, whatever this test program was started with.
pid_t start_run(const Style& s, const std::string& out) {
    const std::vector<std::string> args = s.args(out);
    const pid_t child = ::fork();
    if (child != 0) return child;
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) ::signal(signal, SIG_DFL);
    std::vector<char*> argv{const_cast<char*>(TESSARO_CLI)};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(TESSARO_CLI, argv.data());
    ::_exit(127);
}

bool stop_while_writing(const Style& s, pid_t child) {
    for (;;) {
        int status = 0;
        if (::waitpid(child, &status, WNOHANG) == child) return false;
        if (!s.has_temporary_file()) {
            ::usleep(200);
            continue;
        }
        ::kill(child, SIGSTOP);
        ::waitpid(child, &status, WUNTRACED);
        if (!WIFSTOPPED(status)) return false;  // it ended first
        if (s.has_temporary_file()) return true;
        ::kill(child, SIGCONT);
    }
}

// A run into the old text "precious" (out.txt), stopped while it writes; the style grows while runs
// end before they can be stopped. 0 when none could be.
pid_t stopped_run(const Style& s) {
    std::string rules;
    for (std::size_t megabytes = 32; megabytes <= 512; megabytes *= 2) {
        while (rules.size() < (megabytes << 20)) rules += "highway=residential & name~'.*x.*' & ref!=1\n";
        s.dir.write("out.txt", "precious");
        s.dir.write("s/lines", rules + "highway=x [0x02]\n");
        if (const pid_t child = start_run(s, s.dir / "out.txt"); stop_while_writing(s, child)) return child;
    }
    return 0;
}

// Signal 0 sends none: the old text changes while the run writes, and the new one is kept beside it.
TEST(OutputGuard, a_run_ended_by_a_signal_or_finding_the_old_text_changed_leaves_that_text_and_no_temporary_file) {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, 0}) {
        Style s;
        const pid_t child = stopped_run(s);
        ASSERT_NE(child, 0) << "every run ended before it could be stopped";
        const std::string old = signal ? s.dir / "out.txt" : s.dir.write("out.txt", "precious, and edited while the run wrote");
        if (signal != 0) ::kill(child, signal);
        ::kill(child, SIGCONT);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(signal ? WIFSIGNALED(status) && WTERMSIG(status) == signal : WIFEXITED(status) && WEXITSTATUS(status) == 1)
            << signal << ": " << status;
        EXPECT_EQ(test::read_bytes(old), signal ? "precious" : "precious, and edited while the run wrote");
        EXPECT_TRUE(signal || test::read_bytes(old + ".new").starts_with("[_id]\r\n"));
        EXPECT_FALSE(s.has_temporary_file()) << signal;
    }
    Style s;
    s.dir.write("s/lines", test::many_line_rules(1000));
    const std::string old = s.dir.write("out.txt", "precious");
    EXPECT_EQ(test::run_shell("ulimit -f 64; exec " + s.command(old)), -1);
    EXPECT_FALSE(s.has_temporary_file());
    EXPECT_EQ(test::read_bytes(old), "precious");
}

// Process 1 runs as long as the system does.
TEST(OutputGuard, a_leftover_of_a_run_that_is_gone_is_removed_and_one_of_a_running_run_is_not) {
    for (const std::size_t length : {7u, 255u}) {
        Style s;
        const std::string name = std::string(length - 4, 'o') + ".txt";
        const pid_t gone = ::fork();
        if (gone == 0) ::_exit(0);
        ASSERT_EQ(::waitpid(gone, nullptr, 0), gone);
        const std::string stem = "." + name.substr(0, std::min<std::size_t>(name.size(), 255 - 36)) + ".tessaro-";
        const std::string dead = s.dir.write(stem + std::to_string(gone) + "-abcdefghij.part", "half");
        const std::string live = s.dir.write(stem + "1-abcdefghij.part", "half");
        const std::string old_style = s.dir.write(stem + "killed0000.part", "half");
        EXPECT_EQ(test::run_shell(s.command(s.dir / name)), 0);
        EXPECT_TRUE(!fs::exists(dead) && test::read_bytes(live) == "half" && test::read_bytes(old_style) == "half") << length;
        EXPECT_TRUE(has(test::read_bytes(s.dir / name), "Type=0x02d02"));
    }
}
#endif
}  // namespace
}  // namespace tessaro
