#include "startup.h"

#include <filesystem>

#include "file_io.h"
#include "typ_text.h"

namespace tessaro {

namespace {

std::string default_typ_path(const AppState& state) {
    return join_path(state.bin_folder, "temp.txt");
}

}  // namespace

std::string default_polygon_library(const AppState& state) {
    return join_path(state.res_folder, "pgons.pol");
}

void chkfile(AppState& state, Shell& shell) {
    if (state.typ_path.empty()) {
        state.typ_path = default_typ_path(state);
        return;
    }
    if (file_exists(state.typ_path)) return;
    // A probe file shows whether the path can be written; it is removed again.
    Savetext(state.typ_path, "txt", shell);
    std::error_code ec;
    if (is_regular_file(state.typ_path)) {
        std::filesystem::remove(state.typ_path, ec);
        if (!ec) return;
    }
    state.typ_path = default_typ_path(state);
}

}  // namespace tessaro
