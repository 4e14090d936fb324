#include "text_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

namespace tessaro {
namespace {

// count_byte counts sixteen bytes a step: it must agree with a plain count
// for every length and never count past the end.
TEST(CountByte, agrees_with_a_plain_count_at_every_length) {
    std::mt19937 rng(3);
    std::string text(100, 'a');
    for (char& c : text) c = "a\nb"[rng() % 3];
    for (std::size_t n = 0; n <= 60; ++n) {
        const auto plain = static_cast<std::size_t>(std::count(text.begin(), text.begin() + static_cast<long>(n), '\n'));
        EXPECT_EQ(count_byte(text.data(), n, '\n'), plain) << n;
    }
}

// find_pair looks at several bytes a step: a pair must be found wherever it
// falls against the steps, and a byte at or past the end must never complete one.
TEST(FindPair, finds_the_first_pair_at_every_position_and_never_past_the_end) {
    for (std::size_t n = 1; n <= 40; ++n) {
        const std::string none(n, 'x');
        EXPECT_EQ(find_pair(none.data(), 0, n, 'x', 'y'), n);
        for (std::size_t at = 0; at + 1 < n; ++at) {
            std::string s = none;
            s[at + 1] = 'y';
            EXPECT_EQ(find_pair(s.data(), 0, n, 'x', 'y'), at) << "length " << n;
            EXPECT_EQ(find_pair(s.data(), at + 1, n, 'x', 'y'), n) << "length " << n;
            EXPECT_EQ(find_pair(s.data(), 0, at + 1, 'x', 'y'), at + 1) << "length " << n;
        }
    }
}

// find_ci looks for its first byte sixteen places at a time: it must agree
// with a plain search byte by byte wherever the match falls against the steps,
// for letters in either case, bytes without case and bytes above 0x7f (which
// must not match a letter by their 0x20 bit), and from any start.
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

// A set of lower-cased (or exact) strings says what TextSet must answer, for
// texts short enough to live in a slot's head and longer ones, texts equal
// but for case, texts that differ only in bit 5 of a non-letter ("@" and
// "`"), and enough of them to make the table grow many times.
TEST(TextSet, holds_each_text_once_with_or_without_regard_to_case) {
    for (const bool caseless : {true, false}) {
        TextSet set(caseless);
        std::set<std::string> model;
        std::mt19937 rng(7);
        const std::string alphabet = "0xXaAfF@`9 ]";
        for (int i = 0; i < 20000; ++i) {
            std::string text(rng() % 13, ' ');
            for (char& c : text) c = alphabet[rng() % alphabet.size()];
            const std::string key = caseless ? to_lower(text) : text;
            EXPECT_EQ(set.contains(text), model.count(key) == 1) << text;
            EXPECT_EQ(set.insert(text), model.insert(key).second) << text;
            EXPECT_TRUE(set.contains(text));
        }
        EXPECT_EQ(set.size(), model.size());
    }
}

}  // namespace
}  // namespace tessaro
