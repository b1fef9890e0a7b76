// List boxes in running dialogs: navigation, search, mouse, workers and the
// colour selector, checked through the bound index and the cell grid.
#include <gtest/gtest.h>

#include <thread>

#include "dialogs/ColourSelector.h"
#include "dialogs/ListBox.h"
#include "dialogs/Look.h"
#include "tests/dialogs/DialogTestUtil.h"

using namespace dialogtest;

namespace {

constexpr uint8_t kAttr = 0x70;

TObjectStore<Westring>* Store(std::initializer_list<const wchar_t*> items) {
  auto* store = new TObjectStore<Westring>;
  for (const wchar_t* item : items) store->Append(new Westring(item));
  return store;
}

TObjectStore<Westring>* Numbered(int count) {
  auto* store = new TObjectStore<Westring>;
  for (int i = 0; i < count; ++i) store->Append(new Westring(std::to_wstring(i).c_str()));
  return store;
}

class ListBoxTest : public testing::Test {
 protected:
  void SetUp() override { ResetScreen(); }
};

}  // namespace

TEST_F(ListBoxTest, ShortListsEndOnTheirLastItemWithoutScrolling) {
  std::unique_ptr<TObjectStore<Westring>> items(Store({L"one", L"two", L"three"}));
  int selected = 0;
  Dialog dialog(0, 0, 30, 14, kAttr);
  const int index = dialog.AddListBox(1, 1, true, 20, 10, items.get(), &selected, 0);
  auto* list = static_cast<ListBoxBase*>(dialog.Element(index));
  RunKeys(dialog, {Key::End});
  EXPECT_EQ(selected, 2);
  EXPECT_EQ(list->Top(), 0);
  RunKeys(dialog, {Key::Home, Key::PageDown});
  EXPECT_EQ(selected, 2);
  EXPECT_EQ(list->Top(), 0);
  RunKeys(dialog, {Key::Down, Key::Down});
  EXPECT_EQ(selected, 2) << "Down stops at the last item";
  RunKeys(dialog, {Key::PageUp, Key::Up});
  EXPECT_EQ(selected, 0);

  // Drawn rows: items padded to the width, the focused cursor highlighted,
  // rows past the end blank.
  const int col = dialog.OriginColumn() + 1, row = dialog.OriginRow() + 1;
  EXPECT_EQ(ScreenText(col, row + 1, 20), U"two                 ");
  EXPECT_EQ(AttrAt(col, row), Colour(ColourClass::MenuHighlight));
  EXPECT_EQ(AttrAt(col, row + 1), Colour(ColourClass::Menu));
  EXPECT_EQ(ScreenText(col, row + 5, 20), std::u32string(20, U' '));
}

TEST_F(ListBoxTest, ASelectionPastTheEndShowsTheLastItemAndPagingScrollsByAWindow) {
  std::unique_ptr<TObjectStore<Westring>> ten(Numbered(10));
  int selected = 50;
  {
    Dialog dialog(0, 0, 30, 14, kAttr);
    const int index = dialog.AddListBox(1, 1, true, 20, 10, ten.get(), &selected, 0);
    EXPECT_EQ(selected, 9);
    EXPECT_EQ(static_cast<ListBoxBase*>(dialog.Element(index))->CursorRow(), 9);
    const int col = dialog.OriginColumn() + 1, last = dialog.OriginRow() + 10;
    EXPECT_EQ(ScreenText(col, last, 2), U"9 ");
    EXPECT_EQ(AttrAt(col, last), Colour(ColourClass::MenuHighlight));
  }

  std::unique_ptr<TObjectStore<Westring>> twenty(Numbered(20));
  selected = 0;
  Dialog dialog(0, 0, 30, 14, kAttr);
  const int index = dialog.AddListBox(1, 1, true, 20, 5, twenty.get(), &selected, 0);
  auto* list = static_cast<ListBoxBase*>(dialog.Element(index));
  RunKeys(dialog, {Key::PageDown});
  EXPECT_EQ(selected, 5);
  RunKeys(dialog, {Key::End});
  EXPECT_EQ(selected, 19);
  EXPECT_EQ(list->Top(), 15) << "End fills the window from the end";
  RunKeys(dialog, {Key::PageUp});
  EXPECT_EQ(selected, 14);
  RunKeys(dialog, {Key::Home, Key::Down, Key::Down, Key::Down, Key::Down, Key::Down});
  EXPECT_EQ(selected, 5);
  EXPECT_EQ(list->Top(), 1) << "moving past the bottom scrolls by one";
  EXPECT_EQ(ScreenText(dialog.OriginColumn() + 1, dialog.OriginRow() + 1, 2), U"1 ");
}

TEST_F(ListBoxTest, TypingSearchesFromTheCursorIgnoringCase) {
  std::unique_ptr<TObjectStore<Westring>> items(
      Store({L"alpha", L"Beta", L"gamma", L"Gold", L"delta"}));
  int selected = 0;
  Dialog dialog(0, 0, 30, 10, kAttr);
  const int index = dialog.AddListBox(1, 1, true, 20, 5, items.get(), &selected, 0);
  auto* list = static_cast<ListBoxBase*>(dialog.Element(index));
  PostKeys({L'G', L'o'});
  EXPECT_EQ(dialog.Run(100), 0);
  EXPECT_EQ(selected, 3);
  EXPECT_EQ(list->SearchText(), Westring(L"Go"));
  EXPECT_EQ(ScreenText(dialog.Right() - 4, dialog.Bottom(), 2), U"Go")
      << "shown on the bottom frame";

  PostKey(L'x');
  EXPECT_EQ(dialog.Run(100), 0);
  EXPECT_EQ(selected, 3) << "a letter that starts nothing changes nothing";
  EXPECT_EQ(list->SearchText(), Westring(L"Go"));

  PostKey(Key::F5);  // no search key: the search ends
  EXPECT_EQ(dialog.Run(100), 0);
  EXPECT_TRUE(list->SearchText().IsEmpty());
  EXPECT_EQ(ScreenText(dialog.Right() - 4, dialog.Bottom(), 2), U"\u2550\u2550");

  RunKeys(dialog, {L'b'});
  EXPECT_EQ(selected, 1) << "the search wraps round to the start";
}

TEST_F(ListBoxTest, EnterDoubleClicksAndTheKeyPicker) {
  std::unique_ptr<TObjectStore<Westring>> items(Store({L"one", L"two", L"three"}));
  int selected = 0;
  {
    Dialog dialog(0, 0, 30, 8, kAttr);
    dialog.AddListBox(1, 1, true, 20, 3, items.get(), &selected, 7);
    PostKey(Key::Enter);
    EXPECT_EQ(dialog.Run(), 7);
    PostMouse(TConsoleEvent::Press, 1, dialog.OriginColumn() + 2, dialog.OriginRow() + 2);
    PostMouse(TConsoleEvent::DoubleClick, 1, dialog.OriginColumn() + 2, dialog.OriginRow() + 2);
    EXPECT_EQ(dialog.Run(), 7);
    EXPECT_EQ(selected, 1);
  }
  {
    Dialog dialog(0, 0, 30, 8, kAttr);
    dialog.AddListBox(1, 1, true, 20, 3, items.get(), &selected, 0);
    PostKey(Key::Enter);
    EXPECT_EQ(dialog.Run(), 13) << "without an exit code Enter gives the dialog's default";
  }
  {
    Dialog dialog(0, 0, 30, 8, kAttr);
    dialog.AddListBox(1, 1, true, 20, 3, items.get(), &selected, -1);
    PostKeys({Key::Down, Key::F5});
    EXPECT_EQ(dialog.Run(), static_cast<int>(Key::F5)) << "a key picker returns the key";
    EXPECT_EQ(selected, 2);
    PostClick(dialog.OriginColumn() + 2, dialog.OriginRow() + 1);
    EXPECT_EQ(dialog.Run(), 13);
    EXPECT_EQ(selected, 0);
  }
}

TEST_F(ListBoxTest, ClicksFocusTheListAndPickTheItemUnderThePointer) {
  std::unique_ptr<TObjectStore<Westring>> items(Store({L"one", L"two", L"three"}));
  int selected = 0;
  Dialog dialog(0, 0, 30, 10, kAttr);
  dialog.AddPushButton(1, 6, true, 5, "_Go");
  const int index = dialog.AddListBox(1, 1, true, 20, 5, items.get(), &selected, 0);
  const int col = dialog.OriginColumn() + 4, row = dialog.OriginRow() + 1;
  PostClick(col, row + 1);
  RunKeys(dialog, {});
  EXPECT_EQ(dialog.Focus(), index) << "a click moves the focus from the button";
  EXPECT_EQ(selected, 1);
  EXPECT_EQ(AttrAt(col, row + 1), Colour(ColourClass::MenuHighlight));

  PostClick(col, row + 4);
  RunKeys(dialog, {});
  EXPECT_EQ(selected, 2) << "a click past the last item picks the last item";

  PostMouse(TConsoleEvent::Press, 1, col, row);
  PostMouse(TConsoleEvent::Motion, 1, col, row + 1);
  RunKeys(dialog, {});
  EXPECT_EQ(selected, 1) << "a drag follows the pointer";
}

TEST_F(ListBoxTest, ByteStringsSearchWidenedAndPlainArraysDoNotSearch) {
  TObjectStore<Estring> bytes;
  bytes.Append(new Estring("alpha"));
  bytes.Append(new Estring("b\xe9ta"));
  static const char* const kPlain[] = {"alpha", "beta"};
  int fromBytes = 0, fromPlain = 0;
  Dialog dialog(0, 0, 30, 10, kAttr);
  dialog.AddListBox(1, 1, true, 10, 3, &bytes, &fromBytes, 0);
  dialog.AddListBox(12, 1, true, 10, 3, kPlain, 2, &fromPlain, 0);
  RunKeys(dialog, {L'B', L'\u00e9'});
  EXPECT_EQ(fromBytes, 1);
  EXPECT_EQ(ScreenText(dialog.OriginColumn() + 1, dialog.OriginRow() + 2, 5), U"b\u00e9ta ");
  RunKeys(dialog, {Key::Tab, L'b'});
  EXPECT_EQ(dialog.Focus(), 1);
  EXPECT_EQ(fromPlain, 0) << "a list without item texts has no search";
}

TEST_F(ListBoxTest, AWorkerGrowsTheListThroughTheDialog) {
  std::unique_ptr<TObjectStore<Westring>> items(Numbered(2));
  int selected = 0;
  Dialog dialog(0, 0, 30, 10, kAttr);
  const int index = dialog.AddListBox(1, 1, true, 20, 5, items.get(), &selected, 0);
  std::thread worker([&] {
    TDialogEvent grown;
    grown.type = TDialogEvent::SetCount;
    for (int i = 2; i < 8; ++i) {
      items->Append(new Westring(std::to_wstring(i).c_str()));
      grown.value = i + 1;
      dialog.HandleEventFor(index, grown);
    }
  });
  worker.join();
  RunKeys(dialog, {Key::End});
  EXPECT_EQ(selected, 7);
  EXPECT_EQ(static_cast<ListBoxBase*>(dialog.Element(index))->Count(), 8);
}

TEST_F(ListBoxTest, TheColourSelectorRecoloursTheClassUnderTheCursor) {
  static const char* const kNames[] = {"Panel", "Errors"};
  uint8_t colours[] = {0x1F, 0x4E};
  int selected = 1;
  Dialog dialog(0, 0, 30, 8, kAttr);
  const int index = dialog.AddColourSelector(2, 1, true, 10, 2, kNames, 2, colours, &selected, 0);
  dialog.AddPushButton(2, 4, true, 5, "OK");
  const int col = dialog.OriginColumn() + 2, row = dialog.OriginRow() + 1;
  RunKeys(dialog, {});
  EXPECT_EQ(AttrAt(col, row), 0x1F) << "each name in its own colour";
  EXPECT_EQ(ScreenText(col - 1, row + 1, 12), U">Errors    <");
  EXPECT_EQ(ScreenText(col - 1, row, 1), U" ");

  RunKeys(dialog, {L'f', L'f'});
  EXPECT_EQ(colours[1], 0x40) << "foreground 14 + 2 wraps to 0";
  RunKeys(dialog, {L'F', L'b'});
  EXPECT_EQ(colours[1], 0x5F);
  RunKeys(dialog, {Key::Up, L'B', L'B'});
  EXPECT_EQ(colours[0], 0xFF) << "background 1 - 2 wraps to 15";
  EXPECT_EQ(colours[1], 0x5F);
  EXPECT_EQ(AttrAt(col, row), 0xFF);

  RunKeys(dialog, {Key::Tab});
  EXPECT_NE(dialog.Focus(), index);
  EXPECT_EQ(ScreenText(col - 1, row, 12), U">Panel     <") << "the marks outlast the focus";
  EXPECT_EQ(AttrAt(col, row), 0xFF);
}

TEST_F(ListBoxTest, HoldingTheButtonJustBelowOrAboveTheListScrollsItemByItem) {
  std::unique_ptr<TObjectStore<Westring>> items(Numbered(20));
  int selected = 0;
  Dialog dialog(0, 0, 30, 12, kAttr);
  dialog.AddListBox(1, 1, true, 20, 5, items.get(), &selected, 0);
  const int col = dialog.OriginColumn() + 3, below = dialog.OriginRow() + 6;
  const int above = dialog.OriginRow();

  // Released at once: one step, then the waiting release stops the scrolling.
  PostMouse(TConsoleEvent::Press, 1, col, below);
  PostMouse(TConsoleEvent::Release, 1, col, below);
  dialog.Run(100);
  EXPECT_EQ(selected, 1);

  // Held: the list runs to its end and stops there.
  PostMouse(TConsoleEvent::Press, 1, col, below);
  dialog.Run(100);
  EXPECT_EQ(selected, 19);
  PostMouse(TConsoleEvent::Press, 1, col, above);
  dialog.Run(100);
  EXPECT_EQ(selected, 0);
}
