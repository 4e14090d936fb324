#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

// Byte-string helpers. File contents are bytes; "case" always means ASCII case.
namespace tessaro {

inline constexpr const char* CRLF = "\r\n";
inline constexpr char QUOTE = '"';

std::string to_lower(std::string_view s);
char lower_char(char c);
// Position of the first occurrence of needle, ignoring ASCII case, or npos.
std::size_t find_ci(std::string_view hay, std::string_view needle, std::size_t from = 0);
bool contains(std::string_view hay, std::string_view needle);
// Every occurrence replaced, left to right, non-overlapping, in one pass.
std::string replace_all(std::string_view s, std::string_view from, std::string_view to);
// Leading and trailing blanks (character 32 only) removed.
std::string_view trim_blanks(std::string_view s);
bool is_hex_digit(char c);
// Position of the first byte pair "ab" in data[from, n), or n; fast on long texts.
std::size_t find_pair(const char* data, std::size_t from, std::size_t n, char a, char b);

// How often byte c occurs in [data, data + n): sixteen bytes at a time.
std::size_t count_byte(const char* data, std::size_t n, char c);
// Appends s between quote characters and a line end: an XPM string of an entry.
void append_quoted_line(std::string& out, std::string_view s);
bool is_alnum_ascii(char c);
// The text with every control character (bytes below 32, and 127) written as
// "?": safe to put on one line of a message or a file.
std::string printable(std::string_view s);
// The same for a message of several lines: its line feeds kept, every other
// control character "?".
std::string printable_lines(std::string_view s);

// Hash and equality without regard to ASCII case, for a set of lower-cased
// codes that is searched with views of codes in any case: most codes repeat,
// and only a new one needs its lower-cased copy.
struct CaselessHash {
    using is_transparent = void;
    // Not noexcept: libstdc++ then keeps each key's hash in its node, and a
    // search compares those before it compares keys.
    std::size_t operator()(std::string_view s) const;
};
struct CaselessEqual {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const noexcept;
};
using CaselessSet = std::unordered_set<std::string, CaselessHash, CaselessEqual>;

// A set of short texts, such as the type codes of a rule file, that is asked
// once per rule: open addressing over a power-of-two table of small slots,
// the texts kept back to back, so that a search costs no division and, for
// a text of up to eight bytes, one cache line. Caseless sets take texts equal
// but for ASCII case as one.
class TextSet {
public:
    explicit TextSet(bool caseless) : m_caseless(caseless) {}
    // True when the text was new to the set (it is in it now).
    bool insert(std::string_view text);
    bool contains(std::string_view text) const;
    std::size_t size() const { return m_texts.size(); }

private:
    struct Slot {
        std::uint64_t head = 0;   // the text's first eight bytes (all of a short one)
        std::uint32_t check = 0;  // hash bits and the size (up to 255) of the text
        std::uint32_t text = EMPTY;  // its place in m_texts
    };
    struct Kept {
        std::size_t start;
        std::size_t size;
    };
    static constexpr std::uint32_t EMPTY = ~std::uint32_t{0};

    std::uint64_t hash_of(std::string_view text, std::uint64_t head) const;
    // The slot that holds the text, or the empty slot where it would go.
    std::size_t find_slot(std::uint64_t hash, std::uint64_t head, std::string_view text) const;
    void grow();

    bool m_caseless;
    std::vector<Slot> m_slots;
    std::vector<Kept> m_texts;
    std::string m_bytes;
};

// True when every code of every row (row.*codes, empty places left out) has
// `size` bytes: a table's lookup may then turn other codes away by length.
template <typename Row, std::size_t N, typename Codes>
constexpr bool codes_of_size(const Row (&rows)[N], Codes Row::*codes, std::size_t size) {
    for (std::size_t r = 0; r < N; ++r)
        for (std::size_t k = 0; k < (rows[r].*codes).size(); ++k)
            if (!(rows[r].*codes)[k].empty() && (rows[r].*codes)[k].size() != size) return false;
    return true;
}

}  // namespace tessaro
