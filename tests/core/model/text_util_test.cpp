#include "text_util.h"

#include <gtest/gtest.h>

#include <random>

namespace tessaro {
namespace {

// find_ci agrees with a search byte by byte for letters in either case, bytes without case and bytes above 0x7f (which must
// not match a letter by their 0x20 bit), from any start, and never matches into bytes past the haystack.
TEST(FindCi, agrees_with_a_plain_search_without_regard_to_case) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    const auto plain = [&](std::string_view hay, std::string_view needle, std::size_t from) {
        for (std::size_t i = from; i + needle.size() <= hay.size(); ++i) {
            std::size_t k = 0;
            while (k < needle.size() && lower(hay[i + k]) == lower(needle[k])) ++k;
            if (k == needle.size()) return i;
        }
        return std::string_view::npos;
    };
    std::mt19937 rng(5);
    const std::string_view bytes = "mMoOtT@`x \xcd\xed";
    for (int round = 0; round < 20000; ++round) {
        // The text goes on past the haystack: a match must not run into it.
        std::string text(rng() % 50 + 3, ' ');
        std::string needle(1 + rng() % 3, ' ');
        for (char& c : text) c = bytes[rng() % bytes.size()];
        for (char& c : needle) c = bytes[rng() % bytes.size()];
        const std::string_view hay = std::string_view(text).substr(0, text.size() - 3);
        const std::size_t from = rng() % 52;
        EXPECT_EQ(find_ci(hay, needle, from), plain(hay, needle, from)) << hay << " / " << needle << " from " << from;
    }
    EXPECT_EQ(find_ci(std::string(40, 'a') + "MotorWay", "motorway"), 40u);
}

// Only the bytes asked for go, and only at either end; a text of nothing else goes whole.
TEST(Trim, removes_the_given_bytes_from_both_ends_only) {
    const std::pair<std::string, std::string> blanks[] = {{"  a b  ", "a b"}, {"\ta \t", "\ta \t"}, {"   ", ""}, {"", ""}};
    for (const auto& [text, trimmed] : blanks) EXPECT_EQ(trim_blanks(text), trimmed) << text;
    const std::pair<std::string, std::string> any[] = {{"\r\t x\ty \r", "x\ty"}, {" \t\r", ""}, {"\nx\n", "\nx\n"}};
    for (const auto& [text, trimmed] : any) EXPECT_EQ(trim_any_of(text, " \t\r"), trimmed) << text;
}

}  // namespace
}  // namespace tessaro
