#include "panels/LinkTargetCache.h"

#include "foundation/SysCalls.h"

Westring CLinkTargetCache::LinkTarget(const Westring& path) {
  if (const TLinkTargetCacheEntry* known = Find(path)) return known->target;
  auto* item = new TLinkTargetCacheEntry{path, Sys::ReadLinkTarget(path)};
  Westring target = item->target;
  if (Insert(item) != 0) delete item;
  return target;
}
