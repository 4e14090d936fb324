#include "code_page.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <sstream>
#include <tuple>

#include "support/temp_dir.h"

namespace tessaro {
namespace {

// UTF-8 by its definition: a lead byte of as many high bits as the sequence
// has bytes, then six bits a byte.
std::string utf8(char32_t c) {
    if (c < 0x80) return std::string(1, static_cast<char>(c));
    const int n = c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
    std::string s(static_cast<std::size_t>(n), '\0');
    for (int i = n - 1; i > 0; --i, c >>= 6) s[static_cast<std::size_t>(i)] = static_cast<char>(0x80 | (c & 0x3F));
    s[0] = static_cast<char>(((0xFF00 >> n) & 0xFF) | c);
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
        representable += !expected.empty();
        EXPECT_EQ(std::tie(got.bytes, got.lost), std::make_tuple(expected.empty() ? "?" : expected, expected.empty()))
            << "U+" << std::hex << static_cast<unsigned>(c);
    }
    // 1252 holds 251 characters besides NUL and the line end.
    EXPECT_EQ(representable, 249u);
}

// One text for each way to fail: overlong, surrogate, past U+10FFFF, no lead byte, a lone
// continuation byte, a lead byte without its continuation, cut short, and valid UTF-8
// followed by a 1252 byte (the whole text stays). The shortest valid forms beside
// them are converted by the iconv comparison above.
TEST(CodePage, leaves_text_that_is_no_valid_utf8_as_it_stands) {
    for (const char* text : {"caf\xE9", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xFF", "a\x80" "b", "\xC3" "a",
                             "ab\xE2\x82", "Stra\xC3\x9F" "e \xE9"}) {
        const CodePageText got = to_code_page(text);
        EXPECT_EQ(got.bytes, text) << testing::PrintToString(text);
        EXPECT_FALSE(got.lost) << testing::PrintToString(text);
    }
}

}  // namespace
}  // namespace tessaro
