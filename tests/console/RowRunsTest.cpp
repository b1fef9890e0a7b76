#include "console/RowRuns.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace {

using Triples = std::vector<std::tuple<int, int, int>>;

// The runs of a row as (start byte, end byte, attribute), so a failure prints them.
Triples Runs(const char32_t* text, std::vector<uint8_t> attrs, int selected = -1) {
  std::vector<TCell> cells;
  for (size_t i = 0; text[i]; ++i) cells.push_back({static_cast<uint32_t>(text[i]), attrs[i]});
  const TRowRuns row = BuildRowRuns(cells.data(), static_cast<int>(cells.size()),
                                    [selected](int i) { return i == selected; });
  Triples triples;
  for (const TAttrRun& run : row.runs) triples.emplace_back(run.startByte, run.endByte, run.attr);
  return triples;
}

}  // namespace

TEST(RowRuns, BreaksOnAttributeButBlanksOnlyOnBackgroundAndTextStaysValidUtf8) {
  EXPECT_EQ(Runs(U"a b", {0x17, 0x1E, 0x17}), (Triples{{0, 3, 0x17}}))
      << "a blank with another foreground joins";
  EXPECT_EQ(Runs(U"a b", {0x17, 0x27, 0x17}), (Triples{{0, 1, 0x17}, {1, 2, 0x27}, {2, 3, 0x17}}))
      << "a blank with another background breaks";
  EXPECT_EQ(Runs(U" a", {0x1E, 0x17}), (Triples{{0, 1, 0x1E}, {1, 2, 0x17}}))
      << "a run started by a blank keeps the blank's attribute";
  EXPECT_EQ(Runs(U"\u00e9\u2502\U0001F600x", {0x07, 0x07, 0x70, 0x70}),
            (Triples{{0, 5, 0x07}, {5, 10, 0x70}}))
      << "offsets count UTF-8 bytes";
  EXPECT_EQ(Runs(U"abc", {0x1E, 0x1E, 0x1E}, 1),
            (Triples{{0, 1, 0x1E}, {1, 2, 0xE1}, {2, 3, 0x1E}}))
      << "a selected cell swaps its nibbles";
  // A decoded NUL (0xFFFFFFFF), a surrogate and a value past U+10FFFF are
  // drawn as U+FFFD: Pango rejects a whole row of invalid UTF-8.
  const std::vector<TCell> bad = {{0xFFFFFFFF, 7}, {0xD800, 7}, {0x110000, 7}};
  EXPECT_EQ(BuildRowRuns(bad.data(), 3).utf8, "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
}
