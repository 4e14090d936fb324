#include "library_text.h"
#include <cctype>
#include <gtest/gtest.h>
#include <sstream>

namespace tessaro {
namespace {
// The index against a plain search for the first whole code not behind "Sub", over codes of 1 to 3 digits, some written
// twice; codes too long for the index, empty codes and codes in another case are found where a plain search finds them;
// a text assigned anew is indexed anew.
TEST(LibraryText, finds_codes_where_a_plain_search_does_also_long_empty_and_differently_cased_ones) {
    const auto hex = [](int n) { return (std::ostringstream() << std::hex << n).str(); };
    std::string text;
    for (int i = 0; i < 300; ++i) text += (i % 7 == 0 ? "Sub" : "") + ("Type=0x" + hex(i * 37 % 250 * 5)) + "\r\nx\r\n[end]\r\n";
    const LibraryText lib(text);
    for (int k = 0; k < 1300; ++k) {
        const std::string needle = "Type=0x" + hex(k);
        std::size_t p = text.find(needle);
        while (p != std::string::npos && ((p >= 3 && text.compare(p - 3, 3, "Sub") == 0) ||
                                          std::isxdigit(static_cast<unsigned char>(text[p + needle.size()]))))
            p = text.find(needle, p + 1);
        EXPECT_EQ(lib.find_type(hex(k)), p == std::string::npos ? p : p + 5) << hex(k);
    }
    const std::string long_code(20, 'a');
    const std::string odd = "type=0x\r\n[end]\r\nXType=0x5\r\nTYPE=0x" + long_code + "\r\nType=0X0A5\r\nType=0x5";
    const LibraryText odd_lib(odd);
    const std::pair<std::string, std::size_t> found[] = {  // "5" not behind "X"
        {"", 5}, {long_code, odd.find("0x" + long_code)}, {std::string(20, 'A'), odd.find("0x" + long_code)}, {long_code.substr(1), std::string::npos},
        {"0a5", odd.find("0X0A5")}, {"a5", std::string::npos}, {"5", odd.rfind("0x5")}};
    for (const auto& [code, at] : found) EXPECT_EQ(odd_lib.find_type(code), at) << code;
    LibraryText later("a");
    EXPECT_EQ(later.find_type("1"), std::string::npos);
    later.assign("Type=0x1");
    EXPECT_EQ(later.find_type("1"), 5u);
}

// What a lookup may copy: an entry from its code to its [end]. One that another section or the end of the text cuts off
// first, or whose Type= is no hexadecimal code, would break the TYP text: it is broken, and tells the line of its Type=
// (lines ended by CR, LF or both) and the code as written.
TEST(LibraryText, gives_whole_entries_and_tells_broken_ones_by_the_line_and_code_of_their_type) {
    const std::string text =
        ";points\r"
        "[_point]\r\nType=0x01\r\nXpm=\"1 1 1 1\"\r\n\"[ c #000000\"\r\n\"[\"\r\n[end]\r\n"  // lines 2-7
        "[_point]\nType=0x02 \r\nXpm=\"x\"\r\n  [End]\r\n"                              // 8-11
        "[_point]\rType=0x03\nXpm=\"x\"\r\n"                                          // 12-14
        "[_point]\r\nType=0x04Z\r\nXpm=\"x\"\r\n[end]\r\n"                                // 15-18
        "[_point]\r\nType=0xZZ\r\n[end]\r\n"                                              // 19-21
        "[_point]\r\nType=0x06[end]\r\n"                                                  // 22-23
        "[_point]\r\nType=0x07\r\nXpm=\"x\"\r\n";                                         // 24-26
    const LibraryText lib(text, "res/points");
    const std::tuple<const char*, const char*, std::size_t, const char*> cases[] = {  // key, look (nullptr: broken), line, code
        {"01", "0x01\r\nXpm=\"1 1 1 1\"\r\n\"[ c #000000\"\r\n\"[\"\r\n", 0, ""},  // a "[" inside a line opens nothing
        {"02", "0x02 \r\nXpm=\"x\"\r\n  ", 0, ""},  // "[End]" ends it as "[end]" does
        {"03", nullptr, 13, "0x03"},  // the next entry begins before any [end]
        {"04", nullptr, 16, "0x04Z"}, {"zz", nullptr, 20, "0xZZ"},
        {"06", "0x06", 0, ""},  // an [end] on the code's line ends the code
        {"07", nullptr, 25, "0x07"},  // the text ends before any [end]
    };
    for (const auto& [key, look, line, code] : cases) {
        const std::size_t at = lib.find_type(key);
        ASSERT_NE(at, std::string::npos) << key;
        const LibraryText::Entry entry = lib.entry_at(at);
        EXPECT_TRUE(entry.broken == (look == nullptr) && entry.look == (look ? look : "") && entry.line == line && entry.code == code) << key;
    }
    // Lines as an editor shows them, whatever ends them (that the polygon library's labels, turned into comments in memory,
    // move no line: the library_entry_broken golden file).
    const LibraryText mixed("a\rb\r\nc\n\nType=0x7\r[_point]");
    EXPECT_EQ(mixed.entry_at(mixed.find_type("7")).line, 5u);
}
}  // namespace
}  // namespace tessaro
