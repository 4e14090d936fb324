// Any bytes through the TYP text reader: a map maker's file may be anything,
// in any charset. The problems come in line order, each on a line of the
// text, and the entries' lines stay inside it.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "typ_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tessaro;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const TypDocument doc = read_typ_text(text);
    const std::size_t lines = 1 + static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) +
                              static_cast<std::size_t>(std::count(text.begin(), text.end(), '\r'));
    for (std::size_t i = 0; i < doc.problems.size(); ++i) {
        if (doc.problems[i].line == 0 || doc.problems[i].line > lines) __builtin_trap();
        if (i > 0 && doc.problems[i].line < doc.problems[i - 1].line) __builtin_trap();
    }
    for (const TypEntry& e : doc.entries) {
        if (e.first_line == 0 || e.first_line > e.last_line || e.last_line > lines) __builtin_trap();
        (void)entry_type(e);
    }
    return 0;
}
