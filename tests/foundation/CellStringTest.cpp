#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/CellString.h"
#include "foundation/Westring.h"

namespace {

constexpr uint8_t Plain = MakeAttr(Color::LightGray, Color::Black);
constexpr uint8_t Marked = MakeAttr(Color::Yellow, Color::Blue);
constexpr uint8_t Alert = MakeAttr(Color::White, Color::Red);

// The characters of a row as UTF-8, so failures print readable text.
std::string TextOf(const CellString& cells) {
  Westring text;
  for (int i = 0; i < cells.Length(); ++i) text += static_cast<wchar_t>(cells.Cells()[i].ch);
  return text.ToUtf8().c_str();
}

std::vector<int> AttrsOf(const CellString& cells) {
  std::vector<int> attrs;
  for (int i = 0; i < cells.Length(); ++i) attrs.push_back(cells.Cells()[i].attr);
  return attrs;
}

CellString Repeated(int count, uint8_t attr = Plain) {
  CellString cells(attr);
  for (int i = 0; i < count; ++i) cells.Append(static_cast<wchar_t>('a' + i % 26));
  return cells;
}

TEST(CellStringTest, ConstructionDecodesUtf8WithLatin1Fallback) {
  CellString narrow("\xE2\x82\xAC x\xE9", Alert);
  EXPECT_EQ(TextOf(narrow), "\u20AC x\u00E9") << "the invalid byte is taken as Latin-1";
  EXPECT_EQ(AttrsOf(narrow), (std::vector<int>{Alert, Alert, Alert, Alert}));
  EXPECT_EQ(CellString(Westring(25, L'x')).Capacity(), 25) << "built to exactly its length";
}

TEST(CellStringTest, AppendingGrowsByHalfPastTheInlineCells) {
  CellString cells = Repeated(20);
  EXPECT_EQ(cells.Capacity(), 20) << "20 cells fit inline";
  cells.Append(L'!');
  EXPECT_EQ(cells.Capacity(), 31) << "needs 21: 21 + 21/2";
  while (cells.Length() < 32) cells.Append(L'.');
  EXPECT_EQ(cells.Capacity(), 48) << "needs 32: 32 + 32/2";
  EXPECT_EQ(TextOf(cells), "abcdefghijklmnopqrst!...........");

  CellString run(Plain);
  TCell blanks[15];
  run.AppendCells(blanks, 5);
  run.AppendCells(blanks, 5);
  run.AppendCells(blanks, 15);
  EXPECT_EQ(run.Capacity(), 37) << "one growth for the run: 25 + 25/2";
  cells.SetLength(60);
  EXPECT_EQ(cells.Capacity(), 90) << "SetLength grows as appending does: 60 + 60/2";
}

TEST(CellStringTest, AppendKindsAndAttributes) {
  CellString cells(Plain);
  cells.Append(L'a');
  TCell cell;
  cell.ch = 'b';
  cell.attr = Alert;
  cells.Append(cell);
  cells.SetAttr(Marked);
  cells.Append(L'c');
  cells.AppendText(L"defg", 2, Alert);
  EXPECT_EQ(TextOf(cells), "abcde");
  EXPECT_EQ(AttrsOf(cells), (std::vector<int>{Plain, Alert, Marked, Alert, Alert}));
  EXPECT_EQ(cells.Attr(), Marked) << "AppendText leaves the current attribute";
  cells.AppendCells(cells.Cells(), -1);
  EXPECT_EQ(cells.Length(), 5);
}

TEST(CellStringTest, AppendingItsOwnCellsSurvivesGrowth) {
  CellString cells = Repeated(15, Marked);
  cells.AppendCells(cells.Cells(), cells.Length());
  EXPECT_EQ(TextOf(cells), "abcdefghijklmnoabcdefghijklmno");
  cells.AppendCells(cells.Cells() + 28, 2);
  EXPECT_EQ(TextOf(cells.Sub(28, -1)), "nono");
}

TEST(CellStringTest, AssignmentReallocatesOnlyWhenTooSmallAndCopiesAreDeep) {
  CellString target = Repeated(21);
  CellString source = Repeated(25, Alert);
  target = source;
  EXPECT_EQ(target.Capacity(), 31) << "large enough: kept";
  EXPECT_EQ(AttrsOf(target), AttrsOf(source));
  CellString small(Plain);
  small = source;
  EXPECT_EQ(small.Capacity(), 25) << "too small: exactly the size needed";
  CellString copy(target);
  EXPECT_EQ(copy.Capacity(), 25) << "a copy is sized to the length, not the capacity";
  copy[0].ch = 'Z';
  EXPECT_EQ(TextOf(target).substr(0, 1), "a");
  target = target;  // NOLINT: self-assignment must leave the cells alone
  EXPECT_EQ(target.Length(), 25);
}

TEST(CellStringTest, SubClampsPadsAndSetLengthUsesTheCurrentAttribute) {
  CellString cells = Repeated(6, Marked);  // "abcdef"
  struct Row {
    int start, count;
    const char* expected;
  } rows[] = {{-5, 2, "ab"}, {4, -1, "ef"}, {4, 10, "ef"}, {10, 2, ""}};
  for (const Row& row : rows)
    EXPECT_EQ(TextOf(cells.Sub(row.start, row.count)), row.expected)
        << "Sub(" << row.start << ", " << row.count << ")";

  cells.SetAttr(Alert);
  CellString padded = cells.Left(2).PaddedTo(4);
  EXPECT_EQ(TextOf(padded), "ab  ");
  EXPECT_EQ(AttrsOf(padded), (std::vector<int>{Marked, Marked, Alert, Alert}))
      << "padding takes the current attribute, which a part inherits";
  cells.SetLength(8);
  EXPECT_EQ(TextOf(cells), "abcdef  ");
  EXPECT_EQ(AttrsOf(cells).back(), Alert);
}

}  // namespace
