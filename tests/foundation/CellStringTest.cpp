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

TEST(CellStringTest, ConstructionFromText) {
  CellString empty(Marked);
  EXPECT_EQ(empty.Length(), 0);
  EXPECT_EQ(empty.Capacity(), 20);
  EXPECT_EQ(empty.Attr(), Marked);

  CellString wide(Westring(L"\u00E9t\u00E9"), Marked);
  EXPECT_EQ(TextOf(wide), "\u00E9t\u00E9");
  EXPECT_EQ(AttrsOf(wide), (std::vector<int>{Marked, Marked, Marked}));
  EXPECT_EQ(wide.Attr(), Marked);

  CellString narrow("\xE2\x82\xAC x\xE9", Alert);
  EXPECT_EQ(narrow.Length(), 4) << "UTF-8 decoded, the invalid byte taken as Latin-1";
  EXPECT_EQ(TextOf(narrow), "\u20AC x\u00E9");
  EXPECT_EQ(narrow.Attr(), Alert);

  EXPECT_EQ(CellString(static_cast<const char*>(nullptr)).Length(), 0);
  EXPECT_EQ(CellString(Westring()).Length(), 0);
  EXPECT_EQ(CellString().Attr(), Plain);

  CellString longText(Westring(25, L'x'));
  EXPECT_EQ(longText.Length(), 25);
  EXPECT_EQ(longText.Capacity(), 25) << "built to exactly its length";
}

TEST(CellStringTest, AppendingGrowsByHalf) {
  CellString cells = Repeated(20);
  EXPECT_EQ(cells.Capacity(), 20) << "20 cells fit inline";
  cells.Append(L'!');
  EXPECT_EQ(cells.Capacity(), 31) << "needs 21: 21 + 21/2";
  while (cells.Length() < 31) cells.Append(L'.');
  EXPECT_EQ(cells.Capacity(), 31);
  cells.Append(L'?');
  EXPECT_EQ(cells.Capacity(), 48) << "needs 32: 32 + 32/2";
  EXPECT_EQ(TextOf(cells), "abcdefghijklmnopqrst!..........?");

  CellString run(Plain);
  TCell blanks[15];
  run.AppendCells(blanks, 5);
  run.AppendCells(blanks, 5);
  run.AppendCells(blanks, 15);
  EXPECT_EQ(run.Length(), 25);
  EXPECT_EQ(run.Capacity(), 37) << "one growth for the run: 25 + 25/2";
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

  struct Row {
    int n;
    const char* expected;
  } rows[] = {{-1, "xyz"}, {0, ""}, {1, "x"}, {3, "xyz"}, {4, "xyz"}, {100, "xyz"}};
  for (const Row& row : rows) {
    CellString text(Plain);
    text.AppendText(L"xyz", row.n, Plain);
    EXPECT_EQ(TextOf(text), row.expected) << "n = " << row.n;
  }
  cells.AppendText(nullptr, 5, Plain);
  cells.AppendCells(nullptr, 5);
  cells.AppendCells(cells.Cells(), -1);
  EXPECT_EQ(cells.Length(), 5);
}

TEST(CellStringTest, AppendingItsOwnCellsSurvivesGrowth) {
  CellString cells = Repeated(15, Marked);
  cells.AppendCells(cells.Cells(), cells.Length());
  EXPECT_EQ(cells.Length(), 30);
  EXPECT_EQ(TextOf(cells), "abcdefghijklmnoabcdefghijklmno");
  cells.AppendCells(cells.Cells() + 28, 2);
  EXPECT_EQ(TextOf(cells.Sub(28, -1)), "nono");
}

TEST(CellStringTest, AssignmentReallocatesOnlyWhenTooSmall) {
  CellString target = Repeated(21);
  ASSERT_EQ(target.Capacity(), 31);
  CellString source = Repeated(25, Alert);
  target = source;
  EXPECT_EQ(target.Capacity(), 31) << "large enough: kept";
  EXPECT_EQ(target.Attr(), Alert);
  EXPECT_EQ(AttrsOf(target), AttrsOf(source));

  CellString small(Plain);
  small = source;
  EXPECT_EQ(small.Capacity(), 25) << "too small: exactly the size needed";
  EXPECT_EQ(TextOf(small), TextOf(source));

  CellString copy(target);
  EXPECT_EQ(copy.Capacity(), 25) << "a copy is sized to the length, not the capacity";
  copy[0].ch = 'Z';
  EXPECT_EQ(TextOf(target).substr(0, 1), "a") << "copies are deep";

  CellString text(Marked);
  text = Westring(L"wide");
  EXPECT_EQ(TextOf(text), "wide");
  EXPECT_EQ(AttrsOf(text), (std::vector<int>{Marked, Marked, Marked, Marked}));
  text = "\xC3\xA9!";
  EXPECT_EQ(TextOf(text), "\u00E9!");
  text = static_cast<const char*>(nullptr);
  EXPECT_EQ(text.Length(), 0);

  target = target;  // NOLINT: self-assignment must leave the cells alone
  EXPECT_EQ(target.Length(), 25);
}

TEST(CellStringTest, MovesTakeTheHeapArray) {
  CellString source = Repeated(30, Alert);
  const TCell* array = source.Cells();
  CellString moved(std::move(source));
  EXPECT_EQ(moved.Cells(), array);
  EXPECT_EQ(moved.Length(), 30);
  EXPECT_EQ(source.Length(), 0);  // NOLINT: the moved-from state is specified
  EXPECT_EQ(source.Capacity(), 20);

  CellString target = Repeated(3);
  target = std::move(moved);
  EXPECT_EQ(target.Cells(), array);
  EXPECT_EQ(target.Attr(), Alert);

  CellString inlineSource = Repeated(4, Marked);
  CellString inlineTarget = Repeated(40);
  inlineTarget = std::move(inlineSource);
  EXPECT_EQ(TextOf(inlineTarget), "abcd");
  EXPECT_EQ(inlineTarget.Attr(), Marked);
  EXPECT_EQ(inlineSource.Length(), 0);  // NOLINT
}

TEST(CellStringTest, SetLengthAndReserve) {
  CellString cells = Repeated(3, Marked);
  cells.SetAttr(Alert);
  cells.SetLength(5);
  EXPECT_EQ(TextOf(cells), "abc  ");
  EXPECT_EQ(AttrsOf(cells), (std::vector<int>{Marked, Marked, Marked, Alert, Alert}));
  cells.SetLength(2);
  EXPECT_EQ(TextOf(cells), "ab");
  cells.SetLength(-4);
  EXPECT_EQ(cells.Length(), 0);
  cells.SetLength(30);
  EXPECT_EQ(cells.Length(), 30);
  EXPECT_EQ(cells.Capacity(), 45) << "grows as appending does";

  CellString reserved = Repeated(3);
  reserved.Reserve(50);
  EXPECT_EQ(reserved.Capacity(), 50);
  EXPECT_EQ(TextOf(reserved), "abc");
  reserved.Reserve(10);
  EXPECT_EQ(reserved.Capacity(), 50);
}

TEST(CellStringTest, SubClampsStartAndCount) {
  CellString cells = Repeated(6, Marked);  // "abcdef"
  struct Row {
    int start;
    int count;
    const char* expected;
  } rows[] = {
      {2, 3, "cde"}, {0, 6, "abcdef"}, {-5, 2, "ab"}, {4, -1, "ef"},
      {4, 10, "ef"}, {10, 2, ""},      {2, 0, ""},    {6, -1, ""},
  };
  for (const Row& row : rows) {
    CellString part = cells.Sub(row.start, row.count);
    EXPECT_EQ(TextOf(part), row.expected) << row.start << ", " << row.count;
    EXPECT_EQ(part.Attr(), Marked);
  }
  EXPECT_EQ(TextOf(cells.Left(3)), "abc");
  EXPECT_EQ(TextOf(cells.Left(-1)), "");
  EXPECT_EQ(TextOf(cells.Left(99)), "abcdef");
}

TEST(CellStringTest, PaddedToUsesTheCurrentAttribute) {
  CellString cells(Plain);
  cells.AppendText(L"ab", -1, Alert);
  cells.SetAttr(Marked);
  CellString padded = cells.PaddedTo(5);
  EXPECT_EQ(TextOf(padded), "ab   ");
  EXPECT_EQ(AttrsOf(padded), (std::vector<int>{Alert, Alert, Marked, Marked, Marked}));
  EXPECT_EQ(cells.Length(), 2) << "the source is unchanged";

  EXPECT_EQ(TextOf(cells.PaddedTo(1)), "ab") << "a longer row is copied whole";
  CellString wide = cells.PaddedTo(80);
  EXPECT_EQ(wide.Length(), 80);
  EXPECT_EQ(wide.Capacity(), 80);
  uint32_t last = wide[79].ch;  // a packed field cannot bind to EXPECT_EQ's reference
  EXPECT_EQ(last, static_cast<uint32_t>(' '));
}

}  // namespace
