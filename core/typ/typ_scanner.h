#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tessaro {

// The tokens of a TYP text as mkgmap's compiler cuts it: runs of blanks, line
// ends, words (letters, digits, "_") and single other characters, some paired
// ("!=", "<=", ">=", "&&", "||"). mkgmap's verdict on a text follows from
// these cuts, so they are kept to the letter, quirks included: a run of
// blanks takes a lone CR into it, and a NUL character right after a word or a
// run of blanks is lost.
enum class TokenKind { Space, LineEnd, Word, Symbol, End };

struct TypToken {
    TokenKind kind = TokenKind::End;
    std::string text;      // UTF-8
    std::size_t line = 0;  // 1-based physical line (CR LF, CR and LF each end one)
};

class TypScanner {
public:
    explicit TypScanner(std::string_view utf8) : m_text(utf8) {}

    const TypToken& peek();
    TypToken next_raw();
    // Past blanks and line ends.
    TypToken next_token();
    bool at_end() { return peek().kind == TokenKind::End; }
    void skip_space();
    // Through the next line end.
    void skip_line();
    // The rest of the line without its blanks at either end (as Java's trim
    // takes them: every character up to U+0020); the line end is consumed.
    std::string read_line();
    bool check_token(std::string_view text);
    // The next token past blanks, which must be `text`; what was seen otherwise.
    std::optional<std::string> expect(std::string_view text);
    // The line of the token that comes next.
    std::size_t line() { return peek().line; }

private:
    char32_t read_char();
    TypToken read_token();
    std::optional<std::string> read_plain_line();

    std::string_view m_text;
    std::size_t m_pos = 0;
    std::size_t m_line = 1;   // of the next character read
    bool m_after_cr = false;  // an LF right after a CR ends no line of its own
    char32_t m_pushback = 0;  // 0: none, which is how a NUL gets lost
    std::optional<TypToken> m_peeked;
};

// Java's String.trim: characters up to U+0020 off both ends.
std::string_view java_trim(std::string_view s);
// Java's Integer.parseInt: an optional sign, then decimal digits; 32 bits.
std::optional<std::int64_t> java_parse_int(std::string_view s);
// Java's Integer.decode, which mkgmap reads the numbers of a TYP text with.
std::optional<std::int64_t> java_decode(std::string_view s);

}  // namespace tessaro
