#pragma once
#include <cstddef>
#include <iterator>

/// Read-only forward iteration over an owning pointer array, typed as T*.
/// Walking with it never touches a container's current index; the container
/// must not change while an iterator is in use.
template <class T>
class TItemIterator {
 public:
  using iterator_category = std::forward_iterator_tag;
  using value_type = T*;
  using difference_type = std::ptrdiff_t;
  using pointer = T* const*;
  using reference = T*;

  explicit TItemIterator(void* const* slot) : m_slot(slot) {}
  T* operator*() const { return static_cast<T*>(*m_slot); }
  TItemIterator& operator++() {
    ++m_slot;
    return *this;
  }
  TItemIterator operator++(int) {
    TItemIterator old = *this;
    ++m_slot;
    return old;
  }
  bool operator==(const TItemIterator& other) const { return m_slot == other.m_slot; }
  bool operator!=(const TItemIterator& other) const { return m_slot != other.m_slot; }

 private:
  void* const* m_slot = nullptr;
};

/// An unsorted owning array of item pointers that keeps insertion order and
/// walks its items with a current index. Items are freed through FreeItem,
/// which the typed subclass supplies; a store is used by one thread at a time.
class ObjectStore {
 public:
  ObjectStore(const ObjectStore&) = delete;
  ObjectStore& operator=(const ObjectStore&) = delete;
  /// Releases the array; the typed subclass has already freed the items.
  virtual ~ObjectStore();

  /// Stores the item after the last one and makes it current; the store owns it from now on.
  void Append(void* item);
  /// Stores the item at the current index (clamped to 0..count) and returns the new count.
  int InsertAtCurrent(void* item);

  /// Item i, or null when i is outside 0..count-1; the current index is unchanged.
  void* At(int i) const;
  /// Makes i the current index and returns item i, or null when i is out of range.
  void* GoTo(int i);
  /// The item at the current index, or null when there is none.
  void* Current() const;
  /// Restarts at -1 and returns Next(): the first item, or null when empty.
  void* First();
  /// Advances the current index by one; null past the end, leaving the index at count.
  void* Next();
  /// Makes count-1 current and returns that item, or null when empty.
  void* Last();
  /// Moves the current index back by one; null before the first item (index -1).
  void* Previous();

  /// Removes the current item without freeing it and returns it, or null when there is none.
  void* DetachCurrent();
  /// Frees and removes the current item; nothing happens when there is none.
  void DeleteCurrent();
  /// Frees every item and empties the store; the array and its capacity stay.
  void Clear();

  int Count() const { return m_count; }
  int Capacity() const { return m_capacity; }
  /// The iteration cursor; -1 or a value outside 0..count-1 means no current item.
  int CurrentIndex() const { return m_current; }

  static constexpr int InitialCapacity = 10;

 protected:
  ObjectStore();
  /// Destroys one item; called by Clear, DeleteCurrent and destruction.
  virtual void FreeItem(void* item) = 0;
  void* const* Items() const { return m_items; }

 private:
  bool HasCurrent() const { return m_current >= 0 && m_current < m_count; }
  void GrowIfFull();
  void RemoveAt(int i);

  int m_current = -1;
  int m_count = 0;
  void** m_items = nullptr;
  int m_capacity = InitialCapacity;
};

/// A typed owning store whose items are destroyed with `delete` on a T*, so a
/// store of base-class pointers frees each item through its own virtual
/// destructor. Override DeleteItem for items that come from somewhere else.
template <class T>
class TObjectStoreAbstract : private ObjectStore {
 public:
  TObjectStoreAbstract() = default;
  /// Frees every item, then the array.
  ~TObjectStoreAbstract() override { Clear(); }

  /// Stores the item at the end and makes it current; the store owns it from now on.
  void Append(T* item) { ObjectStore::Append(item); }
  /// Stores the item at the current index (clamped to 0..count) and returns the new count.
  int InsertAtCurrent(T* item) { return ObjectStore::InsertAtCurrent(item); }
  /// Item i, or null outside 0..count-1; the current index is unchanged.
  T* At(int i) const { return static_cast<T*>(ObjectStore::At(i)); }
  /// Makes i current and returns item i, or null when out of range.
  T* GoTo(int i) { return static_cast<T*>(ObjectStore::GoTo(i)); }
  /// The item at the current index, or null.
  T* Current() const { return static_cast<T*>(ObjectStore::Current()); }
  /// The first item (current index 0), or null when empty.
  T* First() { return static_cast<T*>(ObjectStore::First()); }
  /// The next item, or null past the end (the index then equals count).
  T* Next() { return static_cast<T*>(ObjectStore::Next()); }
  /// The last item (made current), or null when empty.
  T* Last() { return static_cast<T*>(ObjectStore::Last()); }
  /// The previous item, or null before the first.
  T* Previous() { return static_cast<T*>(ObjectStore::Previous()); }
  /// Removes the current item without freeing it; the caller owns the result (null when none).
  [[nodiscard]] T* DetachCurrent() { return static_cast<T*>(ObjectStore::DetachCurrent()); }

  using ObjectStore::Capacity;
  using ObjectStore::Clear;
  using ObjectStore::Count;
  using ObjectStore::CurrentIndex;
  using ObjectStore::DeleteCurrent;
  using ObjectStore::InitialCapacity;

  TItemIterator<T> begin() const { return TItemIterator<T>(Items()); }
  TItemIterator<T> end() const { return TItemIterator<T>(Items() + Count()); }

 protected:
  /// Destroys and frees one item; a null item is ignored. A subclass that
  /// overrides this must call Clear() in its own destructor, since the base
  /// destructor no longer sees the override.
  virtual void DeleteItem(T* item) { delete item; }

 private:
  void FreeItem(void* item) override { DeleteItem(static_cast<T*>(item)); }
};

/// The typed owning store used for concrete item types; behaves exactly like
/// TObjectStoreAbstract<T>.
template <class T>
class TObjectStore : public TObjectStoreAbstract<T> {};
