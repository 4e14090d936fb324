#pragma once

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/wait.h>
#endif

#include "cli_run.h"
#include "support/temp_dir.h"
#include "text_util.h"

namespace tessaro::test {
struct StringOut : TextSink {
    std::string text;
    void write(std::string_view piece) override { text.append(piece); }
    const std::string& str() const { return text; }
};

struct CliOutput {
    int exit_code;
    std::string out, err;
};

inline CliOutput cli(const std::vector<std::string>& args) {
    StringOut out, err;
    const int code = run_cli(args, ".", out, err);
    return {code, out.str(), err.str()};
}

// Quietly, with the seed 1, the library of res/ and --auto-inc.
inline CliOutput convert(const std::string& style, const std::string& out, std::vector<std::string> extra = {}) {
    std::vector<std::string> args{"-q", "--auto-inc", "--seed", "1", "--res", TESSARO_SOURCE_DIR "/res"};
    args.insert(args.end(), extra.begin(), extra.end());
    args.insert(args.end(), {"-o", out, style});
    return cli(args);
}

inline std::string shell_quoted(const std::string& s) {
#ifdef _WIN32
    // cmd.exe quoting, with the native separator; no argument here holds a double quote.
    return "\"" + replace_all(s, "/", "\\") + "\"";
#else
    return "'" + replace_all(s, "'", "'\\''") + "'";
#endif
}

inline int run_shell(const std::string& command) {
#ifdef _WIN32
    // cmd /c drops the first and the last quote of a line with more than two.
    // Under wine, cmd now and then fails to start a program that is there
    // ("Can't recognize", 9009): tried again, up to three times.
    constexpr int NOT_STARTED = 9009;
    int status = NOT_STARTED;
    for (int attempt = 0; attempt < 3 && status == NOT_STARTED; ++attempt) status = std::system(("\"" + command + "\"").c_str());
    return status;
#else
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
}

const std::string BAR_RULE = "amenity=bar [0x2d02 resolution 24]\n";
// 700 line types from code 0x1<first>: a text of some 100 KB.
inline std::string many_line_rules(int first) {
    std::string rules;
    for (int i = 0; i < 700; ++i) rules += "highway=r" + std::to_string(i) + " [0x1" + std::to_string(first + i) + "]\n";
    return rules;
}

struct Converted : CliOutput {
    std::string typ;  // left at the output; empty when none
};

// A library folder res/ with one point look, and a style "s" whose points file holds `points`.
struct LibraryStyle {
    TempDir dir;
    explicit LibraryStyle(const std::string& points = BAR_RULE, const std::string& library_points = BAR_POINT_LOOK) {
        write_library(dir, "res", library_points);
        dir.write("s/points", points);
    }
    // Quiet, with the seed 1, into `out` (a name in the folder or a path).
    std::vector<std::string> args(const std::string& out, std::vector<std::string> extra = {}) const {
        std::vector<std::string> a{"-q", "--seed", "1", "--res", dir / "res", "-o", dir / out};
        a.insert(a.end(), extra.begin(), extra.end());
        a.push_back(dir / "s");
        return a;
    }
    Converted convert(const std::string& out = "out.txt", std::vector<std::string> extra = {}) const {
        Converted r{cli(args(out, std::move(extra))), ""};
        if (std::filesystem::is_regular_file(dir / out)) r.typ = read_bytes(dir / out);
        return r;
    }
    std::string command(const std::string& out) const {
        std::string c = shell_quoted(TESSARO_CLI);
        for (const std::string& a : args(out)) c += " " + shell_quoted(a);
        return c;
    }
    std::set<std::string> names() const {
        std::set<std::string> found;
        for (const auto& e : std::filesystem::directory_iterator(dir.path())) found.insert(e.path().filename().string());
        return found;
    }
    bool has_temporary_file() const {
        for (const std::string& name : names()) if (name.find(".tessaro-") != std::string::npos) return true;
        return false;
    }
};
}  // namespace tessaro::test
