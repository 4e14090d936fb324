#pragma once

#include <string>

namespace tessaro {

struct AppFolders {
    std::string app;  // bin/ and typ/ (and the settings file, unless `settings` names another folder)
    std::string res;  // the library files
    std::string program;  // the program's folder (the TYP editor sits beside it); empty: app
    std::string settings;  // the settings file's folder; empty: app
};

// The program's folder holds everything; for an installed copy (library
// files in ../share/tessaro/res) or a folder that cannot be written, bin/ and typ/ go to the user's data folder and the
// settings file to the user's configuration folder (~/.local/share/tessaro
// and ~/.config/tessaro on Linux). The library files are read beside the
// program, or from ../share/tessaro/res.
AppFolders locate_app_folders(const std::string& program_folder);

}  // namespace tessaro
