#include "text_util.h"

#include <bit>
#include <cstdint>
#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tessaro {

char lower_char(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string to_lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = lower_char(c);
    return out;
}

namespace {

// True when needle (whose first byte matched) follows at hay[i], without regard to case.
bool rest_matches_ci(std::string_view hay, std::size_t i, std::string_view needle) {
    for (std::size_t k = 1; k < needle.size(); ++k)
        if (lower_char(hay[i + k]) != lower_char(needle[k])) return false;
    return true;
}

}  // namespace

std::size_t find_ci(std::string_view hay, std::string_view needle, std::size_t from) {
    if (needle.empty()) return from <= hay.size() ? from : std::string_view::npos;
    if (needle.size() > hay.size()) return std::string_view::npos;
    const char first = lower_char(needle[0]);
    // A letter matches in either case: its byte with the 0x20 bit set is the
    // lower case one, as for no other byte.
    const bool letter = first >= 'a' && first <= 'z';
    const char fold = letter ? 0x20 : 0;
    const std::size_t last_start = hay.size() - needle.size();  // the last place a match may start
    std::size_t i = from;
#if defined(__SSE2__)
    // Sixteen places at a time are looked at for the first byte.
    const __m128i want = _mm_set1_epi8(first);
    const __m128i folding = _mm_set1_epi8(fold);
    for (; i + 16 <= hay.size() && i <= last_start; i += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(hay.data() + i));
        auto hits = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_or_si128(bytes, folding), want)));
        for (; hits != 0; hits &= hits - 1) {
            const std::size_t at = i + static_cast<std::size_t>(std::countr_zero(hits));
            if (at > last_start) return std::string_view::npos;
            if (rest_matches_ci(hay, at, needle)) return at;
        }
    }
#endif
    for (; i <= last_start; ++i)
        if (static_cast<char>(hay[i] | fold) == first && rest_matches_ci(hay, i, needle)) return i;
    return std::string_view::npos;
}

bool contains(std::string_view hay, std::string_view needle) {
    return hay.find(needle) != std::string_view::npos;
}

std::string replace_all(std::string_view s, std::string_view from, std::string_view to) {
    if (from.empty()) return std::string(s);
    std::string out;
    out.reserve(s.size());
    std::size_t pos = 0;
    while (true) {
        const std::size_t hit = s.find(from, pos);
        if (hit == std::string_view::npos) break;
        out.append(s.substr(pos, hit - pos));
        out.append(to);
        pos = hit + from.size();
    }
    out.append(s.substr(pos));
    return out;
}

std::string_view trim_blanks(std::string_view s) {
    std::size_t b = 0;
    std::size_t e = s.size();
    while (b < e && s[b] == ' ') ++b;
    while (e > b && s[e - 1] == ' ') --e;
    return s.substr(b, e - b);
}

bool is_hex_digit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

void append_quoted_line(std::string& out, std::string_view s) {
    out += QUOTE;
    out += s;
    out += QUOTE;
    out += CRLF;
}

bool is_alnum_ascii(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// FNV-1a over the bytes with bit 5 set: a capital letter differs from its
// small letter only there, so keys equal but for case hash alike (the few
// other bytes that meet so are told apart by the equality).
std::size_t CaselessHash::operator()(std::string_view s) const {
    std::uint64_t h = 14695981039346656037ULL;
    for (char c : s) {
        h ^= static_cast<unsigned char>(c) | 0x20u;
        h *= 1099511628211ULL;
    }
    return static_cast<std::size_t>(h);
}

bool CaselessEqual::operator()(std::string_view a, std::string_view b) const noexcept {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i] && lower_char(a[i]) != lower_char(b[i])) return false;
    return true;
}

namespace {

constexpr std::uint64_t CASE_BITS = 0x2020202020202020ULL;

inline std::uint64_t load4(const char* p) {
    std::uint32_t w = 0;
    std::memcpy(&w, p, 4);
    return w;
}

// The first eight bytes of a text in a word: all of a text of up to eight
// bytes, which the word then tells apart from every other text of its size.
inline std::uint64_t head_of(std::string_view text) {
    const std::size_t n = text.size();
    if (n >= 8) {
        std::uint64_t w = 0;
        std::memcpy(&w, text.data(), 8);
        return w;
    }
    if (n >= 4) return load4(text.data()) | (load4(text.data() + n - 4) << 32);
    std::uint64_t w = 0;
    for (std::size_t i = 0; i < n; ++i) w |= std::uint64_t{static_cast<unsigned char>(text[i])} << (8 * i);
    return w;
}

inline std::uint64_t mix(std::uint64_t h, std::uint64_t w) {
    h = (h ^ w) * 0xFF51AFD7ED558CCDULL;
    return h ^ (h >> 32);
}

}  // namespace

// Eight bytes at a time, mixed by multiplies: codes are a few bytes long.
// Caseless hashes set bit 5 of every byte, as CaselessHash does.
inline std::uint64_t TextSet::hash_of(std::string_view text, std::uint64_t head) const {
    const std::uint64_t fold = m_caseless ? CASE_BITS : 0;
    std::uint64_t h = mix(0x9E3779B97F4A7C15ULL ^ text.size(), head | fold);
    for (std::size_t i = 8; i < text.size(); i += 8) {
        std::uint64_t w = 0;
        std::memcpy(&w, text.data() + std::min(i, text.size() - 8), 8);
        h = mix(h, w | fold);
    }
    h *= 0xC4CEB9FE1A85EC53ULL;
    return h ^ (h >> 29);
}

namespace {

std::uint32_t check_of(std::uint64_t hash, std::size_t size) {
    return static_cast<std::uint32_t>(hash >> 40) << 8 | static_cast<std::uint32_t>(std::min<std::size_t>(size, 255));
}

}  // namespace

inline std::size_t TextSet::find_slot(std::uint64_t hash, std::uint64_t head, std::string_view text) const {
    const std::size_t mask = m_slots.size() - 1;
    const std::uint32_t check = check_of(hash, text.size());
    for (std::size_t i = static_cast<std::size_t>(hash) & mask;; i = (i + 1) & mask) {
        const Slot& slot = m_slots[i];
        if (slot.text == EMPTY) return i;
        if (slot.check != check) continue;
        // Up to eight bytes, the head and the size are the text: most texts
        // are found so, in the letter case they were kept in.
        if (slot.head == head && text.size() <= 8) return i;
        const Kept& kept = m_texts[slot.text];
        const std::string_view other(m_bytes.data() + kept.start, kept.size);
        if (m_caseless ? CaselessEqual{}(other, text) : other == text) return i;
    }
}

bool TextSet::contains(std::string_view text) const {
    if (m_texts.empty()) return false;
    const std::uint64_t head = head_of(text);
    return m_slots[find_slot(hash_of(text, head), head, text)].text != EMPTY;
}

bool TextSet::insert(std::string_view text) {
    // At most half full, so that probes stay short and an empty slot always ends them.
    if (2 * (m_texts.size() + 1) > m_slots.size()) grow();
    const std::uint64_t head = head_of(text);
    const std::uint64_t hash = hash_of(text, head);
    Slot& slot = m_slots[find_slot(hash, head, text)];
    if (slot.text != EMPTY) return false;
    slot = {head, check_of(hash, text.size()), static_cast<std::uint32_t>(m_texts.size())};
    m_texts.push_back({m_bytes.size(), text.size()});
    m_bytes.append(text);
    return true;
}

void TextSet::grow() {
    std::vector<Slot> old = std::move(m_slots);
    m_slots.assign(std::max<std::size_t>(64, 2 * old.size()), Slot{});
    const std::size_t mask = m_slots.size() - 1;
    for (const Slot& slot : old) {
        if (slot.text == EMPTY) continue;
        const Kept& kept = m_texts[slot.text];
        const std::string_view text(m_bytes.data() + kept.start, kept.size);
        std::size_t i = static_cast<std::size_t>(hash_of(text, slot.head)) & mask;
        while (m_slots[i].text != EMPTY) i = (i + 1) & mask;
        m_slots[i] = slot;
    }
}

// Position of the first "ab" in data[from, n), or n. Sixteen bytes at a time
// with SSE2 (every x86-64 has it), else eight: a rule file of 50 MB holds few
// such pairs, and a byte loop would cost more than reading the file.
std::size_t count_byte(const char* data, std::size_t n, char c) {
    std::size_t count = 0;
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128i vc = _mm_set1_epi8(c);
    for (; i + 16 <= n; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
        count += static_cast<std::size_t>(std::popcount(static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, vc)))));
    }
#endif
    for (; i < n; ++i) count += data[i] == c;
    return count;
}

std::size_t find_pair(const char* data, std::size_t from, std::size_t n, char a, char b) {
    constexpr std::uint64_t ONES = 0x0101010101010101ULL;
    constexpr std::uint64_t LOW7 = 0x7F7F7F7F7F7F7F7FULL;
    // 0x80 in every byte of x that is zero, exactly (no borrow between bytes).
    const auto zero_bytes = [](std::uint64_t x) { return ~(((x & LOW7) + LOW7) | x | LOW7); };
    const std::uint64_t pa = ONES * static_cast<unsigned char>(a);
    const std::uint64_t pb = ONES * static_cast<unsigned char>(b);
    std::size_t i = from;
#if defined(__SSE2__)
    const __m128i va = _mm_set1_epi8(a);
    const __m128i vb = _mm_set1_epi8(b);
    for (; i + 17 <= n; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
        const __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i + 1));
        const __m128i both = _mm_and_si128(_mm_cmpeq_epi8(v, va), _mm_cmpeq_epi8(w, vb));
        const auto hits = static_cast<unsigned>(_mm_movemask_epi8(both));
        if (hits != 0) return i + static_cast<std::size_t>(std::countr_zero(hits));
    }
#endif
    for (; i + 9 <= n; i += 8) {
        std::uint64_t v = 0;
        std::uint64_t w = 0;
        std::memcpy(&v, data + i, 8);
        std::memcpy(&w, data + i + 1, 8);
        std::uint64_t hits = zero_bytes(v ^ pa) & zero_bytes(w ^ pb);
        if (hits == 0) continue;
        // Bytes in memory order: the lowest flagged byte on little-endian machines.
        for (std::size_t k = 0; k < 8; ++k)
            if (data[i + k] == a && data[i + k + 1] == b) return i + k;
    }
    for (; i + 1 < n; ++i)
        if (data[i] == a && data[i + 1] == b) return i;
    return n;
}

namespace {
bool is_control(char c) {
    return static_cast<unsigned char>(c) < 32 || c == 127;
}
}  // namespace

std::string printable(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (is_control(c)) c = '?';
    return out;
}

std::string printable_lines(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c != '\n' && is_control(c)) c = '?';
    return out;
}

}  // namespace tessaro
