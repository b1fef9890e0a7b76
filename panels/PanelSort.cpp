#include "panels/PanelSort.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <vector>

#include "foundation/CaseFold.h"
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

// A name folded once for sorting: each character upper-cased through the
// case table with '_' ranked 1, the order NameSortCompare gives, stored
// most-significant byte first in as few bytes as the largest folded
// character of the listing needs, so that memcmp of two keys orders them as
// NameSortCompare orders the names. A key ends with a 0 that no folded
// character equals. Names compare from the first byte not all keys share,
// and the first eight bytes from there are kept in the item as a number.
struct TSortItem {
  const unsigned char* key = nullptr;
  entry* e = nullptr;
  uint64_t head = 0;       // key bytes from the shared prefix on, as a big-endian number
  uint32_t length = 0;     // characters before the terminating 0
  uint32_t extension = 0;  // where the text after the last "." starts; length when there is none
  uint32_t skip = 0;       // key bytes every name of the sort class shares
  char sortClass = 0;      // copied so that the comparisons stay within the items
};

uint32_t SortKeyChar(const uint16_t* fold, wchar_t ch) {
  uint32_t code = static_cast<uint32_t>(ch);
  if (code <= 0xFFFF) code = fold[code];
  return code == L'_' ? 1 : code;
}

// Writes one folded character in width bytes, most significant first.
void StoreKeyChar(unsigned char* key, uint32_t code, int width) {
  for (int i = width - 1; i >= 0; --i, code >>= 8) key[i] = static_cast<unsigned char>(code);
}

constexpr size_t HeadBytes = sizeof(uint64_t);

struct TKeyOrder {
  SortOrder forward;
  bool reversed;
  int width;  // bytes per key character

  // The shorter key's terminator differs from the other key's character, so
  // the first difference lies within the shorter length plus one.
  int Keys(const unsigned char* a, uint32_t lengthA, const unsigned char* b,
           uint32_t lengthB) const {
    const uint32_t shorter = lengthA < lengthB ? lengthA : lengthB;
    return std::memcmp(a, b, static_cast<size_t>(width) * (shorter + 1));
  }
  int Names(const TSortItem& a, const TSortItem& b) const {
    if (a.head != b.head) return a.head < b.head ? -1 : 1;
    const size_t bytes =
        static_cast<size_t>(width) * ((a.length < b.length ? a.length : b.length) + 1);
    const size_t seen = a.skip + HeadBytes;
    return bytes <= seen ? 0 : std::memcmp(a.key + seen, b.key + seen, bytes - seen);
  }

  int Within(const TSortItem& a, const TSortItem& b) const {
    switch (forward) {
      case SortOrder::Name:
        return Names(a, b);
      case SortOrder::Extension: {
        const int result = Keys(a.key + width * a.extension, a.length - a.extension,
                                b.key + width * b.extension, b.length - b.extension);
        return result != 0 ? result : Names(a, b);
      }
      case SortOrder::Time:
        if (a.e->timeSec != b.e->timeSec) return a.e->timeSec > b.e->timeSec ? -1 : 1;
        if (a.e->timeNs != b.e->timeNs) return a.e->timeNs > b.e->timeNs ? -1 : 1;
        return Names(a, b);
      case SortOrder::Size:
        if (a.e->size != b.e->size) return a.e->size > b.e->size ? -1 : 1;
        return Names(a, b);
      default:
        return 0;
    }
  }
  bool operator()(const TSortItem& a, const TSortItem& b) const {
    if (a.sortClass != b.sortClass) return a.sortClass < b.sortClass;
    const int result = Within(a, b);
    return reversed ? result > 0 : result < 0;
  }
};

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
  const uint16_t* fold = CaseFoldTable();
  std::vector<TSortItem> sorted(static_cast<size_t>(count));
  size_t keyChars = 0;
  uint32_t largest = 0;
  for (int i = 0; i < count; ++i) {
    const wchar_t* name = items[i]->Name();
    uint32_t length = 0, extension = 0;
    for (; name[length] != 0; ++length) {
      const uint32_t code = SortKeyChar(fold, name[length]);
      if (code > largest) largest = code;
      if (name[length] == L'.') extension = length + 1;
    }
    TSortItem& item = sorted[i];
    item.e = items[i];
    item.length = length;
    item.extension = extension != 0 ? extension : length;
    item.sortClass = items[i]->sortClass;
    keyChars += length + 1;
  }
  const int width = largest <= 0xFF ? 1 : largest <= 0xFFFF ? 2 : 4;
  // The keys of all names live in one block for the length of the sort.
  std::vector<unsigned char> keys(keyChars * width);
  unsigned char* key = keys.data();
  for (TSortItem& item : sorted) {
    const wchar_t* name = item.e->Name();
    for (uint32_t i = 0; i < item.length; ++i)
      StoreKeyChar(key + width * i, SortKeyChar(fold, name[i]), width);
    StoreKeyChar(key + width * item.length, 0, width);
    item.key = key;
    key += width * (item.length + 1);
  }
  // The prefix every key of a sort class shares (a whole number of
  // characters; only names of one class are compared), then the head of
  // each key after it, zeros past the key's end.
  const TSortItem* first[256] = {};
  size_t shared[256] = {};
  for (const TSortItem& item : sorted) {
    const unsigned char sortClass = static_cast<unsigned char>(item.sortClass);
    if (first[sortClass] == nullptr) {
      first[sortClass] = &item;
      shared[sortClass] = static_cast<size_t>(width) * (item.length + 1);
    }
    size_t same = 0;
    while (same < shared[sortClass] && item.key[same] == first[sortClass]->key[same]) ++same;
    shared[sortClass] = same - same % width;
  }
  for (TSortItem& item : sorted) {
    const size_t bytes = static_cast<size_t>(width) * (item.length + 1);
    item.skip = static_cast<uint32_t>(shared[static_cast<unsigned char>(item.sortClass)]);
    item.head = 0;
    for (size_t i = item.skip; i < item.skip + HeadBytes; ++i)
      item.head = item.head << 8 | (i < bytes ? item.key[i] : 0);
  }
  std::sort(sorted.begin(), sorted.end(), TKeyOrder{ForwardOrder(order), IsReversed(order), width});
  for (int i = 0; i < count; ++i) items[i] = sorted[i].e;
}

void SortByExactName(entry** items, int count) {
  std::sort(items, items + count,
            [](const entry* a, const entry* b) { return std::wcscmp(a->Name(), b->Name()) < 0; });
}
