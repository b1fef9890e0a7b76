// The viewer's life: opening a file where it was last shown, the key and
// mouse loop, and the moves of the top of the screen.
#include "dialogs/HelpTopics.h"
#include "dialogs/Help.h"
#include "viewer/FileViewer.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>

#include "config/Settings.h"
#include "console/KeyCodes.h"
#include "dialogs/KeyBar.h"
#include "dialogs/Look.h"
#include "dialogs/MessageBox.h"
#include "foundation/CodePage.h"
#include "foundation/SysCalls.h"
#include "panels/PathNames.h"
#include "viewer/FileStatusStore.h"
#include "viewer/ViewerSession.h"

std::function<void(const Westring& name, int64_t offset)> g_editAtOffset;

namespace {

constexpr int kWheelRows = 3;
constexpr int kWideStep = 40;
constexpr int kNarrowStep = 4;
constexpr int kPauseAfterSecondStepMs = 200;

bool IsRegularFile(const Westring& path, int* err) {
  struct stat info {};
  if (stat(path.ToUtf8().c_str(), &info) != 0) {
    *err = errno;
    return false;
  }
  *err = S_ISDIR(info.st_mode) ? EISDIR : S_ISREG(info.st_mode) ? 0 : EINVAL;
  return *err == 0;
}

// The key a held button repeats, by its signed step: rows are +-1 (Up,
// Down), columns +-4 (Left, Right); the right button doubles them.
uint32_t AutoRepeatKey(int step) {
  switch (step) {
    case -8: return Key::CtrlLeft;
    case -4: return Key::Left;
    case -2: return Key::PageUp;
    case -1: return Key::Up;
    case 1: return Key::Down;
    case 2: return Key::PageDown;
    case 4: return Key::Right;
    case 8: return Key::CtrlRight;
    default: return 0;
  }
}

}  // namespace

TViewerSession& ViewerSession() {
  static TViewerSession session;
  return session;
}

int TakeNextTranslateCodePage() {
  bool invalid = false;
  const int codePage = NextTranslateCodePage(g_settings.translateCp, &ViewerSession().codePageCursor, TextCodePage(), &invalid);
  if (invalid) MessageBox(Westring("Invalid code page"), Westring(), MessageStyle::Ok | MessageStyle::Messages);
  return codePage;
}


FileViewer::FileViewer() = default;
FileViewer::~FileViewer() { m_file.Close(); }

int FileViewer::TextRows() const { return std::max(1, g_console->Lines() - 2); }
int FileViewer::Columns() const { return std::max(1, g_console->Columns()); }
bool FileViewer::Wrapping() const { return g_settings.viewerWrap && !m_hex; }

int FileViewer::Open(const Westring& name, int64_t offset) {
  m_path = name;
  if (ResolvePath(&m_path) != 0) m_path = name;
  int err = 0;
  if (!IsRegularFile(m_path, &err)) return err;
  if ((err = m_file.Open(m_path, EncodingDetect, 0)) != 0) return err;
  m_file.SetKeepNul(false);
  m_wrapAtEntry = g_settings.viewerWrap;
  (void)m_syntax.SelectForFile(m_path, Colour(ColourClass::FileViewer));

  // Without an offset of the caller's the file opens where it was left.
  const bool offsetGiven = offset >= 0;
  int32_t storedLine = 0;
  const TFileStatus* status = FileStatuses().Find(m_path);
  if (status != nullptr) {
    if (!offsetGiven && status->byteOffset >= 0) offset = status->byteOffset;
    else if (!offsetGiven) storedLine = status->topLine + 1;
    if (status->encoding != EncodingDetect)
      m_file.SetEncoding(status->encoding, status->encoding == EncodingCodePage ? status->codePage : 0);
  }
  if ((status == nullptr || status->encoding == EncodingDetect) && m_file.Encoding() == EncodingCodePage)
    m_file.SetEncoding(EncodingCodePage, ViewerSession().lastCodePage);

  m_top = m_file.DataStart();
  if (offset >= 0 && offset < m_file.KnownSize()) {
    m_top = m_file.LineStart(offset);
    // A search in files opens the viewer on its hit: it shows as a match.
    if (offsetGiven) m_lastMatch = offset, m_matchEnd = OffsetAfterChars(offset, ViewerSession().search.text.Length());
  } else if (storedLine > 1) {
    (void)StepToLine(storedLine);
  }
  return 0;
}

void FileViewer::Close() {
  if (!m_file.IsOpen()) return;
  TFileStatus* status = FileStatuses().FindOrCreate(m_path);
  status->byteOffset = m_top;
  status->encoding = m_file.Encoding();
  status->codePage = m_file.CodePage();
  m_file.Close();
}

uint32_t FileViewer::Run() {
  CConsole& con = *g_console;
  const int cursorSize = con.CursorSize();
  con.SetCursorSize(0);
  m_exitKey = 0;
  // A new screen size draws the same top line at the new width and height.
  CRedrawOnResize redraw([this] { Draw(); });
  Draw();
  for (;;) {
    TMouseRecord mouse;
    const uint32_t key = con.GetKey(&mouse, m_follow ? FollowPollMs : -1);
    if (key == 0) {
      if (m_follow) FollowStep();
      continue;
    }
    if (!HandleKey(key, mouse)) break;
  }
  con.SetCursorSize(cursorSize);
  return m_exitKey;
}

void FileViewer::EndWith(uint32_t key) { m_exitKey = key; }

bool FileViewer::HandleKey(uint32_t key, const TMouseRecord& mouse) {
  const bool sideways = !m_hex;
  switch (key) {
    case Key::Esc:
      if (m_follow) {
        m_follow = false;
        break;
      }
      EndWith(Key::Esc);
      return false;
    case Key::F3:
    case Key::F10: EndWith(Key::Esc); return false;
    case Key::AltUp:
    case Key::AltDown: EndWith(key); return false;
    case Key::AltF4:
    case Key::ShiftF4: EndWith(Key::AltF4); return false;
    case Key::F1: ShowHelp(HelpTopic::Viewer); break;
    case Key::F2: ToggleWrap(); break;
    case Key::F4: ToggleHex(); break;
    case Key::Up:
      if (RowUp() && !Wrapping()) g_console->ScrollDown(0, 1, Columns(), TextRows(), 1, Colour(ColourClass::FileViewer));
      break;
    case Key::Down:
      if (RowDown() && !Wrapping()) g_console->ScrollUp(0, 1, Columns(), TextRows(), 1, Colour(ColourClass::FileViewer));
      break;
    case Key::PageUp: RowsUp(TextRows() - 1); break;
    case Key::PageDown:
    case Key::Space: PageDown(); break;
    case Key::Home:
    case Key::F8:
    case Key::CtrlPageUp: GoHome(); break;
    case Key::End:
    case Key::F9:
    case Key::CtrlPageDown: GoEnd(); break;
    case Key::Left: ScrollSideways(-kNarrowStep); break;
    case Key::Right: ScrollSideways(kNarrowStep); break;
    case Key::CtrlLeft:
    case Key::Ctrl0 + 4:
    case Key::Ctrl0 + 4 + Key::ShiftFlag: ScrollSideways(sideways ? -kWideStep : -1); break;
    case Key::CtrlRight:
    case Key::Ctrl0 + 6:
    case Key::Ctrl0 + 6 + Key::ShiftFlag: ScrollSideways(sideways ? kWideStep : 1); break;
    case Key::F7: SearchDialog(-1); break;
    case '/': SearchDialog(0); break;
    case '?': SearchDialog(1); break;
    case Key::ShiftF7: RepeatSearch(false); break;
    case Key::AltF7: RepeatSearch(true); break;
    case Key::AltL: GotoLine(); break;
    case Key::AltO: GotoOffset(); break;
    case Key::AltF: StartFollowing(); break;
    case Key::AltH: ToggleSyntax(); break;
    case Key::AltE: SelectEncoding(); break;
    case Key::AltT: NextCodePage(); break;
    case Key::AltC: CodePageList(); break;
    case Key::CtrlL:
      (void)m_file.Refresh();
      m_top = m_file.LineStart(std::min(m_top, m_file.KnownSize()));
      if (m_hex) m_top = std::min(m_top, m_file.KnownSize());
      break;
    case Key::Mouse:
      if (mouse.row == g_console->Lines() - 1 && mouse.action == TMouseRecord::LeftPress)
        return HandleKey(KeyBarKeyForClick(mouse.column, Columns()));
      if (!HandleMouse(mouse)) return true;
      break;
    default:
      if (key >= Key::Alt1 && key <= Key::Alt8) {
        SetTabWidth(static_cast<int>(key - Key::Alt1) + 1);
        break;
      }
      return true;
  }
  Draw();
  return true;
}

// --- Moving the top of the screen ---------------------------------------------------

int64_t FileViewer::PreviousLineStart(int64_t start) {
  if (start <= m_file.DataStart()) return -1;
  return m_file.LineStart(start - m_file.UnitSize());
}

int64_t FileViewer::OffsetAfterChars(int64_t offset, int count) {
  m_file.SetPosition(offset);
  for (int i = 0; i < count && m_file.NextChar() >= 0; ++i) {
  }
  return m_file.Position();
}

int FileViewer::LineCellCount(int64_t start) {
  m_file.SetPosition(start);
  TViewLine line;
  if (!m_file.ReadLine(ViewTextFile::MaxLineChars, &line)) return 0;
  const int tab = std::max(1, static_cast<int>(g_settings.tabWidth));
  int cells = 0;
  for (int i = 0; i < line.length; ++i) cells = line.text[i] == L'\t' ? (cells / tab + 1) * tab : cells + 1;
  return cells;
}

FileViewer::TRowPlace FileViewer::RowAfter(const TRowPlace& place) {
  if (m_hex) return {m_file.HexNextLineStart(place.line), 0};
  if (Wrapping() && place.column + Columns() < LineCellCount(place.line))
    return {place.line, place.column + Columns()};
  return {m_file.NextLineStart(place.line), 0};
}

FileViewer::TRowPlace FileViewer::RowBefore(const TRowPlace& place) {
  if (m_hex) return {m_file.HexLineStart(place.line), 0};
  if (Wrapping() && place.column > 0) return {place.line, std::max(0, place.column - Columns())};
  const int64_t previous = PreviousLineStart(place.line);
  if (previous < 0) return place;
  if (!Wrapping()) return {previous, 0};
  const int cells = LineCellCount(previous);
  return {previous, cells > 0 ? (cells - 1) / Columns() * Columns() : 0};
}

bool FileViewer::RowUp() {
  const TRowPlace before = RowBefore({m_top, m_wrapColumn});
  if (before.line == m_top && before.column == m_wrapColumn) return false;
  m_top = before.line;
  m_wrapColumn = before.column;
  return true;
}

bool FileViewer::RowDown() {
  if (m_lastLineStart < 0) return false;  // the end is on screen
  const TRowPlace after = RowAfter({m_top, m_wrapColumn});
  if (after.line >= m_file.KnownSize()) return false;
  m_top = after.line;
  m_wrapColumn = after.column;
  return true;
}

void FileViewer::RowsUp(int count) {
  for (int i = 0; i < count && RowUp(); ++i) {
  }
}

void FileViewer::PageDown() {
  if (m_lastLineStart < 0) return;
  m_top = m_lastRow.line;
  m_wrapColumn = Wrapping() ? m_lastRow.column : 0;
}

void FileViewer::GoHome() {
  m_top = m_hex ? 0 : m_file.DataStart();
  m_wrapColumn = 0;
  m_scroll = 0;
}

void FileViewer::GoEnd() {
  m_top = m_file.KnownSize();
  m_wrapColumn = 0;
  RowsUp(TextRows());
}

void FileViewer::ScrollSideways(int step) {
  if (m_hex) {
    m_top = std::clamp<int64_t>(m_top + (step < 0 ? -1 : 1), 0, std::max<int64_t>(0, m_file.KnownSize() - 1));
  } else if (!Wrapping()) {
    m_scroll = std::max(0, m_scroll + step);
  }
}

void FileViewer::ToggleWrap() {
  if (m_hex) return;
  g_settings.viewerWrap = !g_settings.viewerWrap;
  m_wrapToggled = true;
  m_wrapColumn = 0;
  m_scroll = 0;
}

void FileViewer::ToggleHex() {
  m_hex = !m_hex;
  m_wrapColumn = 0;
  if (m_hex) return;
  // Text rows start at line starts: a top left inside a line moves back to it.
  const int64_t unit = m_file.UnitSize();
  m_top = std::max(m_top, m_file.DataStart());
  m_top -= (m_top - m_file.DataStart()) % unit;
  m_top = m_file.LineStart(m_top);
}

void FileViewer::SetTabWidth(int width) { g_settings.tabWidth = width; }

void FileViewer::ToggleSyntax() {
  if (m_syntax.Enabled()) {
    m_syntax.Disable();
  } else {
    (void)m_syntax.SelectForFile(m_path, Colour(ColourClass::FileViewer));
  }
}

void FileViewer::StartFollowing() {
  m_follow = true;
  (void)m_file.Refresh();
  GoEnd();
}

// A pause in follow mode: whatever the file gained (or lost) shows at once.
void FileViewer::FollowStep() {
  (void)m_file.Refresh();
  GoEnd();
  Draw();
}

// --- The mouse ---------------------------------------------------------------------

bool FileViewer::HandleMouse(const TMouseRecord& mouse) {
  if (mouse.action == TMouseRecord::Wheel) {
    for (int i = 0; i < kWheelRows; ++i) {
      if (!(mouse.wheelDelta > 0 ? RowUp() : RowDown())) break;
      Draw();
    }
    return true;
  }
  const bool held = mouse.action <= TMouseRecord::RightDrag;
  if (held && mouse.row >= 1 && mouse.row <= TextRows()) AutoRepeat(mouse);
  return false;
}

// While a button is held on the text, the key of the pointer's place
// repeats; the next event (the release, a move) ends it.
void FileViewer::AutoRepeat(const TMouseRecord& mouse) {
  const int rowThird = (mouse.row - 1) * 3 / TextRows();
  const int columnThird = mouse.column * 3 / Columns();
  int step = rowThird == 0 ? -1 : rowThird == 2 ? 1 : columnThird == 0 ? -4 : columnThird == 2 ? 4 : 0;
  if (mouse.action == TMouseRecord::RightPress || mouse.action == TMouseRecord::RightDrag) step *= 2;
  const uint32_t key = AutoRepeatKey(step);
  if (key == 0) return;
  for (int steps = 1;; ++steps) {
    (void)HandleKey(key);
    if (!g_console->WaitWithoutInput(g_scrollDelay)) return;
    if (steps == 2 && !g_console->WaitWithoutInput(kPauseAfterSecondStepMs)) return;
  }
}

// --- Running it for the program -----------------------------------------------------

uint32_t RunFileViewer(const Westring& name, int64_t offset) {
  FileViewer viewer;
  if (int err = viewer.Open(name, offset)) {
    MessageBox(err == EINVAL ? Westring("Not a regular file") : Sys::ErrorText(err), name, MessageStyle::Ok);
    return Key::Esc;
  }
  CConsole& con = *g_console;
  const int width = con.Columns(), height = con.Lines(), generation = con.GridGeneration();
  const std::unique_ptr<TCell[]> screen = con.SaveArea(0, 0, width, height);
  const uint32_t key = viewer.Run();
  const int64_t top = viewer.Top();
  viewer.Close();
  // After a new screen size the screens below drew themselves again.
  if (con.GridGeneration() == generation) con.RestoreArea(0, 0, width, height, screen.get());
  if (key != Key::AltF4) return key;
  if (g_editAtOffset) g_editAtOffset(viewer.FullPath(), top);
  else MessageBox(Westring("The internal editor is not available yet."), Westring(), MessageStyle::Ok | MessageStyle::Messages);
  return Key::Esc;
}
