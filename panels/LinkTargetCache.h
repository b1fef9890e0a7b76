#pragma once
// Symbolic-link targets a panel has shown, read at most once per path per
// read of the panel (rows ask on demand while they are drawn).
#include "foundation/SortedCollection.h"
#include "foundation/Westring.h"

struct TLinkTargetCacheEntry {
  Westring path;    // the link's full path, the key
  Westring target;  // as read from the file system; empty when unreadable
};

class CLinkTargetCache : public TSortedCollection<TLinkTargetCacheEntry, Westring> {
 public:
  /// The target of the link at path, read from the file system on a miss.
  Westring LinkTarget(const Westring& path);

 protected:
  const Westring* KeyOf(const TLinkTargetCacheEntry* item) const override { return &item->path; }
  int CompareKeys(const Westring* a, const Westring* b) const override { return a->Compare(*b); }
};
