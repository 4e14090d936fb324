#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "version.h"
#include "library_files.h"
#include "section.h"

namespace tessaro {

// Everything that outlives one conversion. Owned by the window (or the CLI);
// the core reads it through a request and never writes it.
struct AppState {
    std::string app_folder;    // where bin/, typ/ and the settings file live
    std::string program_folder;  // the program's own folder: where the TYP editor sits beside it
    std::string settings_folder;  // where the settings file lives; empty: app_folder
    std::string res_folder;    // the library files beside the program
    std::string bin_folder;
    std::string typ_path;      // the TYP text being written
    std::string style_folder;
    std::string editor_program;  // empty: no TYP editor chosen or found
    std::string polygon_library_path;

    LibraryTexts libraries;  // the polygon library with "String1=" already turned into ";"

    PerSection<bool> sections{{true, true, true}};  // the section switches
    bool include_tag_text = false;
    bool classic_looks = false;  // no looks by tags, no point markers
    bool keep_edited_looks = false;  // update the TYP text in place of replacing it

    // The include groups may have changed since the last Create TYP.
    bool create_needed = false;

    // Fixed seed for repeatable colours; none means the clock.
    std::optional<std::uint64_t> random_seed;

    // The main window's size when it was last closed; 0 x 0: its default.
    int window_width = 0;
    int window_height = 0;
};

}  // namespace tessaro
