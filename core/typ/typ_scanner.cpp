#include "typ_scanner.h"

#include <charconv>
#include <utility>

#include "code_page.h"
#include "text_util.h"

namespace tessaro {

namespace {

constexpr char32_t END = 0xFFFFFFFF;

// Java's Character.isWhitespace, and the byte order mark, which mkgmap reads as a blank.
bool is_space(char32_t c) {
    if (c == 0xFEFF) return true;
    if (c == ' ' || (c >= 0x09 && c <= 0x0D) || (c >= 0x1C && c <= 0x1F)) return true;
    return c == 0x1680 || (c >= 0x2000 && c <= 0x200A && c != 0x2007) || c == 0x2028 || c == 0x2029 ||
           c == 0x205F || c == 0x3000;
}

// Java's Character.isLetterOrDigit, or "_": exact for ASCII and Latin-1; past
// them every character but those of the punctuation and symbol blocks.
bool is_word(char32_t c) {
    if (c < 0x80) return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
    if (c < 0x100) return c == 0xAA || c == 0xB5 || c == 0xBA || (c >= 0xC0 && c != 0xD7 && c != 0xF7);
    if (is_space(c)) return false;
    const bool symbols = (c >= 0x2000 && c <= 0x2BFF) || (c >= 0x3000 && c <= 0x303F) || (c >= 0xD800 && c <= 0xDFFF) ||
                         (c >= 0xE000 && c <= 0xF8FF) || (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF0F) ||
                         c == 0xFFFD;
    return !symbols;
}

// An optional sign, taken off `s`: whether it was "-".
bool take_sign(std::string_view& s) {
    const bool negative = !s.empty() && s[0] == '-';
    if (!s.empty() && (s[0] == '-' || s[0] == '+')) s.remove_prefix(1);
    return negative;
}

// Digits of the base alone (no sign), as a 32-bit number of that sign.
std::optional<std::int64_t> parse_digits(std::string_view s, int base, bool negative) {
    std::uint64_t v = 0;
    if (s.size() > 40) return std::nullopt;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v, base);
    if (ec != std::errc() || end != s.data() + s.size() || v > (negative ? 0x80000000u : 0x7FFFFFFFu)) return std::nullopt;
    return negative ? -static_cast<std::int64_t>(v) : static_cast<std::int64_t>(v);
}

}  // namespace

std::string_view java_trim(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
    return s;
}

// The text is valid UTF-8: the caller decoded it.
char32_t TypScanner::read_char() {
    if (m_pushback != 0) return std::exchange(m_pushback, 0);
    if (m_pos >= m_text.size()) return END;
    const char32_t c = next_utf8(m_text, m_pos);
    if (c == '\r' || (c == '\n' && !m_after_cr)) ++m_line;
    m_after_cr = c == '\r';
    return c;
}

TypToken TypScanner::read_token() {
    TypToken t;
    t.line = m_line;
    char32_t c = read_char();
    if (c == END) return t;
    append_utf8(t.text, c);
    // ASCII runs of the token's kind (no line ends among them) are taken at
    // once, the rest a character at a time.
    const auto take_while = [&](auto keep) {
        const std::size_t from = m_pos;
        while (m_pos < m_text.size() && static_cast<unsigned char>(m_text[m_pos]) < 0x80 &&
               m_text[m_pos] != '\r' && keep(static_cast<char32_t>(m_text[m_pos])))
            ++m_pos;
        t.text.append(m_text.substr(from, m_pos - from));
        while (keep(c = read_char())) append_utf8(t.text, c);
        m_pushback = c;
    };
    if (c == '\r' || c == '\n') {
        if (c == '\r' && (c = read_char()) != '\n') m_pushback = c;
        t.kind = TokenKind::LineEnd;
    } else if (is_space(c)) {
        take_while([](char32_t k) { return k != END && k != '\n' && is_space(k); });
        t.kind = TokenKind::Space;
    } else if (is_word(c)) {
        take_while([](char32_t k) { return k != END && is_word(k); });
        t.kind = TokenKind::Word;
    } else {
        t.kind = TokenKind::Symbol;
        const char32_t first = c;
        if (first == '!' || first == '<' || first == '>' || first == '&' || first == '|') {
            c = read_char();
            const bool pair = (first == '&' || first == '|') ? c == first : c == '=';
            if (pair) append_utf8(t.text, c);
            else m_pushback = c;
        }
    }
    return t;
}

const TypToken& TypScanner::peek() {
    if (!m_peeked) m_peeked = read_token();
    return *m_peeked;
}

TypToken TypScanner::next_raw() {
    // The end stays the end however often it is asked for.
    if (peek().kind == TokenKind::End) return *m_peeked;
    TypToken t = std::move(*m_peeked);
    m_peeked.reset();
    return t;
}

void TypScanner::skip_space() {
    while (peek().kind == TokenKind::Space || peek().kind == TokenKind::LineEnd) next_raw();
}

TypToken TypScanner::next_token() {
    skip_space();
    return next_raw();
}

void TypScanner::skip_line() {
    while (!at_end())
        if (next_raw().kind == TokenKind::LineEnd) return;
}

// Most lines end in LF or CR LF and hold neither a NUL nor a lone CR, where
// the tokens' quirks would show: such a line is taken at once, as the tokens
// would give it. Not after a character that waits to be read again.
std::optional<std::string> TypScanner::read_plain_line() {
    if (m_pushback != 0 || m_after_cr) return std::nullopt;
    std::string line;
    if (m_peeked) {
        if (m_peeked->kind == TokenKind::LineEnd || m_peeked->kind == TokenKind::End) return std::nullopt;
        line = m_peeked->text;
    }
    const std::size_t at = find_line_end(m_text, m_pos);
    if (at == std::string_view::npos || m_text.substr(m_pos, at - m_pos).find('\0') != std::string_view::npos)
        return std::nullopt;
    std::size_t next = at + 1;
    if (m_text[at] == '\r' && (next == m_text.size() || m_text[next++] != '\n')) return std::nullopt;
    line.append(m_text.substr(m_pos, at - m_pos));
    m_peeked.reset();
    m_pos = next;
    ++m_line;
    return std::string(java_trim(line));
}

std::string TypScanner::read_line() {
    if (std::optional<std::string> line = read_plain_line()) return std::move(*line);
    std::string out;
    while (!at_end() && peek().kind != TokenKind::LineEnd) out += next_raw().text;
    next_raw();
    return std::string(java_trim(out));
}

bool TypScanner::check_token(std::string_view text) {
    skip_space();
    return peek().kind != TokenKind::End && peek().text == text;
}

std::optional<std::string> TypScanner::expect(std::string_view text) {
    TypToken t = next_token();
    if (t.kind != TokenKind::End && t.text == text) return std::nullopt;
    return t.kind == TokenKind::End ? std::string("the end of the file") : std::move(t.text);
}

std::optional<std::int64_t> java_parse_int(std::string_view s) {
    const bool negative = take_sign(s);
    return parse_digits(s, 10, negative);
}

// A sign, then 0x, 0X or # for hexadecimal, a leading 0 for octal, else decimal.
std::optional<std::int64_t> java_decode(std::string_view s) {
    const bool negative = take_sign(s);
    int base = 10;
    if (s.size() > 1 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) s.remove_prefix(2), base = 16;
    else if (!s.empty() && s[0] == '#') s.remove_prefix(1), base = 16;
    else if (s.size() > 1 && s[0] == '0') s.remove_prefix(1), base = 8;
    return parse_digits(s, base, negative);
}

}  // namespace tessaro
