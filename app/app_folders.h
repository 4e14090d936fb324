#pragma once

#include <string>

namespace tessaro {

struct AppFolders {
    std::string app;  // bin/, typ/ and the settings file
    std::string res;  // the library files
    std::string program;  // the program's folder (the TYP editor sits beside it); empty: app
};

// The program's folder holds everything; when it cannot be written (an
// installed copy), bin/, typ/ and the settings file go to the user's
// application data folder and the library files are still read beside the program.
AppFolders locate_app_folders(const std::string& program_folder);

}  // namespace tessaro
