#pragma once

#include <optional>
#include <string>

#include "failure.h"
#include "library_text.h"
#include "section.h"

namespace tessaro {

// The three library texts, held for as long as the program runs.
using LibraryTexts = PerSection<LibraryText>;

// The library file of a section in the res folder: points, lines, pgons.pol.
std::string library_file_path(const std::string& res_folder, Section section);

// The folder of the library files for a program in `program_folder`: res/ beside it (a build or an unpacked copy),
// else ../share/tessaro/res (an installed copy); res/ beside it when neither is there, for the messages.
std::string find_library_folder(const std::string& program_folder);

// Reads a library file whole into `into`, the polygon library's own labels made
// comment lines ("String1=" turns into ";") so that only the rule's label can reach
// the TYP text. A missing file is empty, no failure; one that cannot be read gives the failure.
std::optional<Failure> load_library_file(const std::string& path, Section section, LibraryText& into);

// The three library files, each as load_library_file reads it; the failure of each, if any.
PerSection<std::optional<Failure>> load_library_files(const PerSection<std::string>& paths, LibraryTexts& into);

}  // namespace tessaro
