// Text and integer fields edited through the event queue of a running dialog.
#include <gtest/gtest.h>

#include "dialogs/InputHistory.h"
#include "dialogs/StringField.h"
#include "tests/dialogs/DialogTestUtil.h"

using namespace dialogtest;

namespace {

constexpr uint8_t kAttr = 0x70;
class StringFieldTest : public testing::Test {
 protected:
  // Most cases move by whole words and the blanks after them.
  void SetUp() override {
    ResetScreen();
    g_wordRightStopsAfterWord = false;
  }
  void TearDown() override { g_wordRightStopsAfterWord = true; }
};

}  // namespace

TEST_F(StringFieldTest, TheFirstKeyReplacesTheTextAndLaterKeysEditIt) {
  Westring text(L"old name");
  Dialog dialog(0, 0, 40, 6, kAttr);
  dialog.AddStringField(1, 1, true, &text, 20, 30);
  RunText(dialog, L"new");
  EXPECT_EQ(text, Westring(L"new"));
  // Each run focuses the field afresh, so moving first keeps the text.
  RunKeys(dialog, {Key::Home, L'a', Key::End, L'z', Key::Left, Key::BackSpace});
  EXPECT_EQ(text, Westring(L"anez"));
  RunKeys(dialog, {Key::Home, Key::Delete, Key::Delete});
  EXPECT_EQ(text, Westring(L"ez"));
  EXPECT_EQ(ScreenText(dialog.OriginColumn() + 1, dialog.OriginRow() + 1, 4), U"ez  ");
  EXPECT_EQ(AttrAt(dialog.OriginColumn() + 3, dialog.OriginRow() + 1), dialog.FocusColour())
      << "the field is padded to its width in the focus colour";
}

TEST_F(StringFieldTest, WordsSelectionsAndTheClipboard) {
  Westring text(L"alpha beta gamma");
  Dialog dialog(0, 0, 40, 6, kAttr);
  dialog.AddStringField(1, 1, true, &text, 30, 40);
  RunKeys(dialog, {Key::CtrlLeft, Key::CtrlBackSpace});
  EXPECT_EQ(text, Westring(L"alpha gamma")) << "Ctrl+BackSpace removes the word before the cursor";
  RunKeys(dialog, {Key::Home, Key::CtrlDelete});
  EXPECT_EQ(text, Westring(L"gamma"));
  // Select "mma" with Shift+Left, cut it, paste it at the start.
  RunKeys(dialog,
          {Key::ShiftLeft, Key::ShiftLeft, Key::ShiftLeft, Key::CtrlX, Key::Home, Key::CtrlV});
  EXPECT_EQ(text, Westring(L"mmaga"));
  EXPECT_EQ(Con().PasteFromClipboard(), Westring(L"mma"));
  // A typed character replaces a selection; Ctrl+Q lets a control character in.
  RunKeys(dialog, {Key::ShiftHome, L'x', Key::CtrlQ, 1});
  EXPECT_EQ(text, Westring(L"x\x01"));
  RunKeys(dialog, {Key::ShiftHome, Key::CtrlC});
  EXPECT_EQ(Con().PasteFromClipboard(), Westring(L"x\x01"));
}

TEST_F(StringFieldTest, TheMaximumLengthIsNeverExceeded) {
  Westring text(L"abcde");
  Dialog dialog(0, 0, 40, 6, kAttr);
  dialog.AddStringField(1, 1, true, &text, 10, 5);
  RunKeys(dialog, {Key::End, L'f', L'g'});
  EXPECT_EQ(text, Westring(L"abcde"));
  Con().CopyToClipboard(Westring(L"xy"));
  RunKeys(dialog, {Key::End, Key::BackSpace, Key::CtrlV});
  EXPECT_EQ(text, Westring(L"abcd")) << "a paste that does not fit is refused whole";
  RunKeys(dialog, {Key::End, Key::BackSpace, Key::CtrlV});
  EXPECT_EQ(text, Westring(L"abcxy"));
}

TEST_F(StringFieldTest, LongTextScrollsWithTheCursor) {
  Westring text(L"0123456789abcdef");
  Dialog dialog(0, 0, 40, 6, kAttr);
  const int index = dialog.AddStringField(1, 1, true, &text, 8, 40);
  auto* field = static_cast<StringField*>(dialog.Element(index));
  RunKeys(dialog, {});
  EXPECT_EQ(field->Cursor(), 16);
  EXPECT_EQ(field->Offset(), 9) << "the cursor stands in the last cell";
  EXPECT_EQ(ScreenText(dialog.OriginColumn() + 1, dialog.OriginRow() + 1, 8), U"9abcdef ");
  RunKeys(dialog, {Key::Home});
  EXPECT_EQ(field->Offset(), 0);
  EXPECT_EQ(ScreenText(dialog.OriginColumn() + 1, dialog.OriginRow() + 1, 8), U"01234567");
}

TEST_F(StringFieldTest, TheMouseSelectsAndTheSelectionShowsOnlyWhileFocused) {
  Westring text(L"hello world");
  Dialog dialog(0, 0, 40, 6, kAttr);
  const int index = dialog.AddStringField(1, 1, true, &text, 20, 40);
  dialog.AddPushButton(1, 3, true, 13, "_OK");
  auto* field = static_cast<StringField*>(dialog.Element(index));
  const int col = dialog.OriginColumn() + 1, row = dialog.OriginRow() + 1;
  const uint8_t focus = dialog.FocusColour();
  const uint8_t inverted = static_cast<uint8_t>(focus << 4 | focus >> 4);

  // Press under the 'w', drag past the end of the text, copy.
  PostMouse(TConsoleEvent::Press, 1, col + 6, row);
  PostMouse(TConsoleEvent::Motion, 1, col + 9, row);
  PostMouse(TConsoleEvent::Motion, 1, col + 15, row);
  PostMouse(TConsoleEvent::Release, 1, col + 15, row);
  RunKeys(dialog, {Key::CtrlInsert});
  EXPECT_EQ(Con().PasteFromClipboard(), Westring(L"world"));
  EXPECT_EQ(field->SelectionStart(), 6);
  EXPECT_EQ(field->SelectionEnd(), 11);
  EXPECT_EQ(AttrAt(col + 5, row), focus);
  EXPECT_EQ(AttrAt(col + 6, row), inverted);
  EXPECT_EQ(AttrAt(col + 10, row), inverted);
  EXPECT_EQ(AttrAt(col + 11, row), focus);
  EXPECT_EQ(Con().CursorColumn(), col + 11);
  EXPECT_EQ(Con().CursorRow(), row);
  EXPECT_GT(Con().CursorSize(), 0) << "the text cursor shows while the field has the focus";

  RunKeys(dialog, {Key::Tab});
  EXPECT_EQ(dialog.Focus(), index + 1);
  EXPECT_EQ(AttrAt(col + 6, row), focus) << "no selection is shown without the focus";
  EXPECT_EQ(Con().CursorSize(), 0);

  // Tab back (the cursor goes to the end), select the last word, cut it, paste it in front.
  RunKeys(dialog, {Key::Tab, Key::ShiftCtrlLeft, Key::ShiftDelete, Key::Home, Key::ShiftInsert});
  EXPECT_EQ(text, Westring(L"worldhello "));
  EXPECT_EQ(field->Cursor(), 5);
  EXPECT_EQ(field->SelectionStart(), field->SelectionEnd());
}

TEST_F(StringFieldTest, MovementKeysAndTheirShiftForms) {
  Westring text(L"one two three");
  Dialog dialog(0, 0, 40, 6, kAttr);
  const int index = dialog.AddStringField(1, 1, true, &text, 20, 40);
  auto* field = static_cast<StringField*>(dialog.Element(index));
  RunKeys(dialog, {Key::Home, Key::CtrlRight, Key::CtrlRight});
  EXPECT_EQ(field->Cursor(), 8) << "Ctrl+Right stops at the start of the next word";
  g_wordRightStopsAfterWord = true;
  RunKeys(dialog, {Key::Home, Key::CtrlRight, Key::CtrlRight});
  EXPECT_EQ(field->Cursor(), 7) << "with BriefWordRight it stops at the end of the word";
  g_wordRightStopsAfterWord = false;
  RunKeys(dialog, {Key::Home, Key::CtrlRight, Key::ShiftCtrlRight, Key::ShiftRight, Key::CtrlX});
  EXPECT_EQ(text, Westring(L"one hree"));
  EXPECT_EQ(Con().PasteFromClipboard(), Westring(L"two t"));
  RunKeys(dialog, {Key::Home, Key::Right, Key::ShiftEnd, Key::BackSpace, Key::End, Key::Delete});
  EXPECT_EQ(text, Westring(L"o"));
  RunKeys(dialog, {Key::Home, Key::Left, Key::BackSpace, Key::Right, Key::Right, L'x'});
  EXPECT_EQ(text, Westring(L"ox")) << "moving off either end goes nowhere";
  // A selection made with Shift is dropped by an unshifted move.
  RunKeys(dialog, {Key::ShiftHome, Key::Right, Key::Delete});
  EXPECT_EQ(text, Westring(L"o"));
  // Each run focuses the field afresh, without the selection it ended with.
  text = Westring(L"abc");
  RunKeys(dialog, {Key::Home, Key::ShiftRight});
  RunKeys(dialog, {Key::BackSpace});
  EXPECT_EQ(text, Westring(L"ab"));
}

TEST_F(StringFieldTest, TheHistoryMarkOpensThePopUpAndEntriesAreCutToTheMaximum) {
  WestringStore* list = InputHistory(5);
  ASSERT_NE(list, nullptr);
  list->Clear();
  AddToHistory(Westring(L"alpha"), 5, true);
  AddToHistory(Westring(L"a much longer entry"), 5, true);

  Westring text, plain(L"x"), outOfRange(L"y");
  Dialog dialog(0, 0, 40, 12, kAttr);
  const int button = dialog.AddPushButton(1, 5, true, 13, "_OK");
  const int index = dialog.AddStringField(1, 1, true, &text, 10, 8, 5);
  dialog.AddStringField(1, 2, true, &plain, 10, 8);
  dialog.AddStringField(1, 3, true, &outOfRange, 10, 8, 12);
  const int col = dialog.OriginColumn() + 1, row = dialog.OriginRow() + 1;
  EXPECT_EQ(ScreenText(col + 10, row, 1), U"\u2193");
  EXPECT_EQ(ScreenText(col + 10, row + 1, 1), U" ") << "no mark without a history";
  EXPECT_EQ(ScreenText(col + 10, row + 2, 1), U" ") << "only lists 0 to 11 exist";

  // A click just right of the field focuses it and opens the pop-up on the newest entry.
  ASSERT_EQ(dialog.Focus(), button);
  PostClick(col + 10, row);
  RunKeys(dialog, {Key::Enter});
  EXPECT_EQ(dialog.Focus(), index);
  EXPECT_EQ(text, Westring(L"a much l"));
  EXPECT_EQ(ScreenText(col, row, 10), U"a much l  ");

  RunKeys(dialog, {Key::AltDown, Key::Up, Key::Enter, L'!'});
  EXPECT_EQ(text, Westring(L"alpha!")) << "after a pick the next key edits the text";
  PostKeys({Key::AltDown, Key::Enter});
  PostKey(Key::Esc);
  dialog.Run();
  EXPECT_EQ(text, Westring(L"a much l"));

  // Only non-empty text is committed, and only by fields with a history.
  text = Westring();
  dialog.CommitAll();
  EXPECT_EQ(list->Count(), 2);
  text = Westring(L"new");
  dialog.CommitAll();
  ASSERT_EQ(list->Count(), 3);
  EXPECT_EQ(*list->At(2), Westring(L"new"));
  list->Clear();
}

TEST(IntegerFieldTest, KeepAsTypedShowsTheTypedTextWhileItMeansTheValue) {
  ResetScreen();
  int32_t kept = 5, rebuilt = 5;
  Dialog dialog(0, 0, 40, 6, kAttr);
  dialog.AddIntegerField(1, 1, true, &kept, 6, true);
  dialog.AddIntegerField(1, 2, true, &rebuilt, 6, false);
  const int col = dialog.OriginColumn() + 1, row = dialog.OriginRow() + 1;
  RunText(dialog, L"007");
  RunKeys(dialog, {Key::Tab, L'0', L'0', L'7'});
  EXPECT_EQ(kept, 7);
  EXPECT_EQ(rebuilt, 7);
  dialog.Draw(-1);
  EXPECT_EQ(ScreenText(col, row, 6), U"007   ");
  EXPECT_EQ(ScreenText(col, row + 1, 6), U"7     ");
  kept = 8;
  dialog.Draw(-1);
  EXPECT_EQ(ScreenText(col, row, 6), U"8     ") << "the text no longer means the value";
}

TEST(IntegerFieldTest, RefusedCharactersChangeNothing) {
  ResetScreen();
  int32_t value = 42;
  Dialog dialog(0, 0, 40, 6, kAttr);
  dialog.AddIntegerField(1, 1, true, &value, 6);
  RunKeys(dialog, {L'a', L'7'});
  EXPECT_EQ(value, 7) << "a refused letter leaves the first-key rule for the next digit";
  RunKeys(dialog, {Key::CtrlQ, 1, L'9'});
  EXPECT_EQ(value, 79) << "a quoted control character is no digit either";
  Con().CopyToClipboard(Westring(L"1x"));
  RunKeys(dialog, {Key::CtrlV});
  EXPECT_EQ(value, 79);
  Con().CopyToClipboard(Westring(L"12"));
  RunKeys(dialog, {Key::Home, Key::CtrlV});
  EXPECT_EQ(value, 1279);
  RunKeys(dialog, {Key::BackSpace, Key::ShiftHome, Key::Delete});
  EXPECT_EQ(value, 0) << "an empty field means 0";
}

TEST(IntegerFieldTest, ItsTextScrollsOneCellEarlierThanAStringField) {
  ResetScreen();
  int32_t value = 0;
  Westring text;
  Dialog dialog(0, 0, 40, 6, kAttr);
  auto* number =
      static_cast<StringField*>(dialog.Element(dialog.AddIntegerField(1, 1, true, &value, 4)));
  auto* string =
      static_cast<StringField*>(dialog.Element(dialog.AddStringField(1, 2, true, &text, 4, 10)));
  RunText(dialog, L"1234");
  RunKeys(dialog, {Key::Tab, L'1', L'2', L'3', L'4'});
  EXPECT_EQ(value, 1234);
  EXPECT_EQ(number->Cursor(), 4);
  EXPECT_EQ(number->Offset(), 2);
  EXPECT_EQ(string->Offset(), 1);
  RunKeys(dialog, {Key::Tab, L'5', L'6', L'7', L'8', L'9'});
  EXPECT_EQ(value, 5678) << "no more digits than the width";

  int32_t wide = 0;
  Dialog wideDialog(0, 0, 40, 6, kAttr);
  wideDialog.AddIntegerField(1, 1, true, &wide, 25, true);
  RunText(wideDialog, L"1234567890123456789");
  EXPECT_EQ(ScreenText(wideDialog.OriginColumn() + 1, wideDialog.OriginRow() + 1, 25),
            U"123456789012345678       ")
      << "never more than 18 digits";
}
