#include "foundation/MemoryPool.h"

#include <algorithm>
#include <cstdlib>

MemoryPoolBlock::MemoryPoolBlock(size_t size)
    : m_base(static_cast<char*>(std::malloc(size))), m_next(m_base), m_size(m_base ? size : 0) {}

MemoryPoolBlock::~MemoryPoolBlock() { std::free(m_base); }

void* MemoryPoolBlock::Take(size_t n) {
  if (!m_base || n > BytesLeft()) return nullptr;
  void* bytes = m_next;
  m_next += n;
  return bytes;
}

MemoryPool::MemoryPool() { AddBlock(BlockSize); }

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
  MemoryPoolBlock* block = AddBlock(std::max(n, BlockSize));
  return block ? block->Take(n) : nullptr;
}

void MemoryPool::Reset() {
  Clear();
  m_current = nullptr;
  AddBlock(BlockSize);
}
