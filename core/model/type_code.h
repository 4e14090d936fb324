#pragma once

#include <unordered_set>

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "section.h"

namespace tessaro {

// The largest code mkgmap takes: it decodes codes as Java ints.
inline constexpr std::uint32_t MAX_CODE_VALUE = 0x7FFFFFFF;

// The number a type code stands for, as mkgmap decodes it: "0x" (either case)
// and hexadecimal digits, "0" and octal digits, or decimal digits; at most
// MAX_CODE_VALUE. Nothing for anything else, a sign too.
std::optional<std::uint32_t> code_value(std::string_view code);

// The code as an entry's Type= writes it: a "0x" code as the rule wrote it, in
// lower case; a decimal or octal one in hexadecimal ("0x2d02" for 11522), two
// digits at least, as the built-in looks name their codes.
std::string typ_code(std::string_view code, std::uint32_t value);

// The code that a type bracket's text starts with (blanks skipped, up to a
// blank or "]") and its code_value, in one pass for the usual code.
struct LeadingCode {
    std::string_view code;
    std::optional<std::uint32_t> value;
};

namespace detail {
// The value of each hexadecimal digit; 0xFF for every other byte.
inline constexpr std::array<std::uint8_t, 256> HEX_DIGITS = [] {
    std::array<std::uint8_t, 256> table{};
    table.fill(0xFF);
    for (int c = '0'; c <= '9'; ++c) table[static_cast<std::size_t>(c)] = static_cast<std::uint8_t>(c - '0');
    for (int c = 'a'; c <= 'f'; ++c) {
        table[static_cast<std::size_t>(c)] = static_cast<std::uint8_t>(c - 'a' + 10);
        table[static_cast<std::size_t>(c - 'a' + 'A')] = static_cast<std::uint8_t>(c - 'a' + 10);
    }
    return table;
}();
// The code from `first` on when it is no plain "0x" and digits (a decimal one too).
LeadingCode other_leading_code(std::string_view text, std::size_t first);
// Reads the hexadecimal digits of text from `from` on, up to `to`, into
// value (held at a little over 32 bits: larger is too large alike); returns
// where they end. FEW: the caller reads eight digits at most, which never
// overflow, and is spared the check.
template <bool FEW = false>
inline std::size_t read_hex_digits(const char* text, std::size_t from, std::size_t to, std::uint64_t& value) {
    value = 0;
    for (; from < to; ++from) {
        const std::uint8_t digit = HEX_DIGITS[static_cast<unsigned char>(text[from])];
        if (digit == 0xFF) break;
        value = FEW || value < (std::uint64_t{1} << 36) ? value * 16 + digit : value;
    }
    return from;
}
}  // namespace detail

// Inline: the reader asks it for every type bracket.
inline LeadingCode leading_code(std::string_view text) {
    const std::size_t n = text.size();
    std::size_t first = 0;
    while (first < n && text[first] == ' ') ++first;
    if (n - first >= 3 && text[first] == '0' && (text[first + 1] | 0x20) == 'x') {
        // The digits, read as they are passed; the value stands if the word ends with them.
        std::uint64_t value = 0;
        const std::size_t end = detail::read_hex_digits(text.data(), first + 2, n, value);
        if (end == n || text[end] == ' ' || text[end] == ']') {
            const std::string_view code = text.substr(first, end - first);
            if (end == first + 2 || value > MAX_CODE_VALUE) return {code, std::nullopt};
            return {code, static_cast<std::uint32_t>(value)};
        }
    }
    return detail::other_leading_code(text, first);
}

// The type a code's number means in a section, as mkgmap reads a style: a
// point's 0x2f is its 0x2f00, a polygon's 0x2f00 its 0x2f (but 0x5001 stays
// 0x5001). Codes equal by this are one type to mkgmap's style reading.
std::uint32_t section_type(Section section, std::uint32_t value);

// The type a TYP text's Type= value stands for: a value up to 0xff is a type
// without subtype (0x2f is 0x2f00, a line's 0x00100 is 0x01's 0x100). A
// style's code is compared after section_type, read the same way.
std::uint32_t typ_type(std::uint32_t value);

// The TYP type of a rule's code in a section: typ_type of its section_type.
// A TYP text can hold one entry for each: mkgmap's TYP compiler takes a
// line's 0x02 and 0x200 for one type, though its style reading does not.
inline std::uint32_t code_typ_type(Section section, std::uint32_t value) {
    return typ_type(section_type(section, value));
}

// The types met so far: one entry for each.
using TypeSet = std::unordered_set<std::uint32_t>;

}  // namespace tessaro
