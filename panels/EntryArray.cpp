#include "panels/EntryArray.h"

#include <cstdlib>
#include <cstring>

CEntryArray::~CEntryArray() {
  Clear();
  std::free(m_items);
}

bool CEntryArray::GrowIfFull() {
  if (m_count < m_capacity) return true;
  const int capacity = m_capacity == 0 ? 64 : m_capacity * 2;
  void* grown = std::realloc(m_items, sizeof(entry*) * static_cast<size_t>(capacity));
  if (grown == nullptr) return false;
  m_items = static_cast<entry**>(grown);
  m_capacity = capacity;
  return true;
}

bool CEntryArray::Append(entry* e) {
  if (!GrowIfFull()) return false;
  m_items[m_count++] = e;
  return true;
}

bool CEntryArray::InsertFirst(entry* e) {
  if (!GrowIfFull()) return false;
  std::memmove(m_items + 1, m_items, sizeof(entry*) * static_cast<size_t>(m_count));
  m_items[0] = e;
  ++m_count;
  return true;
}

entry* CEntryArray::Detach(int i) {
  if (i < 0 || i >= m_count) return nullptr;
  entry* e = m_items[i];
  std::memmove(m_items + i, m_items + i + 1, sizeof(entry*) * static_cast<size_t>(m_count - i - 1));
  --m_count;
  return e;
}

void CEntryArray::Clear() {
  for (int i = 0; i < m_count; ++i) delete m_items[i];
  m_count = 0;
}
