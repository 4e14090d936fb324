#include "draw_order.h"

#include <charconv>

namespace tessaro {

namespace {

// The number after `key` at the start of a line of `text`.
std::optional<int> keyed_number(std::string_view text, std::string_view key) {
    for (std::size_t at = text.find(key); at != std::string_view::npos; at = text.find(key, at + 1)) {
        if (at != 0 && text[at - 1] != '\n') continue;
        const std::string_view rest = text.substr(at + key.size());
        int level = 0;
        const auto [end, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), level);
        if (ec == std::errc() && level >= 1 && (end == rest.data() + rest.size() || *end == '\r' || *end == '\n'))
            return level;
    }
    return std::nullopt;
}

}  // namespace

std::optional<int> look_level(std::string_view entry) {
    return keyed_number(entry, ";level=");
}

int level_without_look(std::string_view library) {
    return keyed_number(library, ";level-without-look=").value_or(LEVEL_WITHOUT_LOOK);
}

}  // namespace tessaro
