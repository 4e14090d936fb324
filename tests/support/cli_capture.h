#pragma once

#include <cstdlib>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/wait.h>
#endif

#include "cli_run.h"
#include "text_util.h"

namespace tessaro::test {

// What the command line says, kept for the test to read.
class StringOut : public TextSink {
public:
    void write(std::string_view text) override { m_text.append(text); }
    const std::string& str() const { return m_text; }

private:
    std::string m_text;
};

struct CliOutput {
    int exit_code;
    std::string out, err;
};

// Runs the CLI in this process, as from the current folder.
inline CliOutput cli(const std::vector<std::string>& args) {
    StringOut out, err;
    const int code = run_cli(args, ".", out, err);
    return {code, out.str(), err.str()};
}

// Converts a style into out as a user who sorts the include files by the rule
// files that include them would: with the library files of res/, quietly and
// with the seed 1.
inline CliOutput convert(const std::string& style, const std::string& out, std::vector<std::string> extra = {}) {
    std::vector<std::string> args{"-q", "--auto-inc", "--seed", "1", "--res", TESSARO_SOURCE_DIR "/res"};
    args.insert(args.end(), extra.begin(), extra.end());
    args.insert(args.end(), {"-o", out, style});
    return cli(args);
}


// An argument as one word of the system's shell.
inline std::string shell_quoted(const std::string& s) {
#ifdef _WIN32
    // cmd.exe quoting, with the native separator; no argument here holds a double quote.
    return "\"" + replace_all(s, "/", "\\") + "\"";
#else
    return "'" + replace_all(s, "'", "'\\''") + "'";
#endif
}

// Runs a command line in the system's shell, as a user's shell runs it: its
// exit code, or -1 when it did not exit.
inline int run_shell(const std::string& command) {
#ifdef _WIN32
    // cmd /c drops the first and the last quote of a line with more than two.
    return std::system(("\"" + command + "\"").c_str());
#else
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
}

}  // namespace tessaro::test
