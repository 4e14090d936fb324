#include "type_code.h"

#include <cstdio>

#include "text_util.h"

namespace tessaro {

std::optional<std::uint32_t> code_value(std::string_view code) {
    // Java's Integer.decode, less its signs, which mkgmap's reader refuses.
    std::uint32_t base = 10;
    std::size_t from = 0;
    if (code.size() >= 2 && code[0] == '0') {
        const bool hex = (code[1] | 0x20) == 'x';
        base = hex ? 16 : 8;
        from = hex ? 2 : 1;
    }
    if (from == code.size()) return std::nullopt;
    std::uint64_t value = 0;
    for (std::size_t i = from; i < code.size(); ++i) {
        const int digit = hex_value(code[i]);
        if (digit < 0 || static_cast<std::uint32_t>(digit) >= base) return std::nullopt;
        value = value * base + digit;
        if (value > MAX_CODE_VALUE) return std::nullopt;
    }
    return static_cast<std::uint32_t>(value);
}

std::string typ_code(std::string_view code, std::uint32_t value) {
    if (code.size() > 2 && code[0] == '0' && (code[1] | 0x20) == 'x') return to_lower(code);
    char digits[16];
    std::snprintf(digits, sizeof digits, "0x%02x", static_cast<unsigned>(value));
    return digits;
}

LeadingCode leading_code(std::string_view text) {
    std::size_t first = 0;
    while (first < text.size() && text[first] == ' ') ++first;
    std::size_t end = first;
    while (end < text.size() && text[end] != ' ' && text[end] != ']') ++end;
    const std::string_view code = text.substr(first, end - first);
    return {code, code_value(code)};
}

std::uint32_t section_type(Section section, std::uint32_t value) {
    switch (section) {
        case Section::Point: return value <= 0xFF ? value << 8 : value;
        case Section::Polygon: return value >= 0x100 && value <= 0xFFFF && (value & 0xFF) == 0 ? value >> 8 : value;
        case Section::Line: return value;
    }
    return value;
}

std::uint32_t typ_type(std::uint32_t value) {
    return value <= 0xFF ? value << 8 : value;
}

}  // namespace tessaro
