#include "polygon_library.h"

#include "entry_builder.h"
#include "text_util.h"

namespace tessaro {

std::string prepare_polygon_library(const std::string& text) {
    return replace_all(text, "String1=", ";");
}

void load_polygon_library(AppState& state, Shell& shell) {
    state.polygon_library.assign(prepare_polygon_library(loadtext(state.polygon_library_path, shell)));
}

}  // namespace tessaro
