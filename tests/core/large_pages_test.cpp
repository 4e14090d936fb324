#include "large_pages.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <vector>

namespace tessaro {
namespace {

// Blocks on both sides of the size that maps them apart: each holds every
// byte written to it, at least as many as asked for, and a mapped one starts
// on a large page (else the system can give it none).
TEST(LargeBlock, holds_what_is_written_on_either_side_of_the_mapped_size) {
    for (const std::size_t asked : std::vector<std::size_t>{1, LARGE_BLOCK - 1, LARGE_BLOCK, 2 * 1024 * 1024 + 1, 5'000'000}) {
        LargeBlock block(asked);
        ASSERT_GE(block.size(), asked);
        for (std::size_t i = 0; i < block.size(); ++i) block.get()[i] = static_cast<char>(i % 251);
        std::size_t wrong = 0;
        for (std::size_t i = 0; i < block.size(); ++i) wrong += block.get()[i] != static_cast<char>(i % 251);
        EXPECT_EQ(wrong, 0u) << asked;
#ifdef __linux__
        if (asked >= LARGE_BLOCK) {
            EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block.get()) % (2 * 1024 * 1024), 0u) << asked;
            EXPECT_EQ(block.size() % (2 * 1024 * 1024), 0u) << asked;
        }
#endif
        LargeBlock moved = std::move(block);
        EXPECT_EQ(block.get(), nullptr);
        EXPECT_EQ(moved.get()[asked - 1], static_cast<char>((asked - 1) % 251));
    }
}

// A pool lends a block given back only for the same size, and keeps no more
// than it may: the rest is unmapped (a block kept twice would be lent twice).
TEST(PagePool, lends_back_blocks_of_the_same_size_and_keeps_no_more_than_it_may) {
    PagePool pool;
    void* first = nullptr;
    {
        LargeText text{LargePageAllocator<char>(&pool)};
        text.assign(1'000'000, 'a');
        first = text.data();
    }
#ifdef __linux__
    EXPECT_EQ(pool.kept_bytes(), 2u * 1024 * 1024);
    {
        LargeBlock other_size(3 * 1024 * 1024, &pool);
        EXPECT_NE(other_size.get(), first);
        LargeBlock same_size(1'500'000, &pool);
        EXPECT_EQ(same_size.get(), first);
        EXPECT_EQ(pool.kept_bytes(), 0u);
        same_size.get()[same_size.size() - 1] = 'z';
    }
    EXPECT_EQ(pool.kept_bytes(), 2u * 1024 * 1024 + 4u * 1024 * 1024);
    std::vector<LargeBlock> many;
    while (many.size() * 2 * 1024 * 1024 <= PagePool::MOST) many.emplace_back(LARGE_BLOCK, &pool);
    many.clear();
    EXPECT_LE(pool.kept_bytes(), PagePool::MOST);
#endif
    (void)first;
}

}  // namespace
}  // namespace tessaro
