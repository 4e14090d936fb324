#include "library_files.h"

#include "file_io.h"
#include "text_util.h"

namespace tessaro {

std::string library_file_path(const std::string& res_folder, Section section) {
    return join_path(res_folder, section == Section::Polygon ? "pgons.pol" : rule_file_name(section));
}

std::string prepare_polygon_library(const std::string& text) {
    return replace_all(text, "String1=", ";");
}

std::optional<Failure> load_library_file(const std::string& path, Section section, LibraryText& into,
                                         const Yield& yield) {
    std::string text;
    std::optional<Failure> failure;
    if (file_exists(path)) {
        std::string error;
        if (!read_file(path, text, error, yield)) failure = Failure{Failure::Kind::Read, path, 0, error};
        yield_to(yield);
    }
    into.assign(section == Section::Polygon ? prepare_polygon_library(text) : std::move(text));
    return failure;
}

}  // namespace tessaro
