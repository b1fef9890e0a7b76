// Undo and redo of every kind of change, the limits of the history, the
// bookmarks that follow changes, and the status kept between openings.
#include <gtest/gtest.h>

#include "tests/TempDirectory.h"
#include "tests/dialogs/DialogTestUtil.h"
#include "tests/editor/EditorTestUtil.h"

using namespace editortest;
using namespace VKEditor;

namespace {

// Replaces start..end by with the way an editing command does, recording
// the item that undoes it; the cursor ends after the new text.
void Change(CEditorText& text, TTextPos start, TTextPos end, const Westring& with) {
  text.MoveCursorTo(start);
  const TTextRegion old{start, end, start != end};
  auto* item = new UndoItem;
  item->text = text.RegionText(old);
  item->cursor = start;
  item->position = start;
  TTextPos after;
  ASSERT_EQ(text.DeleteRegion(old), 0);
  ASSERT_EQ(text.InsertText(start, with, &after), 0);
  item->region = {start, after, after != start};
  text.MoveCursorTo(after);
  text.PushUndo(item);
}

void SetText(CEditorText& text, const Westring& lines) {
  text.Clear();
  text.UndoItems().Clear();
  text.RedoItems().Clear();
  TTextPos end;
  ASSERT_EQ(text.InsertText({0, 0}, lines, &end), 0);
  text.MoveCursorTo({0, 0});
  text.MarkSaved();
}

struct TChangeCase {
  const char* kind;
  const wchar_t* before;
  TTextPos start, end;
  const wchar_t* with;
  const char* after;
};

const TChangeCase kChanges[] = {
    {"typed character", L"abc", {1, 0}, {1, 0}, L"x", "axbc"},
    {"deleted character", L"abc", {1, 0}, {2, 0}, L"", "ac"},
    {"line join", L"ab\ncd", {2, 0}, {0, 1}, L"", "abcd"},
    {"line split", L"abcd", {2, 0}, {2, 0}, L"\r\n", "ab|cd"},
    {"block deleted across lines", L"one\r\ntwo\r\nthree", {1, 0}, {2, 2}, L"", "oree"},
    {"lines pasted", L"ab", {1, 0}, {1, 0}, L"x\r\ny\nz", "ax|y|zb"},
    {"text replaced", L"say foo now", {4, 0}, {7, 0}, L"barbaz", "say barbaz now"},
    {"block replaced by lines", L"a\nbc\nd", {1, 0}, {1, 1}, L"1\n2", "a1|2c|d"},
};

TEST(EditorUndoTest, EveryKindOfChangeUndoesAndRedoes) {
  CEditorText text;
  for (const TChangeCase& change : kChanges) {
    SCOPED_TRACE(change.kind);
    SetText(text, change.before);
    const std::string before = Lines(text);
    Change(text, change.start, change.end, change.with);
    EXPECT_EQ(Lines(text), change.after);
    EXPECT_TRUE(text.Flags().modified);

    // Away from the change, the first undo only goes there.
    const bool away = text.CursorPos() != change.start;
    ASSERT_TRUE(text.Undo());
    if (away) {
      EXPECT_EQ(Lines(text), change.after);
      EXPECT_EQ(text.CursorPos(), change.start);
      ASSERT_TRUE(text.Undo());
    }
    EXPECT_EQ(Lines(text), before);
    EXPECT_FALSE(text.Flags().modified);  // back at the saved text
    EXPECT_EQ(text.UndoItems().Count(), 0);

    ASSERT_TRUE(text.Redo());
    EXPECT_EQ(Lines(text), change.after);
    EXPECT_TRUE(text.Flags().modified);
    ASSERT_TRUE(text.Undo());
    EXPECT_EQ(Lines(text), before);
    EXPECT_FALSE(text.Undo());
  }
}

TEST(EditorUndoTest, HistoryLimitsAndTheSavedState) {
  CEditorText text;
  SetText(text, L"");
  for (int i = 0; i < TUndoStack::MaxItems + 1; ++i) Change(text, {i, 0}, {i, 0}, L"x");
  EXPECT_EQ(text.UndoItems().Count(), TUndoStack::MaxItems);
  while (text.Undo()) {
  }
  EXPECT_EQ(Lines(text), "x");  // the first edit is beyond the history
  EXPECT_TRUE(text.Flags().modified);

  // A new edit after an undo empties the redo stack, and the saved text
  // that lay among the redo items cannot come back.
  SetText(text, L"abc");
  Change(text, {0, 0}, {1, 0}, L"");
  text.MarkSaved();
  ASSERT_TRUE(text.Undo());
  EXPECT_TRUE(text.Flags().modified);
  Change(text, {3, 0}, {3, 0}, L"!");
  EXPECT_EQ(text.RedoItems().Count(), 0);
  ASSERT_TRUE(text.Undo());
  ASSERT_TRUE(text.Undo());
  EXPECT_EQ(Lines(text), "abc");
  EXPECT_TRUE(text.Flags().modified);
}

TEST(EditorUndoTest, LinesStayWithinTheLengthLimit) {
  CEditorText text;
  SetText(text, Westring(CEditorText::MaxLineLength - 1, L'a'));
  TTextPos end;
  EXPECT_EQ(text.InsertText({0, 0}, L"b", &end), 0);
  EXPECT_EQ(text.InsertText({0, 0}, L"c", &end), E2BIG);
  EXPECT_EQ(text.InsertText({0, 0}, L"c\r\n", &end), 0);  // the split keeps both parts short
  EXPECT_EQ(text.LineCount(), 2);
  EXPECT_EQ(text.LineLength(1), CEditorText::MaxLineLength);
}

TEST(EditorUndoTest, BookmarksFollowChanges) {
  CEditorText text;
  SetText(text, L"zero\r\none two\r\nlast");
  text.Bookmarks()[0] = {4, 1};  // "two"
  text.Bookmarks()[1] = {2, 2};  // "st"
  text.Bookmarks()[2] = {1, 0};  // before the change: stays
  Change(text, {0, 1}, {0, 1}, L"new\r\nline ");
  EXPECT_EQ(text.Bookmarks()[0].line, 2);
  EXPECT_EQ(text.Bookmarks()[0].position, 9);
  EXPECT_EQ(text.Bookmarks()[1].line, 3);
  EXPECT_EQ(text.Bookmarks()[2].line, 0);
  Change(text, {3, 0}, {3, 2}, L"");  // "zer" joined with "line one two"
  EXPECT_EQ(text.Bookmarks()[0].line, 0);
  EXPECT_EQ(text.Bookmarks()[0].position, 9);
  EXPECT_EQ(text.Bookmarks()[1].line, 1);
}

TEST(EditorUndoTest, ReopeningRestoresViewBookmarksAndHistory) {
  dialogtest::ResetScreen();
  TTempDirectory dir("vk-edundo");
  std::string many;
  for (int i = 0; i < 100; ++i) many += "line " + std::to_string(i) + "\n";
  WriteBytes(dir / "f", many);
  {
    CEditorText text;
    ASSERT_TRUE(LoadFile(text, dir / "f"));
    Change(text, {0, 60}, {4, 60}, L"LINE");
    ASSERT_EQ(text.Save(text.FileName()), 0);
    text.MoveCursorTo({2, 70});
    text.Bookmarks()[5] = {1, 50};
    text.StoreStatus();
  }
  CEditorText text;
  ASSERT_TRUE(LoadFile(text, dir / "f"));
  EXPECT_EQ(text.CursorPos(), (TTextPos{2, 70}));
  EXPECT_EQ(text.Bookmarks()[5].line, 50);
  EXPECT_FALSE(text.Flags().modified);
  ASSERT_TRUE(text.Undo());  // moves to the change
  ASSERT_TRUE(text.Undo());
  EXPECT_EQ(Westring(text.LineText(60)), L"line 60");
  EXPECT_TRUE(text.Flags().modified);
}

}  // namespace
