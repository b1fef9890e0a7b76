// The viewer on real files, driven key by key, read back from the cell grid.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "config/Settings.h"
#include "dialogs/Look.h"
#include "tests/TempDirectory.h"
#include "tests/dialogs/DialogTestUtil.h"
#include "viewer/FileStatusStore.h"
#include "viewer/FileViewer.h"
#include "viewer/ViewerSession.h"

using namespace dialogtest;

namespace {

class FileViewerTest : public ScreenTest {
 protected:
  void SetUp() override {
    ScreenTest::SetUp();
    g_settings.viewerWrap = false;
    g_settings.tabWidth = 8;
    FileStatuses().Clear();
    ViewerSession() = TViewerSession();
  }
  std::string Write(const std::string& leaf, const std::string& bytes, bool append = false) {
    const std::string path = m_dir / leaf;
    std::ofstream(path, std::ios::binary | (append ? std::ios::app : std::ios::trunc)) << bytes;
    return path;
  }
  void Open(const std::string& path) {
    ASSERT_EQ(m_viewer.Open(Westring::FromUtf8(path.c_str())), 0);
    m_viewer.Draw();
  }
  void Keys(std::initializer_list<uint32_t> keys) {
    for (uint32_t key : keys) EXPECT_TRUE(m_viewer.HandleKey(key));
  }
  static std::string Row(int row) {
    Westring text;
    for (char32_t ch : ScreenText(0, row, Con().Columns())) text += static_cast<wchar_t>(ch);
    text.TrimRight();
    return text.ToUtf8().c_str();
  }
  static int Rows() { return Con().Lines() - 2; }

  TTempDirectory m_dir{"vk-viewer"};
  FileViewer m_viewer;
};

std::string NumberedLines(int count) {
  std::string text;
  for (int i = 1; i <= count; ++i) text += "line " + std::to_string(i) + "\n";
  return text;
}

}  // namespace

TEST_F(FileViewerTest, MovesByRowsPagesAndToBothEnds) {
  Open(Write("lines.txt", NumberedLines(100)));
  EXPECT_EQ(Row(1), "line 1");
  EXPECT_NE(Row(0).find("UTF-8"), std::string::npos);
  EXPECT_NE(Row(Con().Lines() - 1).find("2Wrap"), std::string::npos);
  Keys({Key::Down, Key::Down});
  EXPECT_EQ(Row(1), "line 3");
  Keys({Key::Up});
  EXPECT_EQ(Row(1), "line 2");
  Keys({Key::PageDown});
  EXPECT_EQ(Row(1), "line " + std::to_string(1 + Rows()));
  Keys({Key::End});
  EXPECT_EQ(Row(Rows()), "line 100");
  EXPECT_EQ(Row(1), "line " + std::to_string(101 - Rows()));
  EXPECT_NE(Row(0).find("100.00%"), std::string::npos);
  Keys({Key::Down, Key::PageDown});
  EXPECT_EQ(Row(Rows()), "line 100") << "nothing moves once the end shows";
  Keys({Key::Home, Key::PageUp});
  EXPECT_EQ(Row(1), "line 1");
  TMouseRecord mouse;
  mouse.action = TMouseRecord::Wheel;
  mouse.wheelDelta = -1;
  EXPECT_TRUE(m_viewer.HandleKey(Key::Mouse, mouse));
  EXPECT_EQ(Row(1), "line 4") << "the wheel moves three rows";
  PostKey('x');  // the next event ends a held button's repeating
  mouse.action = TMouseRecord::RightPress;
  mouse.row = Rows();
  EXPECT_TRUE(m_viewer.HandleKey(Key::Mouse, mouse));
  EXPECT_EQ(Row(1), "line " + std::to_string(3 + Rows())) << "the right button low on the text pages down";
  ResetScreen();
  Keys({Key::Home});
  EXPECT_NE(Row(0).find(" 22.09%"), std::string::npos) << "175 of 792 bytes shown";
}

TEST_F(FileViewerTest, HexRowsFollowTheTopOffsetAndTextRealignsOnLeaving) {
  Open(Write("hex.txt", "abcdefghijklmnopqrstuvwxyz\n" + NumberedLines(30)));
  Keys({Key::Down, Key::F4});
  EXPECT_EQ(Row(1).substr(0, 9), "0000001B ");
  Keys({Key::Up});
  EXPECT_EQ(Row(1), "0000000B 6C 6D 6E 6F \u2502 70 71 72 73 \u2502 74 75 76 77 \u2502 78 79 7A 0A"
                    "  lmnopqrstuvwxyz\u25D9") << "a line feed shows as its picture";
  Keys({Key::Up, Key::Right});
  EXPECT_EQ(Row(1).substr(0, 9), "00000001 ") << "Up below 16 goes to 0, Right one byte on";
  EXPECT_NE(Row(Con().Lines() - 1).find("4ASCII"), std::string::npos);
  Keys({Key::F4});
  EXPECT_EQ(m_viewer.Top(), 0) << "back to the start of the line the offset was in";
  EXPECT_EQ(Row(1), "abcdefghijklmnopqrstuvwxyz");
}

TEST_F(FileViewerTest, LongLinesScrollSidewaysOrWrap) {
  const std::string longLine = std::string(102, 'x') + "END\tz";
  Open(Write("long.txt", longLine + "\nnext\n" + NumberedLines(30)));
  const int width = Con().Columns();
  EXPECT_EQ(Con().CellAt(width - 1, 1).ch, 0x00BBu) << "the line goes on past the edge";
  Keys({Key::Right, Key::Right, Key::Right, Key::Right, Key::Right, Key::Right, Key::Right});
  EXPECT_EQ(m_viewer.Scroll(), 28);
  EXPECT_EQ(Row(1).substr(74, 3), "END");
  Keys({Key::Left, Key::Ctrl0 + 4});
  EXPECT_EQ(m_viewer.Scroll(), 0) << "never below 0";
  Keys({Key::F2});
  EXPECT_EQ(Row(1), std::string(width, 'x'));
  EXPECT_EQ(Row(2), std::string(102 - width, 'x') + "END       z") << "the tab reaches cell 112";
  EXPECT_EQ(Row(3), "next");
  EXPECT_NE(Row(Con().Lines() - 1).find("2Unwrap"), std::string::npos);
  Keys({Key::Down});
  EXPECT_EQ(m_viewer.WrapColumn(), width);
  Keys({Key::Alt4});
  EXPECT_EQ(Row(1), std::string(102 - width, 'x') + "END   z");
}

TEST_F(FileViewerTest, SearchFindsRevealsAndReportsMisses) {
  Open(Write("search.txt", NumberedLines(60) + std::string(90, '-') + " needle\n" + NumberedLines(5)));
  PostText(L"needle");
  PostKey(Key::Enter);
  Keys({Key::F7});
  EXPECT_EQ(m_viewer.Top(), 63 + 47 * 8) << "line 57: four lines of context above the match";
  EXPECT_EQ(Row(5).substr(0, 3), "---");
  const int column = 91 - m_viewer.Scroll();
  EXPECT_EQ(AttrAt(column, 5), Colour(ColourClass::Highlight));
  EXPECT_GT(m_viewer.Scroll(), 0) << "scrolled until the whole match shows";
  {
    TBoxWatcher box("String not found", {Key::Enter});
    Keys({Key::ShiftF7});
    EXPECT_TRUE(box.seen);
  }
  ViewerSession().search.text = L"line 3";
  ViewerSession().search.wholeWord = true;
  Keys({Key::ShiftF7});
  EXPECT_EQ(m_viewer.LastMatch(), 471 + 98 + 14) << "on from the last match";
  Keys({Key::AltF7});
  EXPECT_EQ(m_viewer.LastMatch(), 14) << "backwards, and \"line 30\" is no whole word";
}

TEST_F(FileViewerTest, GoToLineAndOffsetAndTheirLimits) {
  Open(Write("goto.txt", NumberedLines(40)));
  PostText(L"30");
  PostKey(Key::Enter);
  Keys({Key::AltL});
  EXPECT_EQ(Row(1), "line 30");
  {
    TBoxWatcher box("Only 40 lines in this file", {Key::Enter});
    PostText(L"41");
    PostKey(Key::Enter);
    Keys({Key::AltL});
    EXPECT_TRUE(box.seen);
  }
  EXPECT_EQ(Row(1), "line 30");
  PostText(L"1c");
  PostKey(Key::Enter);
  Keys({Key::AltO});
  EXPECT_EQ(Row(1), "line 5") << "offset 28 lies in the fifth line";
  EXPECT_EQ(m_viewer.LastMatch(), 0x1c);
  {
    TBoxWatcher box("Only 0 bytes in this file", {Key::Enter});
    FileViewer empty;
    ASSERT_EQ(empty.Open(Westring::FromUtf8(Write("empty", "").c_str())), 0);
    empty.Draw();
    EXPECT_NE(Row(0).find("100.00%"), std::string::npos);
    PostText(L"0");
    PostKey(Key::Enter);
    EXPECT_TRUE(empty.HandleKey(Key::AltO));
    EXPECT_TRUE(box.seen);
  }
}

TEST_F(FileViewerTest, FollowAndRereadSeeTheFileGrowAndShrink) {
  const std::string path = Write("grow.log", NumberedLines(3));
  Open(path);
  Write("grow.log", "appended\n", true);
  Keys({Key::AltF});
  EXPECT_TRUE(m_viewer.Following());
  EXPECT_EQ(Row(4), "appended");
  EXPECT_NE(Row(Con().Lines() - 1).find("Follow Mode ON - ESC to cancel"), std::string::npos);
  Keys({Key::Esc});
  EXPECT_FALSE(m_viewer.Following()) << "Esc ends follow mode, not the viewer";
  ASSERT_EQ(truncate(path.c_str(), 7), 0);
  Keys({Key::CtrlL});
  EXPECT_EQ(Row(1), "line 1");
  EXPECT_EQ(Row(2), "");
  EXPECT_FALSE(m_viewer.HandleKey(Key::Esc));
  EXPECT_EQ(m_viewer.ExitKey(), Key::Esc);
}

TEST_F(FileViewerTest, EncodingsAreDetectedAndThePlaceIsRemembered) {
  const std::string utf16 = Write("utf16.txt", std::string("\xFF\xFEh\0i\0 \0\x3B\x04\n\0", 12));
  Open(utf16);
  EXPECT_EQ(Row(1), "hi \u043B");
  EXPECT_NE(Row(0).find("UTF-16"), std::string::npos);
  m_viewer.Close();

  const std::string latin = Write("latin.txt", NumberedLines(50) + "caf\xE9 au lait\n");
  Open(latin);
  EXPECT_NE(Row(0).find("CP"), std::string::npos) << "bytes that are not UTF-8 show through a code page";
  Keys({Key::End});
  EXPECT_EQ(Row(Rows()), "caf\u00E9 au lait");
  const int64_t top = m_viewer.Top();
  m_viewer.Close();
  FileViewer again;
  ASSERT_EQ(again.Open(Westring::FromUtf8(latin.c_str())), 0);
  EXPECT_EQ(again.Top(), top);
  EXPECT_EQ(again.File().Encoding(), EncodingCodePage);

  EXPECT_EQ(again.Open(Westring::FromUtf8(m_dir.Path().c_str())), EISDIR);
  const std::string fifo = m_dir / "fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(again.Open(Westring::FromUtf8(fifo.c_str())), EINVAL) << "a FIFO would block the open";
}

TEST_F(FileViewerTest, HugeLinesComeInPiecesAndNulShowsAsSpace) {
  Open(Write("huge.txt", std::string("a\0b\n", 4) + std::string(10'000'000, 'x')));
  EXPECT_EQ(Row(1), "a b");
  Keys({Key::End});
  const int64_t piece = ViewTextFile::LongLinePiece;
  EXPECT_EQ(Row(1), "a b") << "the ten pieces of the line fit on the screen";
  EXPECT_EQ(Row(11).substr(0, 3), "xxx");
  EXPECT_EQ(Row(12), "");
  Keys({Key::F2, Key::End});
  EXPECT_EQ(Row(Rows()).substr(0, 3), "xxx");
  EXPECT_EQ(m_viewer.Top(), 4 + (10'000'000 / piece) * piece) << "wrapped, the last piece fills the screen";
  Keys({Key::Home});
  EXPECT_EQ(Row(2), std::string(Con().Columns(), 'x'));
}

TEST_F(FileViewerTest, SyntaxColouringResumesFromKeptStates) {
  std::string source = "/* a comment opened here\n";
  for (int i = 0; i < 2000; ++i) source += "still inside the comment\n";
  source += "*/\nplain words\n";
  Open(Write("comment.c", source));
  ASSERT_TRUE(m_viewer.SyntaxOn());
  const uint8_t comment = AttrAt(0, 1);
  EXPECT_NE(comment, Colour(ColourClass::FileViewer));
  Keys({Key::End});
  EXPECT_EQ(Row(Rows()), "plain words");
  EXPECT_EQ(AttrAt(0, Rows() - 2), comment) << "the comment is known to go on near the end";
  EXPECT_EQ(AttrAt(0, Rows()), Colour(ColourClass::FileViewer));
  Keys({Key::AltH});
  EXPECT_FALSE(m_viewer.SyntaxOn());
  EXPECT_EQ(AttrAt(0, Rows() - 2), Colour(ColourClass::FileViewer));
}
