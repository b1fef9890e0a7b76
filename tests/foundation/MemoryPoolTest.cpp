#include <gtest/gtest.h>

#include <cstring>

#include "foundation/MemoryPool.h"

namespace {

// Writes every byte handed out, so the address sanitizer sees any overlap or overrun.
char* Take(MemoryPool& pool, size_t n) {
  auto* bytes = static_cast<char*>(pool.Allocate(n));
  if (bytes) std::memset(bytes, 0x5A, n);
  return bytes;
}

TEST(MemoryPoolTest, ConsecutiveAllocationsAreContiguous) {
  MemoryPool pool;
  char* a = Take(pool, 3);
  char* b = Take(pool, 5);
  char* c = Take(pool, 1);
  EXPECT_EQ(b, a + 3) << "no alignment padding";
  EXPECT_EQ(c, b + 5);
  EXPECT_EQ(pool.Count(), 1);
}

TEST(MemoryPoolTest, BlockFillsExactlyBeforeANewOneOpens) {
  struct Row {
    size_t first, second;
    int blocks;
    size_t currentSize, currentLeft;
  } rows[] = {
      {10, 65526, 1, 65536, 0},     // the second request fills the block exactly
      {10, 65527, 2, 65536, 9},     // one byte too many: a fresh 64 KiB block
      {65536, 1, 2, 65536, 65535},  // a full block is left behind
      {0, 70000, 2, 70000, 0},      // oversized: exactly its own size, full
      {100, 65536, 2, 65536, 0},    // exactly a block's size but not free: own block
  };
  for (const Row& row : rows) {
    MemoryPool pool;
    ASSERT_NE(Take(pool, row.first), nullptr);
    ASSERT_NE(Take(pool, row.second), nullptr);
    EXPECT_EQ(pool.Count(), row.blocks) << row.first << " then " << row.second;
    ASSERT_NE(pool.CurrentBlock(), nullptr);
    EXPECT_EQ(pool.CurrentBlock()->Size(), row.currentSize) << row.first << " then " << row.second;
    EXPECT_EQ(pool.CurrentBlock()->BytesLeft(), row.currentLeft)
        << row.first << " then " << row.second;
  }
}

TEST(MemoryPoolTest, RequestAfterAnOversizedBlockOpensANormalBlock) {
  MemoryPool pool;
  Take(pool, 10);
  char* big = Take(pool, 100000);
  ASSERT_NE(big, nullptr);
  EXPECT_EQ(pool.CurrentBlock()->Base(), big);
  EXPECT_EQ(pool.CurrentBlock()->Size(), 100000u);
  char* next = Take(pool, 1);
  EXPECT_EQ(pool.Count(), 3);
  EXPECT_EQ(pool.CurrentBlock()->Size(), MemoryPool::BlockSize);
  EXPECT_EQ(pool.CurrentBlock()->Base(), next);
}

TEST(MemoryPoolTest, ResetStartsOverWithOneEmptyBlock) {
  MemoryPool pool;
  for (int i = 0; i < 5; ++i) Take(pool, 40000);
  EXPECT_EQ(pool.Count(), 5);
  pool.Reset();
  EXPECT_EQ(pool.Count(), 1);
  EXPECT_EQ(pool.CurrentBlock()->BytesLeft(), MemoryPool::BlockSize);
  EXPECT_NE(Take(pool, 8), nullptr);
}

}  // namespace
