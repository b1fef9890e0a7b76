#include "foundation/ObjectStore.h"

#include <cstring>

ObjectStore::ObjectStore() : m_items(new void*[InitialCapacity]) {}

ObjectStore::~ObjectStore() { delete[] m_items; }

// Growth by 13/10 keeps the number of reallocations low for the long lists
// (directory entries, editor lines) without doubling small ones.
void ObjectStore::GrowIfFull() {
  if (m_count < m_capacity) return;
  int capacity = m_capacity * 13 / 10;
  void** items = new void*[capacity];
  std::memcpy(items, m_items, sizeof(void*) * m_count);
  delete[] m_items;
  m_items = items;
  m_capacity = capacity;
}

void ObjectStore::Append(void* item) {
  GrowIfFull();
  m_items[m_count] = item;
  m_current = m_count++;
}

int ObjectStore::InsertAtCurrent(void* item) {
  GrowIfFull();
  if (m_current > m_count) m_current = m_count;
  if (m_current < 0) m_current = 0;
  std::memmove(m_items + m_current + 1, m_items + m_current, sizeof(void*) * (m_count - m_current));
  m_items[m_current] = item;
  return ++m_count;
}

void* ObjectStore::At(int i) const { return i >= 0 && i < m_count ? m_items[i] : nullptr; }

void* ObjectStore::GoTo(int i) {
  m_current = i;
  return Current();
}

void* ObjectStore::Current() const { return HasCurrent() ? m_items[m_current] : nullptr; }

void* ObjectStore::First() {
  m_current = -1;
  return Next();
}

void* ObjectStore::Next() {
  // The index stops at count so that a following Previous returns the last item.
  if (m_current < m_count) ++m_current;
  return Current();
}

void* ObjectStore::Last() {
  m_current = m_count - 1;
  return Current();
}

void* ObjectStore::Previous() {
  if (m_current >= 0) --m_current;
  return Current();
}

void ObjectStore::RemoveAt(int i) {
  std::memmove(m_items + i, m_items + i + 1, sizeof(void*) * (m_count - i - 1));
  --m_count;
}

void* ObjectStore::DetachCurrent() {
  if (!HasCurrent()) return nullptr;
  void* item = m_items[m_current];
  RemoveAt(m_current);
  return item;
}

void ObjectStore::DeleteCurrent() {
  if (!HasCurrent()) return;
  void* item = m_items[m_current];
  RemoveAt(m_current);
  FreeItem(item);
}

void ObjectStore::Clear() {
  // The current index walks the items so that a free operation can tell which
  // slot it is freeing.
  for (m_current = 0; m_current < m_count; ++m_current) FreeItem(m_items[m_current]);
  m_count = 0;
  m_current = -1;
}
