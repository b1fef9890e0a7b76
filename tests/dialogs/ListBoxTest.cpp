// List boxes in running dialogs: navigation, search, mouse, count changes and the
// colour selector, checked through the bound index and the cell grid.
#include <gtest/gtest.h>

#include <memory>

#include "dialogs/ColourSelector.h"
#include "dialogs/ListBox.h"
#include "tests/dialogs/DialogTestUtil.h"

using namespace dialogtest;

namespace {

constexpr uint8_t kAttr = 0x70;

std::unique_ptr<TObjectStore<Westring>> Store(std::initializer_list<const wchar_t*> items) {
  std::unique_ptr<TObjectStore<Westring>> store(new TObjectStore<Westring>);
  for (const wchar_t* item : items) store->Append(new Westring(item));
  return store;
}

std::unique_ptr<TObjectStore<Westring>> Numbered(int count) {
  std::unique_ptr<TObjectStore<Westring>> store(new TObjectStore<Westring>);
  for (int i = 0; i < count; ++i) store->Append(new Westring(std::to_wstring(i).c_str()));
  return store;
}

using ListBoxTest = ScreenTest;

}  // namespace

TEST_F(ListBoxTest, ShortListsEndOnTheirLastItemAndLongOnesPageByAWindow) {
  auto items = Store({L"one", L"two", L"three"});
  int selected = 50;
  {
    Dialog dialog(0, 0, 30, 14, kAttr);
    const int index = dialog.AddListBox(1, 1, true, 20, 10, items.get(), &selected, 0);
    auto* list = static_cast<ListBoxBase*>(dialog.Element(index));
    EXPECT_EQ(selected, 2) << "a selection past the end shows the last item";
    RunKeys(dialog, {Key::Home, Key::PageDown});
    EXPECT_EQ(selected, 2);
    EXPECT_EQ(list->Top(), 0);
    RunKeys(dialog, {Key::Down});
    EXPECT_EQ(selected, 2) << "Down stops at the last item";
    RunKeys(dialog, {Key::PageUp, Key::Up});
    EXPECT_EQ(selected, 0);
  }
  auto twenty = Numbered(20);
  Dialog dialog(0, 0, 30, 14, kAttr);
  const int index = dialog.AddListBox(1, 1, true, 20, 5, twenty.get(), &selected, 0);
  auto* list = static_cast<ListBoxBase*>(dialog.Element(index));
  RunKeys(dialog, {Key::PageDown});
  EXPECT_EQ(selected, 5);
  RunKeys(dialog, {Key::End});
  EXPECT_EQ(list->Top(), 15) << "End fills the window from the end";
  RunKeys(dialog, {Key::Home, Key::Down, Key::Down, Key::Down, Key::Down, Key::Down});
  EXPECT_EQ(selected, 5);
  EXPECT_EQ(list->Top(), 1) << "moving past the bottom scrolls by one";
  EXPECT_EQ(ScreenText(dialog.OriginColumn() + 1, dialog.OriginRow() + 1, 2), U"1 ");
}

TEST_F(ListBoxTest, TypingSearchesFromTheCursorIgnoringCase) {
  auto items = Store({L"alpha", L"Beta", L"gamma", L"Gold", L"delta"});
  int selected = 0;
  Dialog dialog(0, 0, 30, 10, kAttr);
  const int index = dialog.AddListBox(1, 1, true, 20, 5, items.get(), &selected, 0);
  auto* list = static_cast<ListBoxBase*>(dialog.Element(index));
  PostKeys({L'G', L'o'});
  EXPECT_EQ(dialog.Run(100), 0);
  EXPECT_EQ(selected, 3);
  EXPECT_EQ(list->SearchText(), Westring(L"Go"));

  PostKey(L'x');
  EXPECT_EQ(dialog.Run(100), 0);
  EXPECT_EQ(list->SearchText(), Westring(L"Go")) << "a letter that starts nothing changes nothing";
  PostKey(Key::F5);  // no search key: the search ends
  EXPECT_EQ(dialog.Run(100), 0);
  EXPECT_TRUE(list->SearchText().IsEmpty());

  RunKeys(dialog, {L'b'});
  EXPECT_EQ(selected, 1) << "the search wraps round to the start";
}

TEST_F(ListBoxTest, EnterDoubleClicksAndTheKeyPicker) {
  auto items = Store({L"one", L"two", L"three"});
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
    dialog.AddListBox(1, 1, true, 20, 3, items.get(), &selected, -1);
    PostKeys({Key::Down, Key::F5});
    EXPECT_EQ(dialog.Run(), static_cast<int>(Key::F5)) << "a key picker returns the key";
    EXPECT_EQ(selected, 2);
    PostClick(dialog.OriginColumn() + 2, dialog.OriginRow() + 1);
    EXPECT_EQ(dialog.Run(), 13) << "a click picks; it gives the dialog's default";
    EXPECT_EQ(selected, 0);
  }
}

TEST_F(ListBoxTest, ASetCountEventGrowsTheList) {
  auto items = Numbered(2);
  int selected = 0;
  Dialog dialog(0, 0, 30, 10, kAttr);
  const int index = dialog.AddListBox(1, 1, true, 20, 5, items.get(), &selected, 0);
  for (int i = 2; i < 8; ++i) items->Append(new Westring(std::to_wstring(i).c_str()));
  TDialogEvent grown;
  grown.type = TDialogEvent::SetCount;
  grown.value = 8;
  dialog.HandleEventFor(index, grown);
  RunKeys(dialog, {Key::End});
  EXPECT_EQ(selected, 7);
}

TEST_F(ListBoxTest, TheColourSelectorRecoloursTheClassUnderTheCursor) {
  static const char* const kNames[] = {"Panel", "Errors"};
  uint8_t colours[] = {0x1F, 0x4E};
  int selected = 1;
  Dialog dialog(0, 0, 30, 8, kAttr);
  dialog.AddColourSelector(2, 1, true, 10, 2, kNames, 2, colours, &selected, 0);
  dialog.AddPushButton(2, 4, true, 5, "OK");
  const int col = dialog.OriginColumn() + 2, row = dialog.OriginRow() + 1;
  RunKeys(dialog, {L'f', L'f'});
  EXPECT_EQ(colours[1], 0x40) << "foreground 14 + 2 wraps to 0";
  RunKeys(dialog, {Key::Up, L'B', L'B'});
  EXPECT_EQ(colours[0], 0xFF) << "background 1 - 2 wraps to 15";
  EXPECT_EQ(AttrAt(col, row), 0xFF) << "each name in its own colour";
  RunKeys(dialog, {Key::Tab});
  EXPECT_EQ(ScreenText(col - 1, row, 12), U">Panel     <") << "the marks outlast the focus";
}
