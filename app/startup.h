#pragma once

#include <string>

#include "app_state.h"
#include "shell.h"

namespace tessaro {

// Makes sure the TYP text path can be written; falls back to bin/temp.txt.
void chkfile(AppState& state, Shell& shell);

// The default polygon library path: res/pgons.pol beside the program.
std::string default_polygon_library(const AppState& state);

}  // namespace tessaro
