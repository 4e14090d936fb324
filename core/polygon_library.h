#pragma once

#include <string>

#include "app_state.h"
#include "shell.h"

namespace tessaro {

// The library's own labels become comment lines: every "String1=" turns into
// ";", so that only the rule's label can reach the TYP text.
std::string prepare_polygon_library(const std::string& text);

// Reads the polygon library file at state.polygon_library_path into
// state.polygon_library (empty when the file is missing).
void load_polygon_library(AppState& state, Shell& shell);

}  // namespace tessaro
