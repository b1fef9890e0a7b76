#include "console/RowRuns.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace {

struct RunCase {
  const char* name;
  std::vector<TCell> cells;
  std::vector<TAttrRun> expected;
};

std::vector<TCell> Cells(const char32_t* text, std::vector<uint8_t> attrs) {
  std::vector<TCell> cells;
  for (size_t i = 0; text[i]; ++i) cells.push_back({static_cast<uint32_t>(text[i]), attrs[i]});
  return cells;
}

// Runs as (start byte, end byte, attribute) triples, so a failure prints them.
std::vector<std::tuple<int, int, int>> Triples(const std::vector<TAttrRun>& runs) {
  std::vector<std::tuple<int, int, int>> triples;
  for (const TAttrRun& run : runs) triples.emplace_back(run.startByte, run.endByte, run.attr);
  return triples;
}

}  // namespace

TEST(RowRuns, BreaksOnAttributeButBlanksOnlyOnBackground) {
  const std::vector<RunCase> cases = {
      {"one attribute is one run", Cells(U"abc", {0x17, 0x17, 0x17}), {{0, 3, 0x17}}},
      {"blank with other foreground joins", Cells(U"a b", {0x17, 0x1E, 0x17}), {{0, 3, 0x17}}},
      {"blank with other background breaks",
       Cells(U"a b", {0x17, 0x27, 0x17}),
       {{0, 1, 0x17}, {1, 2, 0x27}, {2, 3, 0x17}}},
      {"letter with other foreground breaks", Cells(U"ab", {0x17, 0x1E}), {{0, 1, 0x17}, {1, 2, 0x1E}}},
      {"run started by a blank keeps the blank's attribute",
       Cells(U" a", {0x1E, 0x17}),
       {{0, 1, 0x1E}, {1, 2, 0x17}}},
      {"offsets count UTF-8 bytes",
       Cells(U"\u00e9\u2502\U0001F600x", {0x07, 0x07, 0x70, 0x70}),
       {{0, 5, 0x07}, {5, 10, 0x70}}},
  };
  for (const RunCase& c : cases) {
    const TRowRuns row = BuildRowRuns(c.cells.data(), static_cast<int>(c.cells.size()));
    EXPECT_EQ(Triples(row.runs), Triples(c.expected)) << "input: " << c.name;
  }
}

TEST(RowRuns, SelectionSwapsNibblesAndTextStaysValidUtf8) {
  const std::vector<TCell> cells = Cells(U"abc", {0x1E, 0x1E, 0x1E});
  const TRowRuns row = BuildRowRuns(cells.data(), 3, [](int i) { return i == 1; });
  ASSERT_EQ(row.runs.size(), 3u);
  EXPECT_EQ(row.runs[1].attr, 0xE1);
  EXPECT_EQ(row.runs[2].attr, 0x1E);

  // A decoded NUL (0xFFFFFFFF), a surrogate and a value past U+10FFFF are
  // drawn as U+FFFD: Pango rejects a whole row of invalid UTF-8.
  const std::vector<TCell> bad = {{0xFFFFFFFF, 7}, {0xD800, 7}, {0x110000, 7}};
  EXPECT_EQ(BuildRowRuns(bad.data(), 3).utf8, "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
}
