#pragma once
// Where a panel stood in each directory it left: the first visible row and
// the name under the cursor, restored when it comes back.
#include "foundation/SortedCollection.h"
#include "foundation/Westring.h"

struct TPanelPosition {
  Westring directory;  // the key
  int firstVisible = 0;
  Westring cursorName;
};

class CPosStack : public TSortedCollection<TPanelPosition, Westring> {
 public:
  /// Records (or replaces the record of) a directory's position.
  void Remember(const Westring& directory, int firstVisible, const Westring& cursorName);
  /// The record of a directory, or null.
  const TPanelPosition* Recall(const Westring& directory);

 protected:
  const Westring* KeyOf(const TPanelPosition* item) const override { return &item->directory; }
  int CompareKeys(const Westring* a, const Westring* b) const override { return a->Compare(*b); }
};
