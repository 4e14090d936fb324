#pragma once

#include <cstddef>
#include <string>
#include <string_view>

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
// Leading and trailing bytes of `chars` removed.
std::string_view trim_any_of(std::string_view s, std::string_view chars);
// Leading and trailing blanks (character 32 only) removed.
std::string_view trim_blanks(std::string_view s);
// A blank, a tab or a CR: what a rule line may hold between its words.
inline bool is_blank_tab_or_cr(char c) { return c == ' ' || c == '\t' || c == '\r'; }
// The first CR or LF of the text from `from` on, or npos.
std::size_t find_line_end(std::string_view text, std::size_t from = 0);
// The value of a hexadecimal digit; -1 for any other byte.
int hex_value(char c);
bool is_hex_digit(char c);

// Appends s between quote characters and a line end: an XPM string of an entry.
void append_quoted_line(std::string& out, std::string_view s);
bool is_alnum_ascii(char c);
// The text with every control character (bytes below 32, and 127) written as
// "?": safe to put on one line of a message or a file.
std::string printable(std::string_view s);
// The same for a message of several lines: its line feeds kept, every other
// control character "?".
std::string printable_lines(std::string_view s);

}  // namespace tessaro
