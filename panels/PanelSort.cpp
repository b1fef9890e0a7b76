#include "panels/PanelSort.h"

#include <algorithm>
#include <cwchar>

#include "foundation/Westring.h"

namespace {

constexpr int ReverseOffset = 5;

const wchar_t* Extension(const wchar_t* name) {
  const wchar_t* dot = std::wcsrchr(name, L'.');
  return dot != nullptr ? dot + 1 : L"";
}

int ByName(const entry& a, const entry& b) { return NameSortCompare(a.Name(), b.Name()); }

int ByExtension(const entry& a, const entry& b) {
  const int result = NameSortCompare(Extension(a.Name()), Extension(b.Name()));
  return result != 0 ? result : ByName(a, b);
}

// Newer first.
int ByTime(const entry& a, const entry& b) {
  if (a.timeSec != b.timeSec) return a.timeSec > b.timeSec ? -1 : 1;
  if (a.timeNs != b.timeNs) return a.timeNs > b.timeNs ? -1 : 1;
  return ByName(a, b);
}

// Larger first.
int BySize(const entry& a, const entry& b) {
  if (a.size != b.size) return a.size > b.size ? -1 : 1;
  return ByName(a, b);
}

}  // namespace

bool IsReversed(SortOrder order) { return static_cast<int>(order) >= ReverseOffset; }

SortOrder ForwardOrder(SortOrder order) {
  return static_cast<SortOrder>(static_cast<int>(order) % ReverseOffset);
}

SortOrder Reversed(SortOrder order) {
  const int forward = static_cast<int>(ForwardOrder(order));
  return static_cast<SortOrder>(IsReversed(order) ? forward : forward + ReverseOffset);
}

int CompareEntries(const entry& a, const entry& b, SortOrder order) {
  if (a.sortClass != b.sortClass) return a.sortClass < b.sortClass ? -1 : 1;
  int result = 0;
  switch (ForwardOrder(order)) {
    case SortOrder::Name: result = ByName(a, b); break;
    case SortOrder::Extension: result = ByExtension(a, b); break;
    case SortOrder::Time: result = ByTime(a, b); break;
    case SortOrder::Size: result = BySize(a, b); break;
    default: return 0;
  }
  return IsReversed(order) ? -result : result;
}

void SortEntries(entry** items, int count, SortOrder order) {
  if (ForwardOrder(order) == SortOrder::Unsorted || count < 2) return;
  std::sort(items, items + count,
            [order](const entry* a, const entry* b) { return CompareEntries(*a, *b, order) < 0; });
}

void SortByExactName(entry** items, int count) {
  std::sort(items, items + count,
            [](const entry* a, const entry* b) { return std::wcscmp(a->Name(), b->Name()) < 0; });
}
