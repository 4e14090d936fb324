#pragma once

#include <string>
#include <string_view>
#include <unordered_set>

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
// s between quote characters, as every XPM string of an entry stands.
std::string quoted(std::string_view s);
bool is_alnum_ascii(char c);

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

}  // namespace tessaro
