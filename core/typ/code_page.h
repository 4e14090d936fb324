#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tessaro {

// The code page number by which a TYP text (and mkgmap's command line) names UTF-8.
inline constexpr int UTF8_CODE_PAGE = 65001;

// A label in a TYP text's code page, which mkgmap writes the labels in.
struct CodePageText {
    std::string bytes;
    bool lost = false;  // some characters the code page lacks became "?"
};

// Rule files are usually UTF-8: valid UTF-8 is converted into the code page's
// bytes (874 and 1250 to 1258), each character the page lacks becoming "?";
// a page not known keeps ASCII alone. Anything else (plain ASCII, or bytes
// that are no valid UTF-8, taken as in the page already) stays as it stands.
// With 65001 the text stays UTF-8, bytes that are none taken as 1252.
CodePageText to_code_page(std::string_view text, int code_page = 1252);

// The bytes of a text in a Windows code page (or 65001, UTF-8) as UTF-8;
// nothing when a byte is one the page leaves undefined (mkgmap's reader stops
// there), the bytes are no valid UTF-8 for 65001, or the page is not known.
std::optional<std::string> code_page_to_utf8(std::string_view bytes, int code_page);
// The same for a single-byte page, each undefined byte (any byte above 0x7F
// of a page not known) becoming "?" and setting `lost`.
std::string code_page_to_utf8_marked(std::string_view bytes, int code_page, bool& lost);
bool code_page_known(int code_page);

// The character of valid UTF-8 (no overlong forms, surrogates or values past
// U+10FFFF, as Java's decoder takes it) at `pos`, which then stands after it;
// nothing, `pos` unmoved, when the bytes there are no such character.
std::optional<char32_t> next_valid_utf8(std::string_view text, std::size_t& pos);
bool is_utf8(std::string_view text);
bool is_ascii(std::string_view text);

// A code point as UTF-8 at the end of `out`.
void append_utf8(std::string& out, char32_t c);
// The character of UTF-8 text that starts at `pos`, which then stands after
// it (a sequence cut short by the end is read as far as it goes). Inline: the
// TYP reader takes every character of a text through it.
inline char32_t next_utf8(std::string_view text, std::size_t& pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    const std::size_t more = lead < 0x80 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
    char32_t c = more == 0 ? lead : lead & (0x3F >> more);
    for (std::size_t k = 1; k <= more && pos + k < text.size(); ++k)
        c = (c << 6) | (static_cast<unsigned char>(text[pos + k]) & 0x3F);
    pos += more + 1;
    return c;
}

// How a TYP text holds its labels: the characters of its code page, in the
// page's bytes, or in UTF-8 where mkgmap reads the text as UTF-8.
struct LabelCoding {
    int code_page = 1252;
    bool utf8 = false;

    bool operator==(const LabelCoding&) const = default;
};

}  // namespace tessaro
