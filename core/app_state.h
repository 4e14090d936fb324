#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "library_text.h"

namespace tessaro {

inline constexpr const char* PROGRAM_VERSION = "2.10707";

// Everything that outlives one conversion. Owned by the window (or the CLI)
// and handed to the core by reference.
struct AppState {
    std::string app_folder;    // where bin/, typ/ and the settings file live
    std::string res_folder;    // the library files beside the program
    std::string bin_folder;
    std::string typ_path;      // the TYP text being written
    std::string style_folder;
    std::string editor_program = "not found";
    std::string polygon_library_path;

    LibraryText point_library;
    LibraryText line_library;
    LibraryText polygon_library;  // "String1=" already turned into ";"

    bool points_on = true;
    bool lines_on = true;
    bool polygons_on = true;
    bool include_tag_text = false;

    bool label_conflict = false;
    bool create_needed = false;

    // Fixed seed for repeatable colours; none means the clock.
    std::optional<std::uint64_t> random_seed;
};

}  // namespace tessaro
