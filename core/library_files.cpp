#include "library_files.h"

#include <cstring>
#include <filesystem>
#include <future>

#include "file_io.h"
#include "text_util.h"

namespace tessaro {

std::string library_file_path(const std::string& res_folder, Section section) {
    return join_path(res_folder, section == Section::Polygon ? "pgons.pol" : rule_file_name(section));
}

namespace {

template <class Text>
void prepare_in_place(Text& text) {
    // In the text's own buffer: ";" is shorter than what it replaces, so the
    // writing never overtakes the reading, and a library of a megabyte needs
    // no second copy (fresh memory costs more here than the work).
    constexpr std::string_view LABEL = "String1=";
    std::size_t hit = text.find(LABEL);
    if (hit == std::string::npos) return;
    std::size_t write = hit;
    while (hit != std::string::npos) {
        text[write++] = ';';
        const std::size_t read = hit + LABEL.size();
        hit = text.find(LABEL, read);
        const std::size_t end = hit == std::string::npos ? text.size() : hit;
        std::memmove(text.data() + write, text.data() + read, end - read);
        write += end - read;
    }
    text.resize(write);
}

}  // namespace

std::string prepare_polygon_library(std::string text) {
    prepare_in_place(text);
    return text;
}

std::optional<Failure> load_library_file(const std::string& path, Section section, LibraryText& into,
                                         const Yield& yield, PagePool* pages) {
    LargeText text{LargePageAllocator<char>(pages)};
    std::optional<Failure> failure;
    if (file_exists(path)) {
        std::string error;
        if (!read_file(path, text, error, yield)) failure = Failure{Failure::Kind::Read, path, 0, error};
        yield_to(yield);
    }
    if (section == Section::Polygon) prepare_in_place(text);
    into.assign(std::move(text), path);
    return failure;
}

PerSection<std::optional<Failure>> load_library_files(const PerSection<std::string>& paths, LibraryTexts& into,
                                                      PagePool* pages) {
    // Most of a large library's loading is fresh memory for its text, which
    // the processors get side by side: each large one after the first on a
    // thread of its own. A small one would pay more for the thread.
    constexpr std::uintmax_t APART_FROM = 256 * 1024;
    PerSection<std::optional<Failure>> failures;
    PerSection<std::future<void>> apart;
    bool first = true;
    for (Section s : ALL_SECTIONS) {
        std::error_code ec;
        const std::uintmax_t size = std::filesystem::file_size(to_fs_path(paths[s]), ec);
        if (ec || size < APART_FROM) continue;
        if (first) {
            first = false;
            continue;
        }
        apart[s] = std::async(std::launch::async, [&, s] { failures[s] = load_library_file(paths[s], s, into[s], {}, pages); });
    }
    for (Section s : ALL_SECTIONS) {
        if (apart[s].valid()) apart[s].get();
        else failures[s] = load_library_file(paths[s], s, into[s], {}, pages);
    }
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
