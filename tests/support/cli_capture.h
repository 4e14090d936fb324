#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cli_run.h"

namespace tessaro::test {

struct CliOutput {
    int exit_code;
    std::string out, err;
};

// Runs the CLI in this process, as from the current folder.
inline CliOutput cli(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int code = run_cli(args, ".", out, err);
    return {code, out.str(), err.str()};
}

}  // namespace tessaro::test
