#include "text_util.h"

#include <gtest/gtest.h>

namespace tessaro {
namespace {

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

}  // namespace
}  // namespace tessaro
