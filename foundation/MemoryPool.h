#pragma once
#include <cstddef>

#include "foundation/ObjectStore.h"

/// One malloc'ed block that hands out bytes from its start upward and never
/// takes any back; its memory is freed with the block.
class MemoryPoolBlock {
 public:
  /// Allocates size bytes; Base() is null when the system allocator failed.
  explicit MemoryPoolBlock(size_t size);
  ~MemoryPoolBlock();
  MemoryPoolBlock(const MemoryPoolBlock&) = delete;
  MemoryPoolBlock& operator=(const MemoryPoolBlock&) = delete;

  /// The next n bytes of the block, or null when fewer than n are left.
  void* Take(size_t n);
  char* Base() const { return m_base; }
  size_t Size() const { return m_size; }
  size_t BytesLeft() const { return m_size - static_cast<size_t>(m_next - m_base); }

 private:
  char* m_base = nullptr;
  char* m_next = nullptr;
  size_t m_size = 0;
};

/// A bump allocator over blocks of 64 KiB (or a larger size chosen at
/// construction) for many small texts that are released together. There is no alignment: consecutive allocations are contiguous, so
/// callers storing wide characters keep every request a multiple of
/// sizeof(wchar_t) to keep them aligned. One thread at a time.
class MemoryPool : private TObjectStore<MemoryPoolBlock> {
 public:
  static constexpr size_t BlockSize = 65536;

  /// Starts with one empty block. Blocks of HugeBlockSize bytes or more ask
  /// the system for large pages, which spares a text of hundreds of
  /// megabytes most of its page faults.
  explicit MemoryPool(size_t blockSize = BlockSize);
  static constexpr size_t HugeBlockSize = size_t{4} << 20;

  /// n bytes from the current block, or from a new block of max(n, block
  /// size) bytes when they do not fit; null only when the system allocator fails.
  void* Allocate(size_t n);
  /// Releases every block and starts again with one new block; all earlier
  /// allocations become invalid.
  void Reset();

  using TObjectStore<MemoryPoolBlock>::Count;
  /// The block allocations are taken from (the last one added), or null when
  /// not even the first block could be allocated.
  const MemoryPoolBlock* CurrentBlock() const { return m_current; }

 private:
  MemoryPoolBlock* AddBlock(size_t size);

  MemoryPoolBlock* m_current = nullptr;
  size_t m_blockSize = BlockSize;
};
