#pragma once

#include <functional>
#include <optional>
#include <string>

#include "app_state.h"
#include "failure.h"
#include "shell.h"

namespace tessaro {

// The settings file beside the program: 17 lines, CR LF.
std::string settings_path(const AppState& state);

// Reads the settings file into the state: style folder, editor program, TYP
// text path (then checked by ensure_typ_path_writable), polygon library path
// (the default when empty or missing), Include Tag Text and Classic looks (off when the file has
// only the 13 lines of earlier versions), the seed and the window size (unset
// when missing or blank), Keep my edited looks (off when missing). A short or broken file gives one
// message; fields read before the fault keep their new values.
void load_settings_file(AppState& state, Shell& shell);

// The reading itself, from the file's text; check_typ_path runs right after
// the TYP text path has been read (the window passes the output path check).
void read_settings(const std::string& path, std::string text, AppState& state, Shell& shell,
                   const std::function<void()>& check_typ_path);

// Writes all 17 lines (the last three: the seed of repeatable colours and the
// window's size, blank when unset, and Keep my edited looks). The caller has put the path box's text
// into state.typ_path. The old file stays whole when the save fails.
std::optional<Failure> save_settings_file(const AppState& state);

}  // namespace tessaro
