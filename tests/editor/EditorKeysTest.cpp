// The editor driven key by key on real files: movement, typing and line
// changes, blocks and the clipboard, search, replace and quitting, read back
// as the text, the cursor and the cell grid.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "config/Settings.h"
#include "dialogs/Look.h"
#include "editor/Editor.h"
#include "foundation/SysCalls.h"
#include "tests/TempDirectory.h"
#include "tests/dialogs/DialogTestUtil.h"
#include "tests/editor/EditorTestUtil.h"
#include "viewer/FileStatusStore.h"
#include "viewer/ViewerDialogs.h"
#include "viewer/ViewerSession.h"

using namespace dialogtest;
using namespace editortest;
using namespace VKEditor;

namespace {

class EditorKeysTest : public ScreenTest {
 protected:
  void SetUp() override {
    ScreenTest::SetUp();
    g_settings.autoIndent = false;
    g_settings.overStrike = false;
    g_settings.briefWordRight = false;
    g_settings.tabWidth = 8;
    g_settings.indentWidth = 2;
    FileStatuses().Clear();
    ViewerSession().search = TViewerSearch();
    EditorClipboard().clear();
  }
  void TearDown() override { FileStatuses().Clear(); }

  // A fresh editor on a file holding bytes, the cursor at start.
  void Start(const std::string& bytes, TTextPos start = {0, 0}) {
    m_path = m_dir / "text.txt";
    WriteBytes(m_path, bytes);
    g_settings.autoIndent = g_settings.overStrike = false;
    m_editor = std::make_unique<CEditor>();
    ASSERT_EQ(m_editor->Open(Westring::FromUtf8(m_path.c_str())), 0);
    Text().MoveCursorTo(start);
    m_editor->Draw();
  }
  void Keys(std::initializer_list<uint32_t> keys) {
    for (uint32_t key : keys) EXPECT_TRUE(m_editor->HandleKey(key)) << std::hex << key;
  }
  void Type(const wchar_t* text) {
    for (; *text; ++text) Keys({static_cast<uint32_t>(*text)});
  }
  CEditorText& Text() { return m_editor->Text(); }
  static std::string Row(int row) {
    Westring text;
    for (char32_t ch : ScreenText(0, row, Con().Columns())) text += static_cast<wchar_t>(ch);
    text.TrimRight();
    return text.ToUtf8().c_str();
  }

  TTempDirectory m_dir{"vk-editor-keys"};
  std::string m_path;
  std::unique_ptr<CEditor> m_editor;
};

std::string Pos(TTextPos pos) { return std::to_string(pos.index) + "," + std::to_string(pos.line); }

struct TKeyCase {
  const char* what;
  const char* text;
  TTextPos start;
  std::vector<uint32_t> keys;
  const char* after;  // lines joined by "|"; null: the text as it was
  TTextPos cursor;
};

}  // namespace

// Each row starts a fresh editor; the text and the cursor afterwards count.
#define RUN_KEY_CASES(cases)                                           \
  for (const TKeyCase& c : cases) {                                    \
    SCOPED_TRACE(c.what);                                              \
    Start(c.text, c.start);                                            \
    const std::string before = Lines(Text());                          \
    for (uint32_t key : c.keys) EXPECT_TRUE(m_editor->HandleKey(key)); \
    EXPECT_EQ(Lines(Text()), c.after ? std::string(c.after) : before); \
    EXPECT_EQ(Pos(Text().CursorPos()), Pos(c.cursor));                 \
  }

TEST_F(EditorKeysTest, Movement) {
  const std::vector<TKeyCase> cases = {
      {"Right over a tab", "ab\tc", {2, 0}, {Key::Right}, nullptr, {3, 0}},
      {"Right at a line end", "ab\ncd", {2, 0}, {Key::Right}, nullptr, {0, 1}},
      {"Left at a line start", "ab\ncd", {0, 1}, {Key::Left}, nullptr, {2, 0}},
      {"Ctrl-Right to the next word", "foo bar", {0, 0}, {Key::CtrlRight}, nullptr, {4, 0}},
      {"Ctrl-Right off the line end", "foo bar\nx", {4, 0}, {Key::CtrlRight}, nullptr, {0, 1}},
      {"Ctrl-Right at the line end", "ab\ncd", {2, 0}, {Key::CtrlRight}, nullptr, {0, 1}},
      {"Ctrl-Left over blanks", "foo bar baz", {8, 0}, {Key::CtrlLeft}, nullptr, {4, 0}},
      {"Ctrl-Left at column 0", "ab\ncd", {0, 1}, {Key::CtrlLeft}, nullptr, {2, 0}},
      {"Ctrl-keypad-6 is Ctrl-Right", "foo bar", {0, 0}, {Key::CtrlKeypad0 + 6}, nullptr, {4, 0}},
      {"the column carries", "abcdef\nab\nabcdef", {5, 0}, {Key::Down, Key::Down}, nullptr, {5, 2}},
      {"Ctrl-PgDn", "a\nb\nlast", {0, 0}, {Key::CtrlPageDown}, nullptr, {4, 2}},
      {"PgDn in a short file", "a\nb\nc", {0, 0}, {Key::PageDown}, nullptr, {0, 2}},
      {"only parentheses count", "(a[b)c]", {0, 0}, {Key::AltM}, nullptr, {4, 0}},
      {"a closing bracket looks back", "(a[b)c]", {6, 0}, {Key::AltLeftBracket}, nullptr, {2, 0}},
      {"brackets across empty lines", "{ {\n\n} x }", {0, 0}, {Key::AltM}, nullptr, {4, 2}},
      {"a bracket without partner", "(ab", {0, 0}, {Key::AltM}, nullptr, {0, 0}},
  };
  RUN_KEY_CASES(cases);

  g_settings.briefWordRight = true;
  const std::vector<TKeyCase> brief = {
      {"BriefWordRight: to the word's end", "foo bar", {0, 0}, {Key::CtrlRight}, nullptr, {3, 0}},
      {"from blanks to the next word's end", "foo bar", {3, 0}, {Key::CtrlRight}, nullptr, {7, 0}},
      {"and on the line", "foo\nbar", {0, 0}, {Key::CtrlRight, Key::CtrlRight}, nullptr, {0, 1}},
  };
  RUN_KEY_CASES(brief);
}

TEST_F(EditorKeysTest, TabsAndScrollingOnScreen) {
  Start("ab\tX\n" + std::string(200, 'y') + "\n");
  EXPECT_EQ(Row(1), "ab      X");
  Keys({Key::Right, Key::Right});
  EXPECT_EQ(Text().View().cursorColumn, 2);
  Keys({Key::Right});
  EXPECT_EQ(Text().View().cursorColumn, 8) << "a tab is passed in one step";
  Keys({Key::Alt4});
  EXPECT_EQ(Row(1), "ab  X");
  EXPECT_EQ(Text().View().cursorColumn, 4);

  // Sideways in steps of four, back to 0 once little of the line shows.
  Keys({Key::Down, Key::End});
  const int width = Con().Columns();
  const int left = Text().View().leftColumn;
  EXPECT_EQ(left % 4, 0);
  EXPECT_LT(200 - left, width);
  EXPECT_GE(200 - left, width - 4);
  EXPECT_EQ(Text().View().cursorColumn, 200 - left);
  Keys({Key::Up});
  EXPECT_EQ(Text().View().leftColumn, 0) << "a short line scrolls back into view";
}

TEST_F(EditorKeysTest, StatusLine) {
  Start("AB\r\n");
  const std::string status = Row(0);
  EXPECT_EQ(status.rfind("Edit: ", 0), 0u) << status;
  EXPECT_NE(status.find("text.txt"), std::string::npos);
  EXPECT_NE(status.find("Line 1     Col 1     65 x41"), std::string::npos) << status;
  EXPECT_NE(status.find("UTF-8"), std::string::npos);
  EXPECT_EQ(status.substr(status.find("Line 1") - 5, 4), "    ") << "CR LF line ends, no flags";

  Keys({Key::End, Key::AltU, Key::AltI, Key::CtrlQ});
  const std::string flags = Row(0);
  EXPECT_NE(flags.find(" UI*\" Line 1     Col 3    EOL"), std::string::npos) << flags;
  Keys({Key::ModifierChange, Key::CtrlA});
  EXPECT_EQ(Lines(Text()), "AB\x01|");
  EXPECT_FALSE(m_editor->Literal());
  EXPECT_NE(Row(0).find("Col 4"), std::string::npos);
}

TEST_F(EditorKeysTest, TypingAndLineChanges) {
  using namespace Key;
  const std::vector<TKeyCase> cases = {
      {"a character", "abc", {1, 0}, {'x'}, "axbc", {2, 0}},
      {"overstrike", "abc", {1, 0}, {Insert, 'x', 'y', 'z', Insert}, "axyz", {4, 0}},
      {"grey keys type", "", {0, 0}, {GreyPlus, GreyMinus, GreyTimes}, "+-*", {3, 0}},
      {"Tab types a tab", "ab", {1, 0}, {Tab}, "a\tb", {2, 0}},
      {"Ctrl-Q takes Enter literally", "ab", {1, 0}, {CtrlQ, Enter}, "a\rb", {2, 0}},
      {"Enter without auto-indent", "  ab  cd", {4, 0}, {Enter}, "  ab|  cd", {0, 1}},
      {"auto-indent", "\t foo   bar", {5, 0}, {AltI, Enter}, "\t foo|\t bar", {2, 1}},
      {"indent from above", "\tx\n   y", {1, 1}, {AltI, Enter}, "\tx| |\ty", {1, 2}},
      {"Alt-Enter opens a line below", "  abc\nz", {1, 0}, {AltI, AltEnter}, "  abc|  |z", {2, 1}},
      {"BackSpace", "abc", {2, 0}, {BackSpace}, "ac", {1, 0}},
      {"BackSpace at column 0 joins", "ab\ncd", {0, 1}, {BackSpace}, "abcd", {2, 0}},
      {"Del", "abc", {0, 0}, {Delete}, "bc", {0, 0}},
      {"Del at the line end joins", "ab\ncd", {2, 0}, {Delete}, "abcd", {2, 0}},
      {"Ctrl-Del a word", "foo bar", {0, 0}, {CtrlDelete}, "bar", {0, 0}},
      {"Ctrl-Del at the line end joins", "ab\ncd", {2, 0}, {CtrlDelete}, "abcd", {2, 0}},
      {"Ctrl-Y a middle line", "a\nbc\nd", {1, 1}, {CtrlY}, "a|d", {0, 1}},
      {"Ctrl-Y empties the last line", "a\nbc", {2, 1}, {CtrlY}, "a|", {0, 1}},
      {"undo, redo",
       "ab",
       {2, 0},
       {'c', 'd', AltBackSpace, AltBackSpace, ShiftAltBackSpace},
       "abc",
       {3, 0}},
  };
  RUN_KEY_CASES(cases);
  EXPECT_TRUE(Text().Flags().modified);
  Keys({Key::AltBackSpace});
  EXPECT_EQ(Lines(Text()), "ab");
  EXPECT_FALSE(Text().Flags().modified) << "undone back to the text on disk";
}

TEST_F(EditorKeysTest, IndentingBlocksAndLines) {
  using namespace Key;
  const std::vector<TKeyCase> cases = {
      {"Alt-Right on a block",
       "a\n\tb\nc",
       {0, 0},
       {ShiftDown, ShiftDown, AltRight},
       "  a|          b|c",
       {0, 2}},
      {"Tab on a block of lines", "a\nb\nc", {0, 0}, {ShiftDown, Tab}, "  a|b|c", {0, 1}},
      {"Alt-Left on the current line", "    a", {4, 0}, {AltLeft}, "  a", {2, 0}},
      {"Shift-Tab on the current line", "   a", {3, 0}, {ShiftTab}, " a", {1, 0}},
      {"not below column 0", "a\n b\nc", {0, 0}, {ShiftDown, ShiftDown, AltLeft}, nullptr, {0, 2}},
      {"a change drops the block",
       "a\nb\nc",
       {0, 0},
       {ShiftDown, ShiftDown, 'x', AltRight},
       "a|b|  xc",
       {3, 2}},
      {"blank lines stay", "  \nx", {0, 0}, {AltRight}, nullptr, {0, 0}},
  };
  RUN_KEY_CASES(cases);
  Start("a\nb\nc");
  Keys({Key::ShiftDown, Key::ShiftDown, Key::AltRight, Key::AltRight});
  EXPECT_EQ(Lines(Text()), "    a|    b|c") << "the block stays for the next step";
  Keys({Key::AltBackSpace});
  EXPECT_EQ(Lines(Text()), "  a|  b|c") << "one step is one undo";
}

TEST_F(EditorKeysTest, BlocksAndTheClipboard) {
  Start("one\ntwo\nthree");
  Keys({Key::ShiftRight, Key::ModifierChange, Key::ModifierChange, Key::ShiftRight});
  EXPECT_TRUE(Text().Block().present);
  EXPECT_EQ(AttrAt(0, 1), Colour(ColourClass::Highlight));
  EXPECT_EQ(AttrAt(2, 1), Colour(ColourClass::FileViewer));
  Keys({Key::CtrlC, Key::CtrlPageDown, Key::CtrlV});
  EXPECT_EQ(Lines(Text()), "one|two|threeon");
  EXPECT_EQ(EditorClipboard(), std::vector<Westring>{Westring(L"on")});

  // A line marked with Shift-Down, cut, pasted elsewhere; undo takes the paste back.
  Start("one\ntwo\nthree");
  Keys({Key::Down, Key::ShiftDown, Key::F4});
  EXPECT_EQ(Lines(Text()), "one|three");
  EXPECT_EQ(g_console->PasteFromClipboard(), Westring(L"two\r\n"))
      << "the desktop gets CR LF lines";
  Keys({Key::CtrlPageUp, Key::ShiftInsert});
  EXPECT_EQ(Lines(Text()), "two|one|three");
  EXPECT_EQ(Pos(Text().CursorPos()), "0,1");
  Keys({Key::AltBackSpace});
  EXPECT_EQ(Lines(Text()), "one|three");

  // Text the desktop offers is pasted as lines; Ctrl-Del leaves the clipboard.
  g_console->CopyToClipboard(Westring(L"x\r\ny"));
  Keys({Key::CtrlPageUp, Key::End, Key::F6});
  EXPECT_EQ(Lines(Text()), "onex|y|three");
  Keys({Key::ShiftLeft, Key::CtrlDelete});
  EXPECT_EQ(Lines(Text()), "onex||three");
  EXPECT_EQ(EditorClipboard().size(), 2u);

  // Copy and cut without a block do nothing; a paste past the line limit is refused.
  Start(std::string(CEditorText::MaxLineLength - 2, 'a'));
  Keys({Key::F5, Key::CtrlX});
  EXPECT_EQ(Text().LineLength(0), CEditorText::MaxLineLength - 2);
  g_console->CopyToClipboard(Westring(L"bbb"));
  Keys({Key::CtrlV});
  EXPECT_EQ(Text().LineLength(0), CEditorText::MaxLineLength - 2);
  EXPECT_FALSE(Text().Flags().modified);

  // The mouse: a click places the cursor, a drag marks.
  Start("hello world\nsecond");
  TMouseRecord press;
  press.action = TMouseRecord::LeftPress;
  press.column = 6;
  press.row = 1;
  EXPECT_TRUE(m_editor->HandleKey(Key::Mouse, press));
  EXPECT_EQ(Pos(Text().CursorPos()), "6,0");
  TMouseRecord drag = press;
  drag.action = TMouseRecord::LeftDrag;
  drag.column = 3;
  drag.row = 2;
  EXPECT_TRUE(m_editor->HandleKey(Key::Mouse, drag));
  EXPECT_EQ(Pos(Text().Block().start), "6,0");
  EXPECT_EQ(Pos(Text().Block().end), "3,1");

  // Held on the status line, the button moves up until the next event.
  PostMouse(TConsoleEvent::Release, 1, 0, 0);
  TMouseRecord above = press;
  above.row = 0;
  EXPECT_TRUE(m_editor->HandleKey(Key::Mouse, above));
  EXPECT_EQ(Text().CursorPos().line, 0);
}

TEST_F(EditorKeysTest, TheStatusIsKeptUnlessDiscarded) {
  Start("one\ntwo\nthree");
  PostKeys({Key::Down, Key::Right, Key::Esc});
  EXPECT_EQ(m_editor->Run(), EditorExit::Unchanged);
  CEditor again;
  ASSERT_EQ(again.Open(Westring::FromUtf8(m_path.c_str())), 0);
  EXPECT_EQ(Pos(again.Text().CursorPos()), "1,1") << "reopened where it was left";

  FileStatuses().Clear();
  Start("one");
  PostKeys({'x', Key::Esc, 'd'});
  EXPECT_EQ(m_editor->Run(), EditorExit::Discarded);
  EXPECT_EQ(FileStatuses().Find(Westring::FromUtf8(m_path.c_str())), nullptr);
}

TEST_F(EditorKeysTest, BookmarksFollowChanges) {
  Start("alpha\nbeta\ngamma");
  Keys({Key::Down, Key::Right, Key::Ctrl0 + 3 + Key::ShiftFlag, Key::CtrlPageUp, Key::Enter});
  Keys({Key::CtrlPageDown, Key::Ctrl0 + 3});
  EXPECT_EQ(Pos(Text().CursorPos()), "1,2") << "the bookmark moved down with its line";
  Keys({Key::Ctrl0 + 4});
  EXPECT_EQ(Pos(Text().CursorPos()), "1,2") << "an unset bookmark goes nowhere";
}

TEST_F(EditorKeysTest, Search) {
  Start("a Bar\nbarn bar\nend bar");
  PostText(L"bar");
  PostKey(Key::Enter);
  Keys({Key::F7});
  EXPECT_EQ(Pos(Text().CursorPos()), "2,0") << "case folded";
  EXPECT_EQ(Pos(Text().Block().end), "5,0");
  Keys({Key::ShiftF7});
  EXPECT_EQ(Pos(Text().CursorPos()), "0,1");
  Keys({Key::AltF7});
  EXPECT_EQ(Pos(Text().CursorPos()), "2,0") << "Alt-F7 turns back";

  // Whole words with the dialog's check box, from the top.
  Keys({Key::CtrlPageUp});
  PostKeys({Key::Tab, Key::Tab, Key::Tab, Key::Space, Key::Enter});
  Keys({Key::F7});
  EXPECT_EQ(Pos(Text().CursorPos()), "2,0");
  Keys({Key::ShiftF7});
  EXPECT_EQ(Pos(Text().CursorPos()), "5,1") << "barn is not the whole word";
  EXPECT_TRUE(ViewerSession().search.wholeWord);

  // Alt-. on a word finds it again as a whole word, the options unchanged.
  ViewerSession().search.wholeWord = false;
  Start("end x endless end");
  Keys({Key::AltPeriod});
  EXPECT_EQ(Pos(Text().CursorPos()), "14,0");
  Keys({Key::AltComma});
  EXPECT_EQ(Pos(Text().CursorPos()), "0,0");
  EXPECT_FALSE(ViewerSession().search.wholeWord);

  TBoxWatcher notFound("String not found", {Key::Enter});
  ViewerSession().search.text = Westring(L"zzz");
  Keys({Key::ShiftF7});
  EXPECT_TRUE(notFound.seen);
  EXPECT_EQ(Pos(Text().CursorPos()), "0,0");
}

TEST_F(EditorKeysTest, Replace) {
  // "a" by "aa" to the end: each search resumes after the inserted text.
  Start("a a\na");
  PostText(L"a");
  PostKey(Key::Tab);
  PostText(L"aa");
  PostKeys({Key::Enter, 'a'});
  {
    TBoxWatcher done("3 replacements", {Key::Enter});
    Keys({Key::F8});
    EXPECT_TRUE(done.seen);
  }
  EXPECT_EQ(Lines(Text()), "aa aa|aa");
  EXPECT_EQ(Text().UndoItems().Count(), 3);

  // Replace, Skip, Replace, then Cancel; each replacement one undo.
  Start("x x x x");
  ViewerSession().search.text = Westring(L"x");
  PostKey(Key::Tab);
  PostText(L"y");
  PostKeys({Key::Enter, 'r', 's', 'r', Key::Esc});
  {
    TBoxWatcher done("2 replacements", {Key::Enter});
    Keys({Key::F8});
    EXPECT_TRUE(done.seen);
  }
  EXPECT_EQ(Lines(Text()), "y x y x");
  Keys({Key::AltBackSpace, Key::AltBackSpace});
  EXPECT_EQ(Lines(Text()), "y x x x");
}

TEST_F(EditorKeysTest, Quitting) {
  Start("abc");
  EXPECT_FALSE(m_editor->HandleKey(Key::Esc)) << "no changes: closes at once";

  Start("abc");
  Keys({'x'});
  {
    TBoxWatcher asked("There are unsaved changes", {'e'});
    EXPECT_TRUE(m_editor->HandleKey(Key::F10)) << "Edit goes on editing";
    EXPECT_TRUE(asked.seen);
  }
  PostKey('d');
  EXPECT_FALSE(m_editor->HandleKey(Key::Esc));
  EXPECT_EQ(ReadBytes(m_path), "abc") << "discarded";

  Start("abc");
  Keys({'x'});
  PostKey(Key::Enter);  // Save is the default
  EXPECT_FALSE(m_editor->HandleKey(Key::Esc));
  EXPECT_EQ(ReadBytes(m_path), "xabc");

  // A new file is offered to be created, then Save, Discard and Edit.
  const std::string fresh = m_dir / "new.txt";
  CEditor editor;
  PostKey(Key::Enter);
  ASSERT_EQ(editor.Open(Westring::FromUtf8(fresh.c_str())), 0);
  EXPECT_TRUE(editor.Text().Flags().newFile);
  TBoxWatcher asked("Discard", {'d'});
  EXPECT_FALSE(editor.HandleKey(Key::Esc));
  EXPECT_TRUE(asked.seen);
  EXPECT_FALSE(Sys::Exists(Westring::FromUtf8(fresh.c_str())));
}

TEST_F(EditorKeysTest, PagesScreenEdgesAndGotoLine) {
  std::string lines;
  for (int i = 1; i <= 100; ++i) lines += "line " + std::to_string(i) + "\n";
  Start(lines);
  const int rows = Con().Lines() - 2;
  Keys({Key::PageDown});
  EXPECT_EQ(Text().CursorPos().line, rows);
  EXPECT_EQ(Row(1), "line " + std::to_string(rows + 1));
  Keys({Key::CtrlEnd});
  EXPECT_EQ(Pos(Text().CursorPos()),
            std::to_string(Row(rows).size()) + "," + std::to_string(2 * rows - 1));
  Keys({Key::Down});
  EXPECT_EQ(Row(1), "line " + std::to_string(rows + 2)) << "the view scrolls by one row";
  Keys({Key::CtrlHome});
  EXPECT_EQ(Pos(Text().CursorPos()), "0," + std::to_string(rows + 1));
  Keys({Key::PageUp, Key::PageUp});
  EXPECT_EQ(Pos(Text().CursorPos()), "0,0");
  EXPECT_EQ(Row(1), "line 1");

  TBoxWatcher prompt("1-101", {'5', '0', Key::Enter});
  Keys({Key::AltL});
  EXPECT_TRUE(prompt.seen) << "the prompt gives the valid range";
  EXPECT_EQ(Text().CursorPos().line, 49);
  EXPECT_EQ(Row(Text().View().cursorRow + 1), "line 50");
}

TEST_F(EditorKeysTest, CodePagesReloadOrConvert) {
  g_settings.translateCp = "1251,866";
  ViewerSession().codePageCursor = 0;
  Start("\xd0\xb0\xd0\xb1\n");
  Keys({'x'});
  PostKeys({Key::Enter, Key::Esc});  // the list as it is; keep the changes
  Keys({Key::AltC});
  EXPECT_EQ(Text().Format().encoding, EncodingUtf8) << "a refused reload keeps the encoding";
  EXPECT_EQ(ViewerSession().codePageCursor, 0);
  EXPECT_EQ(Lines(Text()), "x\xd0\xb0\xd0\xb1|");

  Keys({Key::AltBackSpace});
  PostKey(Key::Enter);
  Keys({Key::AltC});
  EXPECT_EQ(Text().Format().encoding, EncodingCodePage);
  EXPECT_EQ(Lines(Text()), "\xd0\xa0\xc2\xb0\xd0\xa0\xc2\xb1|")
      << "the bytes read again in code page 1251";
  EXPECT_NE(Row(0).find("CP1251"), std::string::npos);
  EXPECT_FALSE(Text().Flags().modified);

  Keys({Key::AltT});
  EXPECT_EQ(Text().Format().codePage, 866);
  EXPECT_EQ(Lines(Text()), "\xe2\x95\xa8\xe2\x96\x91\xe2\x95\xa8\xe2\x96\x92|")
      << "converted in memory";
  EXPECT_TRUE(Text().Flags().modified);
}

TEST_F(EditorKeysTest, SyntaxColoursFollowTheText) {
  m_path = m_dir / "comment.c";
  std::string source = "/* a comment opened here\n";
  for (int i = 0; i < 1200; ++i) source += "inside\n";
  source += "*/\nplain\n";
  WriteBytes(m_path, source);
  m_editor = std::make_unique<CEditor>();
  ASSERT_EQ(m_editor->Open(Westring::FromUtf8(m_path.c_str())), 0);
  m_editor->Draw();
  ASSERT_TRUE(m_editor->SyntaxOn());
  const uint8_t comment = AttrAt(0, 2);
  EXPECT_NE(comment, Colour(ColourClass::FileViewer));

  // Paging down, each top line's colouring goes on from the one before,
  // however far the comment started.
  while (Text().View().topLine + Con().Lines() - 2 < 1203) Keys({Key::PageDown});
  const int closing = 1201 - Text().View().topLine + 1;
  EXPECT_EQ(Row(closing), "*/");
  EXPECT_EQ(AttrAt(0, closing - 1), comment);
  EXPECT_EQ(AttrAt(0, closing + 1), Colour(ColourClass::FileViewer));

  // Closing the comment early changes the colours below it.
  Keys({Key::CtrlPageUp, Key::Down});
  Type(L"*/");
  EXPECT_EQ(AttrAt(3, 3), Colour(ColourClass::FileViewer));
  Keys({Key::AltH});
  EXPECT_FALSE(m_editor->SyntaxOn());
  EXPECT_EQ(AttrAt(0, 1), Colour(ColourClass::FileViewer));
}

TEST_F(EditorKeysTest, EncodingDialogReloadsOrConverts) {
  Start("ab\n");
  PostKeys({Key::AltC, Key::Enter});
  Keys({Key::AltE});
  EXPECT_EQ(Text().Format().encoding, EncodingCodePage);
  EXPECT_EQ(Lines(Text()), "ab|");
  EXPECT_FALSE(Text().Flags().modified) << "an unchanged text is read again";

  Keys({'x'});
  {
    TBoxWatcher reload("discard changes", {Key::Esc});
    PostKeys({Key::AltP});
    PostText(L"866");
    PostKey(Key::Enter);
    Keys({Key::AltE});
    EXPECT_FALSE(reload.seen) << "between code pages the text is converted, not read again";
  }
  EXPECT_EQ(Text().Format().codePage, 866);
  EXPECT_EQ(Lines(Text()), "xab|");

  PostKeys({Key::Alt8, Key::Enter, Key::Esc});  // UTF-8, then keep the changes
  Keys({Key::AltE});
  EXPECT_EQ(Text().Format().encoding, EncodingCodePage);
  EXPECT_EQ(Text().Format().codePage, 866);
}
