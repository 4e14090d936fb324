#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Byte-string helpers. File contents are bytes; "case" always means ASCII case.
namespace tessaro {

inline constexpr const char* CRLF = "\r\n";
inline constexpr char QUOTE = '"';

std::string to_lower(std::string_view s);
inline char lower_char(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
// Position of the first occurrence of needle, ignoring ASCII case, or npos.
std::size_t find_ci(std::string_view hay, std::string_view needle, std::size_t from = 0);
inline bool contains(std::string_view hay, std::string_view needle) { return hay.find(needle) != hay.npos; }
// Every occurrence replaced, left to right, non-overlapping, in one pass.
std::string replace_all(std::string_view s, std::string_view from, std::string_view to);
// Whether `c` is one of the few bytes of `set`: a plain loop, where std::string_view::find asks the C library.
inline bool is_one_of(char c, std::string_view set) {
    for (const char k : set)
        if (c == k) return true;
    return false;
}
// Leading and trailing bytes of `chars` removed.
inline std::string_view trim_any_of(std::string_view s, std::string_view chars) {
    std::size_t b = 0, e = s.size();
    while (b < e && is_one_of(s[b], chars)) ++b;
    while (e > b && is_one_of(s[e - 1], chars)) --e;
    return s.substr(b, e - b);
}
// Leading and trailing blanks (character 32 only) removed.
inline std::string_view trim_blanks(std::string_view s) { return trim_any_of(s, " "); }
// A blank, a tab or a CR: what a rule line may hold between its words.
inline bool is_blank_tab_or_cr(char c) { return c == ' ' || c == '\t' || c == '\r'; }
// The first byte from `from` on that is one of the few bytes of `set`, or npos (find_first_of asks the C library once a
// byte of the text).
inline std::size_t find_any(std::string_view text, std::string_view set, std::size_t from = 0) {
    for (std::size_t i = from; i < text.size(); ++i)
        if (is_one_of(text[i], set)) return i;
    return text.npos;
}
// The first CR or LF of the text from `from` on, or npos.
inline std::size_t find_line_end(std::string_view text, std::size_t from = 0) { return find_any(text, "\r\n", from); }
// The value of a hexadecimal digit; -1 for any other byte.
int hex_value(char c);
inline bool is_hex_digit(char c) { return hex_value(c) >= 0; }

// Appends s between quote characters and a line end: an XPM string of an entry.
void append_quoted_line(std::string& out, std::string_view s);
inline bool is_alnum_ascii(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
// The text with every control character (bytes below 32, and 127) written as
// "?": safe to put on one line of a message or a file; or, keeping its line
// feeds, a message of several lines.
std::string printable(std::string_view s, bool keep_line_feeds = false);

}  // namespace tessaro
