#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace tessaro {

enum CliExit : int { EXIT_DONE = 0, EXIT_FAILED = 1, EXIT_USAGE = 2 };

// The whole CLI: the core's check and run of Create TYP, told in the command
// line's own terms. program_folder holds the default res/ folder.
int run_cli(const std::vector<std::string>& args, const std::string& program_folder, std::ostream& out,
            std::ostream& err);

}  // namespace tessaro
