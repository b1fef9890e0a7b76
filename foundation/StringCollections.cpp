#include "foundation/StringCollections.h"

#include <strings.h>

#include <cwchar>

namespace {

// The copy is made before searching so that the collection's own insert
// decides about duplicates; a refused copy is ours to delete.
template <class Collection, class Text>
int InsertCopyInto(Collection& collection, const Text& text) {
  auto* copy = new Text(text);
  if (collection.Insert(copy) == 0) return 1;
  delete copy;
  return 0;
}

}  // namespace

int StringCollection::InsertCopy(const Estring& text) { return InsertCopyInto(*this, text); }

int StringCollection::CompareKeys(const Estring* a, const Estring* b) const {
  return strcasecmp(a->c_str(), b->c_str());
}

int WestringCollection::InsertCopy(const Westring& text) { return InsertCopyInto(*this, text); }

int WestringCollection::CompareKeys(const Westring* a, const Westring* b) const {
  return wcscasecmp(a->c_str(), b->c_str());
}

int FnStringCollection::InsertCopy(const Westring& name) { return InsertCopyInto(*this, name); }

int FnStringCollection::CompareKeys(const Westring* a, const Westring* b) const {
  return wcscasecmp(a->c_str(), b->c_str());
}
