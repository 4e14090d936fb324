#include "code_page.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace tessaro {

namespace {

// The characters of bytes 0x80-0x9F; 0 where 1252 has none. Bytes 0xA0-0xFF
// are the code points of the same value.
constexpr std::array<char32_t, 32> HIGH_CONTROLS = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

std::optional<unsigned char> code_page_byte(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<unsigned char>(c);
    for (std::size_t i = 0; i < HIGH_CONTROLS.size(); ++i)
        if (HIGH_CONTROLS[i] != 0 && HIGH_CONTROLS[i] == c) return static_cast<unsigned char>(0x80 + i);
    return std::nullopt;
}

// The code points of valid UTF-8 (no overlong forms, surrogates or values
// past U+10FFFF); nothing for any other bytes.
std::optional<std::vector<char32_t>> decode_utf8(std::string_view text) {
    std::vector<char32_t> out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t more = 0;
        char32_t c = 0;
        char32_t least = 0;
        if (lead < 0x80) {
            c = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            more = 1, c = lead & 0x1F, least = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            more = 2, c = lead & 0x0F, least = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            more = 3, c = lead & 0x07, least = 0x10000;
        } else {
            return std::nullopt;
        }
        if (text.size() - i <= more) return std::nullopt;
        for (std::size_t k = 1; k <= more; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return std::nullopt;
            c = (c << 6) | (next & 0x3F);
        }
        if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return std::nullopt;
        out.push_back(c);
        i += more + 1;
    }
    return out;
}

}  // namespace

CodePageText to_code_page(std::string_view text) {
    CodePageText result;
    // Most labels are ASCII, which the code page keeps as it is.
    if (std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        result.bytes = std::string(text);
        return result;
    }
    const std::optional<std::vector<char32_t>> chars = decode_utf8(text);
    if (!chars) {
        result.bytes = std::string(text);
        return result;
    }
    result.bytes.reserve(chars->size());
    for (char32_t c : *chars) {
        if (const std::optional<unsigned char> b = code_page_byte(c)) {
            result.bytes += static_cast<char>(*b);
        } else {
            result.bytes += '?';
            result.lost = true;
        }
    }
    return result;
}

bool code_page_known(int code_page) { return code_page == 1252; }

std::optional<std::string> code_page_to_utf8(std::string_view bytes, int code_page) {
    if (!code_page_known(code_page)) return std::nullopt;
    std::string out;
    out.reserve(bytes.size());
    for (const char byte : bytes) {
        const auto b = static_cast<unsigned char>(byte);
        char32_t c = b;
        if (b >= 0x80 && b < 0xA0) {
            c = HIGH_CONTROLS[b - 0x80];
            if (c == 0) return std::nullopt;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

}  // namespace tessaro
