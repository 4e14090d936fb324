#include "library_text.h"

#include "text_util.h"

namespace tessaro {

namespace {
constexpr std::string_view TYPE_KEY = "type=0x";

bool type_key_at(std::string_view text, std::size_t pos) {
    return pos == 0 || !is_alnum_ascii(text[pos - 1]);
}
}  // namespace

void LibraryText::assign(std::string text) {
    m_text = std::move(text);
    m_index.clear();
    // Every "type=0x" holds an "=": jump from one "=" to the next.
    for (std::size_t eq = m_text.find('='); eq != std::string::npos; eq = m_text.find('=', eq + 1)) {
        if (eq < 4 || eq + 2 >= m_text.size() || find_ci(std::string_view(m_text).substr(eq - 4, 7), TYPE_KEY) != 0)
            continue;
        const std::size_t pos = eq - 4;
        const std::size_t code = pos + TYPE_KEY.size();
        std::size_t end = code;
        while (end < m_text.size() && is_hex_digit(m_text[end])) ++end;
        if (type_key_at(m_text, pos)) m_index.emplace(to_lower(std::string_view(m_text).substr(code, end - code)), code - 2);
    }
}

std::size_t LibraryText::find_type(std::string_view key) const {
    bool all_hex = true;
    for (char c : key) all_hex = all_hex && is_hex_digit(c);
    if (!all_hex) return scan_for(key);
    const auto hit = m_index.find(to_lower(key));
    return hit == m_index.end() ? std::string::npos : hit->second;
}

// Keys with other characters than hex digits are rare; they are searched the slow way.
std::size_t LibraryText::scan_for(std::string_view key) const {
    const std::string needle = std::string(TYPE_KEY) + std::string(key);
    std::size_t pos = 0;
    while ((pos = find_ci(m_text, needle, pos)) != std::string::npos) {
        const std::size_t after = pos + needle.size();
        const bool whole = after >= m_text.size() || !is_hex_digit(m_text[after]);
        if (type_key_at(m_text, pos) && whole) return pos + TYPE_KEY.size() - 2;
        ++pos;
    }
    return std::string::npos;
}

}  // namespace tessaro
