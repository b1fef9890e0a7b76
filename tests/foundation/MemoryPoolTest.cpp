#include <gtest/gtest.h>

#include <cstring>
#include <tuple>

#include "foundation/MemoryPool.h"

namespace {

// Writes every byte handed out, so the address sanitizer sees any overlap or overrun.
char* Take(MemoryPool& pool, size_t n) {
  auto* bytes = static_cast<char*>(pool.Allocate(n));
  if (bytes) std::memset(bytes, 0x5A, n);
  return bytes;
}

TEST(MemoryPoolTest, AllocationsAreContiguousUntilTheBlockIsFull) {
  MemoryPool pool;
  char* a = Take(pool, 3);
  EXPECT_EQ(Take(pool, 5), a + 3) << "no alignment padding";
  struct Row {
    size_t first, second;
    int blocks;
    size_t currentSize, currentLeft;
  } rows[] = {
      {10, 65526, 1, 65536, 0},     // the second request fills the block exactly
      {10, 65527, 2, 65536, 9},     // one byte too many: a fresh 64 KiB block
      {100, 65536, 2, 65536, 0},    // exactly a block's size but not free: own block
  };
  for (const Row& row : rows) {
    MemoryPool fresh;
    ASSERT_NE(Take(fresh, row.first), nullptr);
    ASSERT_NE(Take(fresh, row.second), nullptr);
    ASSERT_NE(fresh.CurrentBlock(), nullptr);
    EXPECT_EQ(std::make_tuple(fresh.Count(), fresh.CurrentBlock()->Size(),
                              fresh.CurrentBlock()->BytesLeft()),
              std::make_tuple(row.blocks, row.currentSize, row.currentLeft))
        << "input: " << row.first << " then " << row.second;
  }
}

TEST(MemoryPoolTest, AfterAnOversizedBlockANormalOneOpensAndResetKeepsOne) {
  MemoryPool pool;
  Take(pool, 10);
  char* big = Take(pool, 100000);
  EXPECT_EQ(pool.CurrentBlock()->Base(), big) << "an oversized block of exactly its size";
  char* next = Take(pool, 1);
  EXPECT_EQ(pool.Count(), 3);
  EXPECT_EQ(pool.CurrentBlock()->Base(), next);
  pool.Reset();
  EXPECT_EQ(pool.Count(), 1);
  EXPECT_EQ(pool.CurrentBlock()->BytesLeft(), MemoryPool::BlockSize);
  EXPECT_NE(Take(pool, 8), nullptr);
}

}  // namespace
