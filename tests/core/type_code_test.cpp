#include "type_code.h"

#include <gtest/gtest.h>
#include <random>
#include <set>

namespace tessaro {
namespace {

// strtoul's reading of the same text, where the text is "0x" and hex digits only.
std::optional<std::uint32_t> by_strtoul(const std::string& code) {
    if (code.size() < 3 || code[0] != '0' || (code[1] != 'x' && code[1] != 'X')) return std::nullopt;
    if (code.find_first_not_of("0123456789abcdefABCDEF", 2) != std::string::npos) return std::nullopt;
    const unsigned long long value = std::strtoull(code.c_str() + 2, nullptr, 16);
    if (value > 0xFFFFFFFFull || code.find_first_not_of('0', 2) + 16 < code.size()) return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

TEST(CodeValue, reads_what_strtoul_reads_and_refuses_everything_else) {
    std::mt19937 rng(9);
    const std::string alphabet("0xX19aAfFgG- \0", 14);
    for (int i = 0; i < 200000; ++i) {
        std::string code = rng() % 2 ? "0x" : "";
        code.resize(code.size() + rng() % 11);
        for (std::size_t k = code.empty() ? 0 : 2; k < code.size(); ++k) code[k] = alphabet[rng() % alphabet.size()];
        ASSERT_EQ(code_value(code), by_strtoul(code)) << testing::PrintToString(code);
    }
    EXPECT_EQ(code_value("0x00000000ffffffff"), 0xFFFFFFFFu);
    EXPECT_EQ(code_value("0x100000000"), std::nullopt);
}

TEST(TypeSet, holds_what_a_std_set_holds) {
    std::mt19937 rng(4);
    TypeSet types;
    std::set<std::uint32_t> expected;
    for (int i = 0; i < 100000; ++i) {
        // Codes near each other, across the 2^18 where the set changes how it
        // keeps them, and far apart; and the largest value.
        const auto kind = static_cast<unsigned>(rng() % 3);
        const auto type = static_cast<std::uint32_t>(kind == 0 ? rng() : kind == 1 ? rng() % 5000 : rng() % (1u << 19));
        ASSERT_EQ(types.insert(type), expected.insert(type).second);
    }
    EXPECT_EQ(types.insert(0xFFFFFFFFu), expected.insert(0xFFFFFFFFu).second);
    EXPECT_EQ(types.size(), expected.size());
    for (std::uint32_t t = 0; t < (1u << 19) + 64; ++t) ASSERT_EQ(types.contains(t), expected.count(t) == 1) << t;
    for (const std::uint32_t t : expected) ASSERT_TRUE(types.contains(t)) << t;
}

}  // namespace
}  // namespace tessaro
