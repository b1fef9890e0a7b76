#pragma once
#include "foundation/ObjectStore.h"

/// An owning array of item pointers kept in key order, searched by binary
/// search. The typed subclass supplies the key of an item, the comparison of
/// a key with an item and the freeing of an item. One thread at a time.
class SortedCollection {
 public:
  SortedCollection(const SortedCollection&) = delete;
  SortedCollection& operator=(const SortedCollection&) = delete;
  /// Releases the array; the typed subclass has already freed the items.
  virtual ~SortedCollection();

  /// Stores the item in key order and returns 0, or returns -1 without storing
  /// it when an equal item exists and duplicates are off (the caller keeps it).
  /// A duplicate goes before the equal item found; the current index is unchanged.
  [[nodiscard]] int Insert(void* item);
  /// Binary search: 0 and the index of an equal item, or -1 and the index
  /// where the key would be inserted. Among equal items any one may be reported.
  int Search(const void* key, int* index) const;
  /// The equal item, made current, or null (the current index is then unchanged).
  void* Find(const void* key);
  /// The equal item, else the first greater one, made current; null when the
  /// key is greater than every item.
  void* FindAtOrAfter(const void* key);
  /// The equal item, else the last smaller one, made current; null when the
  /// key is less than every item.
  void* FindAtOrBefore(const void* key);

  /// Item i, or null outside 0..count-1; the current index is unchanged.
  void* At(int i) const;
  /// The item at the current index, or null.
  void* Current() const;
  /// Restarts at -1 and returns Next(): the first item, or null when empty.
  void* First();
  /// Advances the current index; null past the end, leaving the index at count.
  void* Next();
  /// Removes the current item without freeing it and returns it, or null when none.
  void* DetachCurrent();
  /// Frees the current item and closes the gap; nothing happens when there is none.
  void DeleteCurrent();
  /// Frees every item and empties the collection; the capacity stays.
  void Clear();

  int Count() const { return m_count; }
  int Capacity() const { return m_capacity; }
  int CurrentIndex() const { return m_current; }
  /// Lets Insert store items equal to one already present (off at first).
  void SetDuplicates(bool allowed) { m_duplicates = allowed; }
  bool Duplicates() const { return m_duplicates; }
  /// While on, Insert appends at the end without searching; the searches
  /// assume key order, so they are unreliable over items appended this way.
  void SetInsertionOrder(bool on) { m_insertionOrder = on; }
  bool InsertionOrder() const { return m_insertionOrder; }

  static constexpr int InitialCapacity = 100;

 protected:
  SortedCollection();
  virtual const void* KeyOfItem(const void* item) const = 0;
  /// Negative, zero or positive as key sorts before, with or after the item.
  virtual int CompareKeyWithItem(const void* key, const void* item) const = 0;
  virtual void FreeItem(void* item) = 0;
  void* const* Items() const { return m_items; }

 private:
  bool HasCurrent() const { return m_current >= 0 && m_current < m_count; }
  void InsertAt(int i, void* item);
  void* MakeCurrent(int i);

  bool m_duplicates = false;
  bool m_insertionOrder = false;
  void** m_items = nullptr;
  int m_count = 0;
  int m_capacity = InitialCapacity;
  int m_current = -1;
};

/// A typed sorted collection of T items ordered by a key of type K. Subclasses
/// give the key of an item and the comparison of two keys; items are freed
/// with `delete` unless DeleteItem is overridden. Keys are passed by
/// reference and reach CompareKeys by address.
template <class T, class K>
class TSortedCollection : protected SortedCollection {
 public:
  TSortedCollection() = default;
  /// Frees every item, then the array.
  ~TSortedCollection() override { Clear(); }

  /// 0 when stored; -1 when refused as a duplicate, leaving the item with the caller.
  [[nodiscard]] int Insert(T* item) { return SortedCollection::Insert(item); }
  /// 0 and the index of an equal item, or -1 and the insertion index.
  int Search(const K& key, int* index) const { return SortedCollection::Search(&key, index); }
  /// The equal item, made current, or null.
  T* Find(const K& key) { return static_cast<T*>(SortedCollection::Find(&key)); }
  /// The equal item or the first greater one, made current; null past every item.
  T* FindAtOrAfter(const K& key) { return static_cast<T*>(SortedCollection::FindAtOrAfter(&key)); }
  /// The equal item or the last smaller one, made current; null before every item.
  T* FindAtOrBefore(const K& key) {
    return static_cast<T*>(SortedCollection::FindAtOrBefore(&key));
  }
  /// Item i, or null outside 0..count-1.
  T* At(int i) const { return static_cast<T*>(SortedCollection::At(i)); }
  /// The item at the current index, or null.
  T* Current() const { return static_cast<T*>(SortedCollection::Current()); }
  /// The first item (current index 0), or null when empty.
  T* First() { return static_cast<T*>(SortedCollection::First()); }
  /// The next item, or null past the end.
  T* Next() { return static_cast<T*>(SortedCollection::Next()); }
  /// Removes the current item without freeing it; the caller owns the result (null when none).
  [[nodiscard]] T* DetachCurrent() { return static_cast<T*>(SortedCollection::DetachCurrent()); }

  using SortedCollection::Capacity;
  using SortedCollection::Clear;
  using SortedCollection::Count;
  using SortedCollection::CurrentIndex;
  using SortedCollection::DeleteCurrent;
  using SortedCollection::Duplicates;
  using SortedCollection::InitialCapacity;
  using SortedCollection::InsertionOrder;
  using SortedCollection::SetDuplicates;
  using SortedCollection::SetInsertionOrder;

  TItemIterator<T> begin() const { return TItemIterator<T>(Items()); }
  TItemIterator<T> end() const { return TItemIterator<T>(Items() + Count()); }

 protected:
  /// The key of an item; it must stay valid as long as the item.
  virtual const K* KeyOf(const T* item) const = 0;
  /// Negative, zero or positive as a sorts before, with or after b.
  virtual int CompareKeys(const K* a, const K* b) const = 0;
  /// Destroys and frees one item. A subclass that overrides this must call
  /// Clear() in its own destructor, since the base destructor no longer sees
  /// the override.
  virtual void DeleteItem(T* item) { delete item; }

 private:
  const void* KeyOfItem(const void* item) const override {
    return KeyOf(static_cast<const T*>(item));
  }
  int CompareKeyWithItem(const void* key, const void* item) const override {
    return CompareKeys(static_cast<const K*>(key), KeyOf(static_cast<const T*>(item)));
  }
  void FreeItem(void* item) override { DeleteItem(static_cast<T*>(item)); }
};
