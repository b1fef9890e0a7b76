// Text and integer fields edited through the event queue of a running dialog.
#include "dialogs/StringField.h"

#include <gtest/gtest.h>

#include "dialogs/InputHistory.h"
#include "tests/dialogs/DialogTestUtil.h"

using namespace dialogtest;

namespace {

constexpr uint8_t kAttr = 0x70;
constexpr uint32_t kShiftLeft = 0x3004B, kShiftHome = 0x30047, kCtrlLeft = 0x10073,
                   kCtrlBackSpace = 127, kCtrlDelete = 0x10093, kCtrlX = 24, kCtrlV = 22,
                   kCtrlC = 3, kCtrlQ = 17, kAltDown = 0x100A0;

class StringFieldTest : public testing::Test {
 protected:
  void SetUp() override { ResetScreen(); }
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
  RunKeys(dialog, {kCtrlLeft, kCtrlBackSpace});
  EXPECT_EQ(text, Westring(L"alpha gamma")) << "Ctrl+BackSpace removes the word before the cursor";
  RunKeys(dialog, {Key::Home, kCtrlDelete});
  EXPECT_EQ(text, Westring(L"gamma"));
  // Select "mma" with Shift+Left, cut it, paste it at the start.
  RunKeys(dialog, {kShiftLeft, kShiftLeft, kShiftLeft, kCtrlX, Key::Home, kCtrlV});
  EXPECT_EQ(text, Westring(L"mmaga"));
  EXPECT_EQ(Con().PasteFromClipboard(), Westring(L"mma"));
  // A typed character replaces a selection; Ctrl+Q lets a control character in.
  RunKeys(dialog, {kShiftHome, L'x', kCtrlQ, 1});
  EXPECT_EQ(text, Westring(L"x\x01"));
  RunKeys(dialog, {kShiftHome, kCtrlC});
  EXPECT_EQ(Con().PasteFromClipboard(), Westring(L"x\x01"));
}

TEST_F(StringFieldTest, TheMaximumLengthIsNeverExceeded) {
  Westring text(L"abcde");
  Dialog dialog(0, 0, 40, 6, kAttr);
  dialog.AddStringField(1, 1, true, &text, 10, 5);
  RunKeys(dialog, {Key::End, L'f', L'g'});
  EXPECT_EQ(text, Westring(L"abcde"));
  Con().CopyToClipboard(Westring(L"xy"));
  RunKeys(dialog, {Key::End, Key::BackSpace, kCtrlV});
  EXPECT_EQ(text, Westring(L"abcd")) << "a paste that does not fit is refused whole";
  RunKeys(dialog, {Key::End, Key::BackSpace, kCtrlV});
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

TEST_F(StringFieldTest, IntegerFieldsTakeDigitsOnlyAndShowTheBoundValue) {
  int32_t value = 42;
  Dialog dialog(0, 0, 40, 6, kAttr);
  const int index = dialog.AddIntegerField(1, 1, true, &value, 6);
  RunText(dialog, L"7a8");
  EXPECT_EQ(value, 78) << "the letter is ignored";
  value = 1234;
  dialog.Draw(index);
  EXPECT_EQ(ScreenText(dialog.OriginColumn() + 1, dialog.OriginRow() + 1, 6), U"1234  ");
  RunText(dialog, L"12345678");
  EXPECT_EQ(value, 123456) << "no more digits than the width";
}

TEST_F(StringFieldTest, HistoriesKeepOneOfEachTextAndTheFieldOffersThem) {
  WestringStore* list = InputHistory(3);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(InputHistory(12), nullptr);
  list->Clear();
  int saved = 0;
  SetInputHistorySaver([&](int number, const Westring&) { saved += number == 3; });
  AddToHistory(Westring(L"first"), 3);
  AddToHistory(Westring(L"second"), 3);
  AddToHistory(Westring(L"FIRST"), 3, true);
  ASSERT_EQ(list->Count(), 2);
  EXPECT_EQ(*list->At(0), Westring(L"second"));
  EXPECT_EQ(*list->At(1), Westring(L"FIRST")) << "an equal entry moves to the end";
  EXPECT_EQ(saved, 2) << "do-not-save entries are not written";

  Westring text(L"typed");
  Dialog dialog(0, 0, 40, 12, kAttr);
  dialog.AddStringField(1, 1, true, &text, 20, 40, 3);
  EXPECT_EQ(ScreenText(dialog.OriginColumn() + 21, dialog.OriginRow() + 1, 1), U"\u2193");
  // The pop-up opens on the newest entry; Up and Enter take the older one.
  PostKeys({kAltDown, Key::Up, Key::Enter, Key::Enter});
  EXPECT_EQ(dialog.Run(), 13);
  EXPECT_EQ(text, Westring(L"second"));
  PostKeys({kAltDown, Key::Esc, Key::Esc});
  dialog.Run();
  EXPECT_EQ(text, Westring(L"second")) << "Esc leaves the field as it was";

  text = Westring(L"third");
  dialog.CommitAll();
  EXPECT_EQ(*list->At(list->Count() - 1), Westring(L"third"));
  SetInputHistorySaver(nullptr);
  list->Clear();
}
