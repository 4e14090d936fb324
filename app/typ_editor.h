#pragma once

#include <string>

#include "app_state.h"

namespace tessaro {

// Where the TYP editor that gets the text after a run is found.

// A copy in a folder of its own (its library files in res/ beside it) looks
// beside itself for the TYP editor; an installed one, in a system folder
// among other programs, never does: it would start whatever is named alike.
bool looks_beside_for_editor(const AppState& state);

// The editor at the start: a name without a folder is a program found beside
// this one earlier, which counts only where one is looked for now (a path was
// chosen in Settings); then the first program beside this one named as a TYP
// editor's (is_typ_editor_name) is taken.
void settle_editor_program(AppState& state);

// The editor program's path: a bare name lies beside this program.
std::string editor_path(const AppState& state);

}  // namespace tessaro
