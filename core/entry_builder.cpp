#include "entry_builder.h"

#include <cstdio>

#include "file_io.h"
#include "text_util.h"

namespace tessaro {

std::string library_key(int chc, std::string_view s2) {
    const std::size_t ox = find_ci(s2, "0x");
    std::string key(ox == std::string_view::npos ? s2 : s2.substr(ox + 2));
    if (key.size() == 4) key.insert(0, "0");
    switch (chc) {
        case SECTION_LINE:
            if (key.size() < 3) key.insert(0, 3 - key.size(), '0');
            if (key.size() == 3) key += "00";
            break;
        case SECTION_POLYGON:
            if (key.size() < 2) key.insert(0, "0");
            if (key.size() == 5) {
                if (key[0] == '0') key = key.substr(1, 2);
                else if (key.compare(3, 2, "00") == 0) key.resize(3);
            }
            break;
        default:
            break;
    }
    return key;
}

namespace {

const LibraryText* library_of(int chc, const AppState& state) {
    switch (chc) {
        case SECTION_POLYGON: return &state.polygon_library;
        case SECTION_LINE: return &state.line_library;
        case SECTION_POINT: return &state.point_library;
        default: return nullptr;
    }
}

// Where the label line goes: the start of the line that holds the first
// "Extended" (else "Xpm"), so that a key such as "DayXpm=" stays whole. The
// first line holds the type code itself ("0Xpm" is no key): it is not searched,
// and an entry of one line gets no label.
std::size_t label_position(const std::string& entry) {
    const std::size_t body = entry.find('\n');
    if (body == std::string::npos) return body;
    std::size_t k = entry.find("Extended", body);
    if (k == std::string::npos) k = entry.find("Xpm", body);
    if (k == std::string::npos) return k;
    return entry.rfind('\n', k) + 1;
}

}  // namespace

std::string get_code(int chc, const std::string& s2, const std::string& ss, AppState& state) {
    const LibraryText* library = library_of(chc, state);
    if (library == nullptr) return {};
    const std::size_t at = library->find_type(library_key(chc, s2));
    if (at == std::string::npos) return {};
    const std::size_t end = library->text().find("[end]", at);
    if (end == std::string::npos) return {};
    std::string entry = library->text().substr(at, end - at);

    if (!state.include_tag_text) return entry;
    if (entry.find("String1=") != std::string::npos) {
        state.label_conflict = true;
        return entry;
    }
    const std::size_t k = label_position(entry);
    if (k == std::string::npos) return entry;
    return entry.substr(0, k) + CRLF + "String1=0x04," + cut_label(ss) + CRLF + entry.substr(k);
}

std::string loadtext(const std::string& path, Shell& shell) {
    if (!file_exists(path)) return {};
    shell.hon();
    std::string text;
    std::string error;
    const bool ok = read_file(path, text, error, [&shell] { shell.yield_events(); });
    shell.yield_events();
    shell.hof();
    if (!ok) shell.message(error);
    return text;
}

std::string f_mat(std::string& s1) {
    if (s1.size() == 1) s1.insert(0, "0");
    return s1;
}

std::string fncol(int r, int g, int b) {
    std::string out;
    for (int v : {r, g, b}) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "%X", static_cast<unsigned>(v));
        std::string part(buf);
        out += f_mat(part);
    }
    return out;
}

std::string cut_label(std::string_view label) {
    if (label.size() <= MAX_LABEL_BYTES) return std::string(label);
    std::size_t n = MAX_LABEL_BYTES;
    // Back off continuation bytes (10xxxxxx) so the cut falls before a lead byte.
    while (n > 0 && (static_cast<unsigned char>(label[n]) & 0xC0) == 0x80) --n;
    return std::string(label.substr(0, n));
}

}  // namespace tessaro
