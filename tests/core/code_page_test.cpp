#include "code_page.h"

#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sstream>

#include "support/temp_dir.h"

namespace tessaro {
namespace {

std::string utf8(char32_t c) {
    std::string s;
    if (c < 0x80) {
        s += static_cast<char>(c);
    } else if (c < 0x800) {
        s += static_cast<char>(0xC0 | (c >> 6));
        s += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        s += static_cast<char>(0xE0 | (c >> 12));
        s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        s += static_cast<char>(0xF0 | (c >> 18));
        s += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (c & 0x3F));
    }
    return s;
}

std::string hex(std::string_view bytes) {
    std::string s;
    for (unsigned char b : bytes) {
        char buf[4];
        std::snprintf(buf, sizeof buf, "%02X ", b);
        s += buf;
    }
    return s;
}

// Every code point of the Basic Multilingual Plane but the surrogates and the
// line end, and a few beyond it, one to a line: iconv -c leaves a line empty
// where 1252 lacks its character.
TEST(CodePage, converts_every_character_as_iconvs_windows_1252_table_does) {
#ifdef _WIN32
    GTEST_SKIP() << "iconv is checked by the Linux build";
#endif
    if (std::system("command -v iconv >/dev/null 2>&1") != 0) GTEST_SKIP() << "iconv is not installed";
    std::vector<char32_t> points;
    for (char32_t c = 1; c < 0x10000; ++c)
        if (c != '\n' && (c < 0xD800 || c > 0xDFFF)) points.push_back(c);
    for (char32_t c : {0x10000, 0x1F600, 0x10FFFF}) points.push_back(c);
    std::string input;
    for (char32_t c : points) input += utf8(c) + "\n";
    const test::TempDir dir;
    const std::string in = dir.write("in.txt", input);
    const std::string out = dir / "out.txt";
    const std::string command = "iconv -c -f UTF-8 -t CP1252 '" + in + "' >'" + out + "' 2>/dev/null";
    std::system(command.c_str());  // -c exits 1 after dropping characters in some versions
    std::istringstream lines(test::read_bytes(out));
    std::size_t representable = 0;
    for (char32_t c : points) {
        std::string expected;
        ASSERT_TRUE(std::getline(lines, expected)) << "iconv stopped before U+" << std::hex << static_cast<unsigned>(c);
        const CodePageText got = to_code_page(utf8(c));
        if (expected.empty()) {
            EXPECT_EQ(got.bytes, "?") << "U+" << std::hex << static_cast<unsigned>(c);
            EXPECT_TRUE(got.lost) << "U+" << std::hex << static_cast<unsigned>(c);
        } else {
            ++representable;
            EXPECT_EQ(got.bytes, expected) << "U+" << std::hex << static_cast<unsigned>(c);
            EXPECT_FALSE(got.lost) << "U+" << std::hex << static_cast<unsigned>(c);
        }
    }
    // 1252 holds 251 characters besides NUL and the line end.
    EXPECT_EQ(representable, 249u);
    // In a text, each lacking character is one "?".
    EXPECT_EQ(to_code_page("Stra\xC3\x9F" "e \xD0\x9C\xD0\xBE \xE2\x82\xAC\xF0\x9F\x98\x80").bytes, "Stra\xDF" "e ?? \x80?");
}

TEST(CodePage, leaves_text_that_is_no_valid_utf8_as_it_stands) {
    const char* const cases[] = {
        "caf\xE9",                  // 1252 already
        "\xC0\xAF", "\xE0\x80\xAF", "\xF0\x80\x80\xAF",  // overlong "/"
        "\xC1\xBF",                 // overlong U+007F
        "a\x80" "b", "\xBF",        // lone continuation bytes
        "\xED\xA0\x80", "\xED\xBF\xBF",  // surrogates
        "\xF4\x90\x80\x80",         // past U+10FFFF
        "\xF8\x88\x80\x80\x80", "\xFF", "\xFE",  // no UTF-8 lead byte
        "\xC3", "ab\xE2\x82",       // cut short at the end
        "\xC3" "a",                 // lead byte without its continuation
        "Stra\xC3\x9F" "e \xE9",    // valid UTF-8, then a 1252 byte: the whole text stays
    };
    for (const char* text : cases) {
        const CodePageText got = to_code_page(text);
        EXPECT_EQ(got.bytes, text) << hex(text);
        EXPECT_FALSE(got.lost) << hex(text);
    }
    // The shortest forms next to them are converted.
    EXPECT_EQ(to_code_page("\xC2\x80").bytes, "?");
    EXPECT_EQ(to_code_page("\xF4\x8F\xBF\xBF").bytes, "?");
    EXPECT_EQ(to_code_page("\xED\x9F\xBF").bytes, "?");
}

}  // namespace
}  // namespace tessaro
