#include "foundation/SortedCollection.h"

#include <cstring>

SortedCollection::SortedCollection() : m_items(new void*[InitialCapacity]) {}

SortedCollection::~SortedCollection() { delete[] m_items; }

void SortedCollection::InsertAt(int i, void* item) {
  if (m_count == m_capacity) {
    int capacity = m_capacity * 13 / 10;
    void** items = new void*[capacity];
    std::memcpy(items, m_items, sizeof(void*) * m_count);
    delete[] m_items;
    m_items = items;
    m_capacity = capacity;
  }
  std::memmove(m_items + i + 1, m_items + i, sizeof(void*) * (m_count - i));
  m_items[i] = item;
  ++m_count;
}

int SortedCollection::Insert(void* item) {
  if (m_insertionOrder) {
    InsertAt(m_count, item);
    return 0;
  }
  int index = 0;
  if (Search(KeyOfItem(item), &index) == 0 && !m_duplicates) return -1;
  InsertAt(index, item);
  return 0;
}

int SortedCollection::Search(const void* key, int* index) const {
  int low = 0;
  int high = m_count - 1;
  while (low <= high) {
    int mid = (low + high) / 2;
    int c = CompareKeyWithItem(key, m_items[mid]);
    if (c < 0) {
      high = mid - 1;
    } else if (c > 0) {
      low = mid + 1;
    } else {
      *index = mid;
      return 0;
    }
  }
  *index = low;
  return -1;
}

void* SortedCollection::MakeCurrent(int i) {
  if (i < 0 || i >= m_count) return nullptr;
  m_current = i;
  return m_items[i];
}

void* SortedCollection::Find(const void* key) {
  int index = 0;
  return Search(key, &index) == 0 ? MakeCurrent(index) : nullptr;
}

void* SortedCollection::FindAtOrAfter(const void* key) {
  int index = 0;
  Search(key, &index);  // The insertion index is the first greater item.
  return MakeCurrent(index);
}

void* SortedCollection::FindAtOrBefore(const void* key) {
  int index = 0;
  if (Search(key, &index) != 0) --index;  // The item before the insertion index is smaller.
  return MakeCurrent(index);
}

void* SortedCollection::At(int i) const { return i >= 0 && i < m_count ? m_items[i] : nullptr; }

void* SortedCollection::Current() const { return HasCurrent() ? m_items[m_current] : nullptr; }

void* SortedCollection::First() {
  m_current = -1;
  return Next();
}

void* SortedCollection::Next() {
  if (m_current < m_count) ++m_current;
  return Current();
}

void* SortedCollection::DetachCurrent() {
  if (!HasCurrent()) return nullptr;
  void* item = m_items[m_current];
  std::memmove(m_items + m_current, m_items + m_current + 1,
               sizeof(void*) * (m_count - m_current - 1));
  --m_count;
  return item;
}

void SortedCollection::DeleteCurrent() {
  if (void* item = DetachCurrent()) FreeItem(item);
}

void SortedCollection::Clear() {
  for (m_current = 0; m_current < m_count; ++m_current) FreeItem(m_items[m_current]);
  m_count = 0;
  m_current = -1;
}
