#pragma once
#include "foundation/Estring.h"
#include "foundation/ObjectStore.h"
#include "foundation/SortedCollection.h"
#include "foundation/Westring.h"

/// Byte strings sorted ignoring ASCII case (strcasecmp); an equal text in
/// another case counts as already present. One thread at a time.
class StringCollection : public TSortedCollection<Estring, Estring> {
 public:
  /// Stores a heap copy of text and returns 1, or returns 0 and stores
  /// nothing when an equal text (ignoring case) is already present.
  int InsertCopy(const Estring& text);

 protected:
  const Estring* KeyOf(const Estring* item) const override { return item; }
  int CompareKeys(const Estring* a, const Estring* b) const override;
};

/// Wide strings sorted ignoring case (wcscasecmp); an equal text in another
/// case counts as already present. One thread at a time.
class WestringCollection : public TSortedCollection<Westring, Westring> {
 public:
  /// Stores a heap copy of text and returns 1, or returns 0 and stores
  /// nothing when an equal text (ignoring case) is already present.
  int InsertCopy(const Westring& text);

 protected:
  const Westring* KeyOf(const Westring* item) const override { return item; }
  int CompareKeys(const Westring* a, const Westring* b) const override;
};

/// File names sorted ignoring case (wcscasecmp), so "Readme" and "README"
/// are one entry. One thread at a time.
class FnStringCollection : public TSortedCollection<Westring, Westring> {
 public:
  /// Stores a heap copy of name and returns 1, or returns 0 and stores
  /// nothing when the name is already present (ignoring case).
  int InsertCopy(const Westring& name);

 protected:
  const Westring* KeyOf(const Westring* item) const override { return item; }
  int CompareKeys(const Westring* a, const Westring* b) const override;
};

/// Wide strings in insertion order; duplicates are kept. One thread at a time.
class WestringStore : public TObjectStore<Westring> {
 public:
  /// Stores a heap copy of text after the last item and makes it current.
  void AppendCopy(const Westring& text) { Append(new Westring(text)); }
};
