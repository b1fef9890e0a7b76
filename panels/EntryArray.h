#pragma once
// A panel's entries: a plain array of owned entry pointers that doubles its
// capacity when full, so sorting and drawing index it directly. One thread.
#include "panels/Entry.h"

class CEntryArray {
 public:
  CEntryArray() = default;
  /// Frees every entry.
  ~CEntryArray();
  CEntryArray(const CEntryArray&) = delete;
  CEntryArray& operator=(const CEntryArray&) = delete;

  int Count() const { return m_count; }
  int Capacity() const { return m_capacity; }
  /// Entry i, or null outside 0..Count()-1.
  entry* At(int i) const { return i >= 0 && i < m_count ? m_items[i] : nullptr; }
  entry** Items() { return m_items; }
  entry* const* Items() const { return m_items; }

  /// Stores e at the end; false (and e stays the caller's) when no memory is left.
  bool Append(entry* e);
  /// Stores e at index 0; false as Append.
  bool InsertFirst(entry* e);
  /// Removes entry i without freeing it; the caller owns the result.
  [[nodiscard]] entry* Detach(int i);
  /// Frees every entry; the capacity stays.
  void Clear();

 private:
  bool GrowIfFull();

  entry** m_items = nullptr;
  int m_count = 0;
  int m_capacity = 0;
};
