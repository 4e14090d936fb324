#include "library_text.h"

#include "text_util.h"

namespace tessaro {

namespace {
constexpr std::string_view TYPE_KEY = "type=0x";
// Longer codes are looked up by a scan of the text (no library has them).
constexpr std::size_t MAX_PACKED_DIGITS = 15;
constexpr std::uint64_t NOT_PACKED = ~std::uint64_t{0};

bool type_key_at(std::string_view text, std::size_t pos) {
    return pos == 0 || !is_alnum_ascii(text[pos - 1]);
}

unsigned hex_value(char c) {
    if (c >= '0' && c <= '9') return static_cast<unsigned>(c - '0');
    return static_cast<unsigned>(lower_char(c) - 'a' + 10);
}

// A code of hex digits as a word: four bits a digit, the count on top, so
// that codes equal but for letter case are one word and no two others are.
std::uint64_t pack_code(std::string_view digits) {
    if (digits.size() > MAX_PACKED_DIGITS) return NOT_PACKED;
    std::uint64_t packed = 0;
    for (char c : digits) packed = (packed << 4) | hex_value(c);
    return packed | (std::uint64_t{digits.size()} << 60);
}

std::size_t slot_of(std::uint64_t code, std::size_t slots) {
    return static_cast<std::size_t>((code * 0x9E3779B97F4A7C15ULL) >> 20) & (slots - 1);
}
}  // namespace

void LibraryText::assign(std::string text) {
    m_text = std::move(text);
    m_index.clear();
    m_indexed = 0;
    m_index_built = false;
}

void LibraryText::index_code(std::uint64_t code, std::size_t pos) const {
    if (2 * (m_indexed + 1) > m_index.size()) {
        std::vector<Slot> old = std::move(m_index);
        m_index.assign(std::max<std::size_t>(256, 2 * old.size()), Slot{});
        for (const Slot& slot : old) {
            if (slot.pos == EMPTY) continue;
            std::size_t i = slot_of(slot.code, m_index.size());
            while (m_index[i].pos != EMPTY) i = (i + 1) & (m_index.size() - 1);
            m_index[i] = slot;
        }
    }
    std::size_t i = slot_of(code, m_index.size());
    while (m_index[i].pos != EMPTY) {
        if (m_index[i].code == code) return;  // the first position stays
        i = (i + 1) & (m_index.size() - 1);
    }
    m_index[i] = {code, pos};
    ++m_indexed;
}

void LibraryText::build_index() const {
    m_index_built = true;
    const std::string_view text = m_text;
    const std::size_t n = text.size();
    // Every "type=0x" holds "=0": jump from one to the next (rarer than "=").
    for (std::size_t eq = find_pair(text.data(), 4, n, '=', '0'); eq < n; eq = find_pair(text.data(), eq + 1, n, '=', '0')) {
        if (eq + 2 >= n || lower_char(text[eq + 2]) != 'x' || find_ci(text.substr(eq - 4, 4), "type") != 0) continue;
        const std::size_t pos = eq - 4;
        if (!type_key_at(text, pos)) continue;
        const std::size_t code = pos + TYPE_KEY.size();
        std::size_t end = code;
        while (end < n && is_hex_digit(text[end])) ++end;
        const std::uint64_t packed = pack_code(text.substr(code, end - code));
        if (packed != NOT_PACKED) index_code(packed, code - 2);
    }
}

std::size_t LibraryText::find_type(std::string_view key) const {
    bool all_hex = true;
    for (char c : key) all_hex = all_hex && is_hex_digit(c);
    const std::uint64_t packed = all_hex ? pack_code(key) : NOT_PACKED;
    if (packed == NOT_PACKED) return scan_for(key);
    if (!m_index_built) build_index();
    if (m_indexed == 0) return std::string::npos;
    for (std::size_t i = slot_of(packed, m_index.size()); m_index[i].pos != EMPTY; i = (i + 1) & (m_index.size() - 1))
        if (m_index[i].code == packed) return m_index[i].pos;
    return std::string::npos;
}

// Keys with other characters than hex digits, or very long ones, are rare;
// they are searched the slow way.
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
