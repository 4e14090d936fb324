#include "typ_editor.h"

#include <QFileInfo>

#include "file_io.h"
#include "qt_text.h"
#include "startup.h"
#include "style_folder.h"
#include "text_util.h"

namespace tessaro {

namespace {

bool names_a_folder(const std::string& program) {
    return program.find('/') != std::string::npos || program.find(PATH_SEP) != std::string::npos;
}

void find_editor_beside(AppState& state) {
    for (const std::string& name : list_files(state.program_folder)) {
        const std::string path = join_path(state.program_folder, name);
#ifdef _WIN32
        const bool program = to_lower(name).size() > 4 && to_lower(name).substr(name.size() - 4) == ".exe";
#else
        const bool program = QFileInfo(to_qt(path)).isExecutable() && is_regular_file(path);
#endif
        if (!program || !is_typ_editor_name(name)) continue;
#ifdef _WIN32
        state.editor_program = to_lower(name);
#else
        state.editor_program = name;  // names are case-sensitive here
#endif
        return;
    }
}

}  // namespace

bool looks_beside_for_editor(const AppState& state) {
    return state.res_folder == join_path(state.program_folder, "res");
}

void settle_editor_program(AppState& state) {
    // Earlier versions stored "not found" for none: no folder, no editor's name, so it goes too.
    const std::string& stored = state.editor_program;
    if (!names_a_folder(stored) && !(looks_beside_for_editor(state) && is_typ_editor_name(stored)))
        state.editor_program.clear();
    if (looks_beside_for_editor(state)) find_editor_beside(state);
}

std::string editor_path(const AppState& state) {
    if (state.editor_program.empty()) return {};
    if (names_a_folder(state.editor_program)) return state.editor_program;
    return join_path(state.program_folder, state.editor_program);
}

}  // namespace tessaro
