#include "foundation/MemoryPool.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdlib>

namespace {

constexpr size_t LargePage = size_t{2} << 20;

// A large block starts on a large-page boundary and asks for large pages; a
// system without them simply ignores the advice.
char* AllocateBlock(size_t size) {
  if (size < MemoryPool::HugeBlockSize) return static_cast<char*>(std::malloc(size));
  void* base = nullptr;
  if (posix_memalign(&base, LargePage, size) != 0) return nullptr;
#ifdef MADV_HUGEPAGE
  (void)madvise(base, size & ~(LargePage - 1), MADV_HUGEPAGE);
#endif
  return static_cast<char*>(base);
}

}  // namespace

MemoryPoolBlock::MemoryPoolBlock(size_t size)
    : m_base(AllocateBlock(size)), m_next(m_base), m_size(m_base ? size : 0) {}

MemoryPoolBlock::~MemoryPoolBlock() { std::free(m_base); }

void* MemoryPoolBlock::Take(size_t n) {
  if (!m_base || n > BytesLeft()) return nullptr;
  void* bytes = m_next;
  m_next += n;
  return bytes;
}

MemoryPool::MemoryPool(size_t blockSize) : m_blockSize(std::max(blockSize, BlockSize)) {
  AddBlock(m_blockSize);
}

MemoryPoolBlock* MemoryPool::AddBlock(size_t size) {
  auto* block = new MemoryPoolBlock(size);
  if (!block->Base()) {
    delete block;
    return nullptr;
  }
  Append(block);
  m_current = block;
  return block;
}

void* MemoryPool::Allocate(size_t n) {
  if (m_current) {
    if (void* bytes = m_current->Take(n)) return bytes;
  }
  // The rest of a block that is too small is given up; an oversized request
  // gets a block of exactly its size, which is then full.
  MemoryPoolBlock* block = AddBlock(std::max(n, m_blockSize));
  return block ? block->Take(n) : nullptr;
}

void MemoryPool::Reset() {
  Clear();
  m_current = nullptr;
  AddBlock(m_blockSize);
}
