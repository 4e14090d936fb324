#include "text_util.h"

namespace tessaro {

char lower_char(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string to_lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = lower_char(c);
    return out;
}

std::size_t find_ci(std::string_view hay, std::string_view needle, std::size_t from) {
    if (needle.empty()) return from <= hay.size() ? from : std::string_view::npos;
    if (needle.size() > hay.size()) return std::string_view::npos;
    for (std::size_t i = from; i <= hay.size() - needle.size(); ++i) {
        std::size_t k = 0;
        while (k < needle.size() && lower_char(hay[i + k]) == lower_char(needle[k])) ++k;
        if (k == needle.size()) return i;
    }
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

std::string_view trim_any_of(std::string_view s, std::string_view chars) {
    const std::size_t b = s.find_first_not_of(chars);
    if (b == std::string_view::npos) return s.substr(s.size());
    return s.substr(b, s.find_last_not_of(chars) + 1 - b);
}

std::string_view trim_blanks(std::string_view s) {
    return trim_any_of(s, " ");
}

std::size_t find_line_end(std::string_view text, std::size_t from) {
    for (std::size_t i = from; i < text.size(); ++i)
        if (text[i] == '\r' || text[i] == '\n') return i;
    return std::string_view::npos;
}

int hex_value(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool is_hex_digit(char c) {
    return hex_value(c) >= 0;
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
