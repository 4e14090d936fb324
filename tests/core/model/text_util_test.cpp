#include "text_util.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <random>

namespace tessaro {
namespace {
// find_ci agrees with a search byte by byte for letters in either case, bytes without case and bytes above 0x7f (which must
// not match a letter by their 0x20 bit), from any start, and never matches into bytes past the haystack.
TEST(FindCi, agrees_with_a_plain_search_without_regard_to_case) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    const auto plain = [&](std::string_view hay, std::string_view needle, std::size_t from) {
        for (std::size_t i = from; i + needle.size() <= hay.size(); ++i)
            if (std::ranges::equal(hay.substr(i, needle.size()), needle, {}, lower, lower)) return i;
        return std::string_view::npos;
    };
    std::mt19937 rng(5);
    const std::string_view bytes = "mMoOtT@`x \xcd\xed";
    for (int round = 0; round < 20000; ++round) {
        std::string text(rng() % 50 + 3, ' '), needle(1 + rng() % 3, ' ');  // the text goes on past the haystack
        for (std::string* s : {&text, &needle})
            for (char& c : *s) c = bytes[rng() % bytes.size()];
        const std::string_view hay = std::string_view(text).substr(0, text.size() - 3);
        const std::size_t from = rng() % 52;
        EXPECT_EQ(find_ci(hay, needle, from), plain(hay, needle, from)) << hay << " / " << needle << " from " << from;
    }
    EXPECT_EQ(find_ci(std::string(40, 'a') + "MotorWay", "motorway"), 40u);
}
}  // namespace
}  // namespace tessaro
