#include "startup.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "file_io.h"
#include "library_files.h"
#include "text_util.h"
#include "window_texts.h"

namespace tessaro {

namespace {

std::string default_typ_path(const AppState& state) {
    return join_path(state.bin_folder, "temp.txt");
}

}  // namespace

std::string default_polygon_library(const AppState& state) {
    return library_file_path(state.res_folder, Section::Polygon);
}

void load_library(AppState& state, Section section, Shell& shell) {
    const std::string path =
        section == Section::Polygon ? state.polygon_library_path : library_file_path(state.res_folder, section);
    BusyCursor busy(shell);
    if (std::optional<Failure> failure =
            load_library_file(path, section, state.libraries[section]))
        shell.message(failure_text(*failure), MessageIcon::Warning);
}

bool is_typ_editor_name(const std::string& name) {
    std::string stem = to_lower(name);
    if (stem.ends_with(".exe")) stem.resize(stem.size() - 4);
    if (!stem.starts_with("pct")) return false;
    return std::all_of(stem.begin() + 3, stem.end(), [](char c) { return c >= '0' && c <= '9'; });
}

void save_text(const std::string& file, const std::string& buffer, Shell& shell) {
    if (file_exists(file) && !shell.ask_yes_no(file + " exists. Overwrite?")) return;
    std::FILE* f = file.empty() ? nullptr : std::fopen(file.c_str(), "wb");
    if (f == nullptr) {
        shell.message(file + ": " + std::strerror(file.empty() ? ENOENT : errno), MessageIcon::Critical);
        return;
    }
    const std::string bytes = buffer + CRLF;
    if (std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) shell.message(file + ": " + std::strerror(errno), MessageIcon::Critical);
    if (std::fclose(f) != 0) shell.message(file + ": " + std::strerror(errno), MessageIcon::Critical);
}

void ensure_typ_path_writable(AppState& state, Shell& shell) {
    if (state.typ_path.empty()) {
        state.typ_path = default_typ_path(state);
        return;
    }
    // Anything at the path passes untouched: a file, a device, or a link,
    // even one that points nowhere (probing it would create what it points
    // at, and removing the probe would remove the link).
    std::error_code link_ec;
    if (file_exists(state.typ_path) ||
        std::filesystem::exists(std::filesystem::symlink_status(to_fs_path(state.typ_path), link_ec)))
        return;
    // A probe file shows whether the path can be written; it is removed again.
    save_text(state.typ_path, "txt", shell);
    std::error_code ec;
    if (is_regular_file(state.typ_path)) {
        std::filesystem::remove(state.typ_path, ec);
        if (!ec) return;
    }
    state.typ_path = default_typ_path(state);
}

}  // namespace tessaro
