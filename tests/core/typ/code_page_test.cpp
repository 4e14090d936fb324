#include "code_page.h"
#include <cstdlib>
#include <optional>
#include <sstream>
#include <tuple>
#include "support/mkgmap.h"

namespace tessaro {
namespace {
// The single-byte Windows pages, each with the bytes above 0x7F that Java's windows-NNNN decoder (mkgmap's) refuses, counted
// there.
constexpr std::pair<int, std::size_t> PAGES[] = {{874, 31}, {1250, 5}, {1251, 1}, {1252, 5}, {1253, 17}, {1254, 7}, {1255, 23},
                                                 {1256, 0}, {1257, 12}, {1258, 9}};

// UTF-8 by its definition: a lead byte of as many high bits as the sequence has bytes, then six bits a byte.
std::string utf8(char32_t c) {
    if (c < 0x80) return std::string(1, static_cast<char>(c));
    const int n = c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
    std::string s(static_cast<std::size_t>(n), '\0');
    for (int i = n - 1; i > 0; --i, c >>= 6) s[static_cast<std::size_t>(i)] = static_cast<char>(0x80 | (c & 0x3F));
    s[0] = static_cast<char>(((0xFF00 >> n) & 0xFF) | c);
    return s;
}

// What `iconv -c` makes of `input`, which drops what it cannot convert; nothing where there is no iconv.
std::optional<std::string> iconv(const test::TempDir& dir, const std::string& from, const std::string& to,
                                 const std::string& input) {
#ifdef _WIN32
    (void)dir, (void)from, (void)to, (void)input;
    return std::nullopt;
#else
    if (!test::on_path("iconv")) return std::nullopt;
    const std::string in = dir.write("in.txt", input), out = dir / "out.txt";
    // -c exits 1 after dropping characters in some versions.
    std::system(("iconv -c -f " + from + " -t " + to + " '" + in + "' >'" + out + "' 2>'" + (dir / "iconv.log") + "'").c_str());
    return test::read_bytes(out);
#endif
}

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// Each byte above 0x7F, then every code point of the Basic Multilingual Plane but the surrogates and the line end and a few
// beyond, one to a line: iconv -c leaves a line empty where the page leaves the byte undefined or lacks the character (glibc's
// tables as Java's, mkgmap's). glibc writes some characters of 1255 and 1258 as letter and combining mark, and 1258's U+0340
// and U+0341 as U+0300 and U+0301; Java's encoders do neither, so they are lost.
TEST(CodePage, decodes_every_byte_and_converts_every_character_of_each_windows_page_as_iconv_does) {
    const test::TempDir dir;
    std::string bytes, input;
    for (int b = 0x80; b <= 0xFF; ++b) bytes += std::string(1, static_cast<char>(b)) + "\n";
    std::vector<char32_t> points;
    for (char32_t c = 1; c < 0x10000; ++c)
        if (c != '\n' && (c < 0xD800 || c > 0xDFFF)) points.push_back(c);
    for (char32_t c : {0x10000, 0x1F600, 0x10FFFF}) points.push_back(c);
    for (char32_t c : points) input += utf8(c) + "\n";
    for (const auto& [page, undefined] : PAGES) {
        const std::optional<std::string> decoded = iconv(dir, "CP" + std::to_string(page), "UTF-8", bytes);
        if (!decoded) GTEST_SKIP() << "iconv is not installed";
        const std::vector<std::string> want_utf8 = lines_of(*decoded),
                                       want_page = lines_of(*iconv(dir, "UTF-8", "CP" + std::to_string(page), input));
        ASSERT_TRUE(want_utf8.size() == 128u && want_page.size() == points.size()) << page;
        std::string defined, defined_utf8;
        std::size_t refused = 0, representable = 0;
        for (int b = 0x80; b <= 0xFF; ++b) {
            const std::string byte(1, static_cast<char>(b)), want = want_utf8[static_cast<std::size_t>(b - 0x80)];
            EXPECT_EQ(code_page_to_utf8(byte, page), want.empty() ? std::nullopt : std::optional(want)) << page << " byte " << std::hex << b;
            refused += want.empty();
            if (!want.empty()) defined += byte, defined_utf8 += want;
        }
        EXPECT_EQ(refused, undefined) << page;
        EXPECT_EQ(code_page_to_utf8("Type=" + defined + "\r\n", page), "Type=" + defined_utf8 + "\r\n") << page;
        EXPECT_TRUE(code_page_known(page));
        for (std::size_t i = 0; i < points.size(); ++i) {
            const bool tone_mark = page == 1258 && (points[i] == 0x340 || points[i] == 0x341);
            const bool one_byte = want_page[i].size() == 1 && !tone_mark;
            const CodePageText got = to_code_page(utf8(points[i]), page);
            representable += one_byte;
            EXPECT_EQ(std::tie(got.bytes, got.lost), std::make_tuple(one_byte ? want_page[i] : "?", !one_byte))
                << page << " U+" << std::hex << static_cast<unsigned>(points[i]);
        }
        // ASCII but NUL and the line end, and each byte the page defines: each once.
        EXPECT_EQ(representable, 126 + 128 - undefined) << page;
    }
    EXPECT_EQ(code_page_to_utf8("Stra\xDF" "e \x81", 1252), std::nullopt);
    EXPECT_EQ(to_code_page("\xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0 \xE2\x82\xAC", 1251).bytes, "\xCC\xEE\xF1\xEA\xE2\xE0 \x88");
}

// 65001 keeps UTF-8 as it is and refuses bytes that are none; a page not known holds ASCII alone.
TEST(CodePage, keeps_utf8_for_65001_and_only_ascii_for_a_page_it_does_not_know) {
    const std::string moskva = "\xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0";
    EXPECT_TRUE(code_page_known(UTF8_CODE_PAGE) && !code_page_to_utf8("caf\xE9", UTF8_CODE_PAGE));
    EXPECT_EQ(code_page_to_utf8(moskva + " \xF0\x9F\x98\x80", UTF8_CODE_PAGE), moskva + " \xF0\x9F\x98\x80");
    const CodePageText kept = to_code_page(moskva, UTF8_CODE_PAGE);
    EXPECT_EQ(std::tie(kept.bytes, kept.lost), std::make_tuple(moskva, false));
    // Bytes that are no UTF-8 are taken as 1252, as for a text in 1252.
    const CodePageText cafe = to_code_page("caf\xE9 \x81", UTF8_CODE_PAGE);
    EXPECT_EQ(std::tie(cafe.bytes, cafe.lost), std::make_tuple(std::string("caf\xC3\xA9 ?"), true));
    for (int page : {0, 437, 932, 1200, 1259}) {
        EXPECT_TRUE(!code_page_known(page) && !code_page_to_utf8("abc", page)) << page;
        const CodePageText got = to_code_page(moskva + " x", page);
        EXPECT_EQ(std::tie(got.bytes, got.lost), std::make_tuple(std::string("?????? x"), true)) << page;
    }
}

// One text for each way to fail: overlong, surrogate, past U+10FFFF, no lead byte, a lone continuation, a lead without its
// continuation, cut short, valid UTF-8 then a byte of the page (the whole text stays).
TEST(CodePage, leaves_text_that_is_no_valid_utf8_as_it_stands) {
    for (const int page : {1252, 1251})
        for (const char* text : {"caf\xE9", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xFF", "a\x80" "b", "\xC3" "a",
                                 "ab\xE2\x82", "Stra\xC3\x9F" "e \xE9"}) {
            const CodePageText got = to_code_page(text, page);
            EXPECT_TRUE(got.bytes == text && !got.lost) << page << testing::PrintToString(text);
        }
}
}  // namespace
}  // namespace tessaro
