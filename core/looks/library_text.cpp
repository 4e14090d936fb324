#include "library_text.h"

#include <algorithm>
#include <cstring>

#include "text_util.h"

namespace tessaro {

namespace {
constexpr std::string_view TYPE_KEY = "type=0x";

bool type_key_at(std::string_view text, std::size_t pos) {
    return pos == 0 || !is_alnum_ascii(text[pos - 1]);
}

bool is_blank(char c) {
    return c == ' ' || c == '\t';
}

// True when only blanks stand between the start of its line and pos.
bool starts_line(std::string_view text, std::size_t pos) {
    while (pos > 0 && is_blank(text[pos - 1])) --pos;
    return pos == 0 || text[pos - 1] == '\n' || text[pos - 1] == '\r';
}

constexpr std::string_view SEAL = ";library seal ";

// FNV-1a, taken eight bytes at a time: no guard against forgery, only against a file changed since it was made.
std::uint64_t seal_of(std::string_view body) {
    constexpr std::uint64_t PRIME = 0x100000001b3;
    std::uint64_t h = 0xcbf29ce484222325;
    std::size_t i = 0;
    for (; i + 8 <= body.size(); i += 8) {
        // In the machine's byte order: a seal made on another order is a mismatch, and costs only the check.
        std::uint64_t word = 0;
        std::memcpy(&word, body.data() + i, 8);
        h = (h ^ word) * PRIME;
    }
    for (; i < body.size(); ++i) h = (h ^ static_cast<unsigned char>(body[i])) * PRIME;
    return h;
}

std::string hex16(std::uint64_t v) {
    std::string out(16, '0');
    for (std::size_t k = 16; k-- > 0; v >>= 4) out[k] = "0123456789abcdef"[v & 15];
    return out;
}

// Where each line starts, as editors count lines: a line ends at CR LF, LF or a CR alone.
// The polygon library's preparing keeps every line end, so its lines are those of the file.
std::vector<std::size_t> line_starts(std::string_view text) {
    std::vector<std::size_t> starts(1, 0);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c > '\r') continue;  // one test for nearly every byte
        if (c == '\n' || (c == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))) starts.push_back(i + 1);
    }
    return starts;
}

// Keys with other characters than hex digits are rare: they are searched in the text.
std::size_t scan_for(std::string_view text, std::string_view key) {
    const std::string needle = std::string(TYPE_KEY) + std::string(key);
    std::size_t pos = 0;
    while ((pos = find_ci(text, needle, pos)) != std::string::npos) {
        const std::size_t after = pos + needle.size();
        const bool whole = after >= text.size() || !is_hex_digit(text[after]);
        if (type_key_at(text, pos) && whole) return pos + TYPE_KEY.size() - 2;
        ++pos;
    }
    return std::string::npos;
}

}  // namespace

std::string seal_line(std::string_view body) {
    return std::string(SEAL) + hex16(seal_of(body)) + "\r\n";
}

bool has_intact_seal(std::string_view file) {
    const std::size_t body = SEAL.size() + 16 + 2;
    return file.size() >= body && file.substr(0, SEAL.size()) == SEAL &&
           file.substr(0, body) == seal_line(file.substr(body));
}

void LibraryText::assign(std::string text, std::string path, bool sealed) {
    m_text = std::move(text);
    m_path = std::move(path);
    m_sealed = sealed;
    // Lines are needed only for the warnings of broken looks, which a sealed library has none of.
    m_line_starts = m_sealed ? std::vector<std::size_t>() : line_starts(m_text);
    m_index.clear();
    const std::string_view all = m_text;
    // Every "type=0x" holds "=0": from one to the next (rarer than "=").
    for (std::size_t eq = all.find("=0", 4); eq != std::string_view::npos; eq = all.find("=0", eq + 1)) {
        // "type" before it and "x" after it, ASCII case ignored.
        if (eq + 2 >= all.size() || lower_char(all[eq + 2]) != 'x' || to_lower(all.substr(eq - 4, 4)) != "type") continue;
        const std::size_t pos = eq - 4;
        if (!type_key_at(all, pos)) continue;
        const std::size_t code = pos + TYPE_KEY.size();
        std::size_t end = code;
        while (end < all.size() && is_hex_digit(all[end])) ++end;
        m_index.try_emplace(to_lower(all.substr(code, end - code)), code - 2);  // the first position stays
    }
}

std::size_t LibraryText::find_type(std::string_view key) const {
    if (!std::all_of(key.begin(), key.end(), is_hex_digit)) return scan_for(m_text, key);
    const auto found = m_index.find(to_lower(key));
    return found == m_index.end() ? std::string::npos : found->second;
}

LibraryText::Entry LibraryText::entry_at(std::size_t at) const {
    const std::string_view text = m_text;
    const std::size_t n = text.size();
    Entry entry;
    // Its end: the first "[end]" (ASCII case ignored), unless a line that opens another section comes first.
    std::size_t end = std::string_view::npos;
    for (std::size_t p = text.find('[', at); p != std::string_view::npos; p = text.find('[', p + 1)) {
        if (to_lower(text.substr(p, 5)) == "[end]") {
            end = p;
            break;
        }
        if (starts_line(text, p)) break;
    }
    // The Type= value: hex digits after the "0x", then only blanks up to its line's end or an "[end]" on it.
    std::size_t v = at + 2;
    while (v < n && is_hex_digit(text[v])) ++v;
    bool hex = v > at + 2;
    while (v < n && is_blank(text[v])) ++v;
    hex = hex && (v == n || v == end || text[v] == '\r' || text[v] == '\n');
    if (end != std::string_view::npos && hex) {
        entry.look = text.substr(at, end - at);
        return entry;
    }
    entry.broken = true;
    entry.line = line_at(at);
    std::size_t value_end = std::min(find_line_end(text, at), end);
    if (value_end == std::string_view::npos) value_end = n;
    while (value_end > at && is_blank(text[value_end - 1])) --value_end;
    entry.code = text.substr(at, value_end - at);
    return entry;
}

std::size_t LibraryText::line_at(std::size_t pos) const {
    const auto line = [pos](const std::vector<std::size_t>& starts) {
        return static_cast<std::size_t>(std::upper_bound(starts.begin(), starts.end(), pos) - starts.begin());
    };
    return m_line_starts.empty() ? line(line_starts(m_text)) : line(m_line_starts);
}

}  // namespace tessaro
