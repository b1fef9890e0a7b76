#include "foundation/CaseFold.h"

#include <array>
#include <atomic>
#include <cctype>
#include <climits>

namespace {

struct TFoldPair {
  uint16_t lower;
  uint16_t upper;
};

const TFoldPair FoldPairs[] = {
#include "foundation/CaseFoldData.inc"
};
static_assert(sizeof(FoldPairs) / sizeof(FoldPairs[0]) == VK_CASE_FOLD_PAIR_COUNT,
              "the generated pair count must match the generated pairs");

struct TFoldTable {
  std::array<uint16_t, 65536> upper;
  TFoldTable() {
    for (int i = 0; i < 65536; ++i) upper[i] = static_cast<uint16_t>(i);
    for (const TFoldPair& pair : FoldPairs) upper[pair.lower] = pair.upper;
  }
};

// The 8-bit tables are read by any thread and written once at start-up,
// before other threads exist; relaxed atomics keep that well-defined.
struct TNarrowTables {
  std::atomic<unsigned char> upper[256];
  std::atomic<unsigned char> lower[256];
  std::atomic<bool> built{false};
  TNarrowTables() { Fill(); }
  void Fill() {
    for (int i = 0; i < 256; ++i) {
      upper[i].store(static_cast<unsigned char>(toupper(i)), std::memory_order_relaxed);
      lower[i].store(static_cast<unsigned char>(tolower(i)), std::memory_order_relaxed);
    }
  }
};

TNarrowTables& NarrowTables() {
  static TNarrowTables tables;
  return tables;
}

}  // namespace

const uint16_t* CaseFoldTable() {
  static const TFoldTable table;
  return table.upper.data();
}

int CaseFoldPairCount() { return VK_CASE_FOLD_PAIR_COUNT; }

wchar_t FoldChar(wchar_t ch) {
  uint32_t code = static_cast<uint32_t>(ch);
  if (code > 0xFFFF) return ch;
  return static_cast<wchar_t>(CaseFoldTable()[code]);
}

void BuildNarrowFoldTables() {
  NarrowTables().Fill();
  NarrowTables().built.store(true);
}

bool NarrowFoldTablesBuilt() { return NarrowTables().built.load(); }

unsigned char NarrowUpper(unsigned char ch) {
  return NarrowTables().upper[ch].load(std::memory_order_relaxed);
}

unsigned char NarrowLower(unsigned char ch) {
  return NarrowTables().lower[ch].load(std::memory_order_relaxed);
}

int NarrowFoldCompare(const char* a, const char* b) { return NarrowFoldCompareN(a, b, INT_MAX); }

int NarrowFoldCompareN(const char* a, const char* b, int n) {
  for (int i = 0; i < n; ++i) {
    int ua = NarrowUpper(static_cast<unsigned char>(a[i]));
    int ub = NarrowUpper(static_cast<unsigned char>(b[i]));
    if (ua != ub || a[i] == 0) return ua - ub;
  }
  return 0;
}
