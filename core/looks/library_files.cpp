#include "library_files.h"

#include <filesystem>

#include "file_io.h"
#include "text_util.h"

namespace tessaro {

std::string library_file_path(const std::string& res_folder, Section section) {
    return join_path(res_folder, section == Section::Polygon ? "pgons.pol" : rule_file_name(section));
}

std::optional<Failure> load_library_file(const std::string& path, Section section, LibraryText& into) {
    std::string text;
    std::optional<Failure> failure;
    if (file_exists(path)) {
        std::error_code error;
        if (!read_file(path, text, error)) failure = Failure{Failure::Kind::Read, path, 0, error};
    }
    const bool sealed = has_intact_seal(text);
    if (section == Section::Polygon) text = replace_all(text, "String1=", ";");
    into.assign(std::move(text), path, sealed);
    return failure;
}

PerSection<std::optional<Failure>> load_library_files(const PerSection<std::string>& paths, LibraryTexts& into) {
    PerSection<std::optional<Failure>> failures;
    for (Section s : ALL_SECTIONS) failures[s] = load_library_file(paths[s], s, into[s]);
    return failures;
}

std::string find_library_folder(const std::string& program_folder) {
    const std::string beside = join_path(program_folder, "res");
    if (is_folder(beside)) return beside;
    const std::string installed =
        from_fs_path((to_fs_path(program_folder).parent_path() / "share" / "tessaro" / "res").make_preferred());
    return is_folder(installed) ? installed : beside;
}

}  // namespace tessaro
