#pragma once

#include <string>

#include "app_state.h"
#include "section.h"
#include "shell.h"

namespace tessaro {

// Makes sure the TYP text path can be written; falls back to bin/temp.txt.
void ensure_typ_path_writable(AppState& state, Shell& shell);

// The default polygon library path: res/pgons.pol beside the program.
std::string default_polygon_library(const AppState& state);

// Reads the section's library file (the polygon library from its chosen path)
// into the state; a file that cannot be read is named in a message.
void load_library(AppState& state, Section section, Shell& shell);

// Writes buffer and CR LF to file, replacing it, after asking when it exists.
void save_text(const std::string& file, const std::string& buffer, Shell& shell);

// The name of a TYP editor's program as it is looked for beside this one:
// "pct" and digits, perhaps with ".exe" ("pct5.exe", "PCT5", "pct"), in any
// case; never a name that merely holds "pct" ("gdalattachpct.py").
bool is_typ_editor_name(const std::string& name);

}  // namespace tessaro
