#include "text_util.h"

namespace tessaro {

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

std::string replace_all(std::string_view s, std::string_view from, std::string_view to) {
    if (from.empty()) return std::string(s);
    std::string out;
    out.reserve(s.size());
    std::size_t pos = 0;
    for (std::size_t hit; (hit = s.find(from, pos)) != std::string_view::npos; pos = hit + from.size())
        out.append(s.substr(pos, hit - pos)).append(to);
    out.append(s.substr(pos));
    return out;
}

int hex_value(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

void append_quoted_line(std::string& out, std::string_view s) {
    out += QUOTE;
    out += s;
    out += QUOTE;
    out += CRLF;
}

std::string printable(std::string_view s, bool keep_line_feeds) {
    std::string out(s);
    for (char& c : out)
        if ((static_cast<unsigned char>(c) < 32 || c == 127) && !(keep_line_feeds && c == '\n')) c = '?';
    return out;
}

}  // namespace tessaro
