// The viewer's commands that ask something first: search, go to a line or
// an offset, the file's encoding and the code pages.
#include <algorithm>

#include "config/Settings.h"
#include "console/Console.h"
#include "dialogs/Look.h"
#include "dialogs/MessageBox.h"
#include "dialogs/Win.h"
#include "foundation/CodePage.h"
#include "foundation/Estring.h"
#include "viewer/FileViewer.h"
#include "viewer/FormatSelectDialog.h"
#include "viewer/ViewerSession.h"

namespace {

constexpr int kContextLines = 4;
constexpr int kRevealStep = 4;
// Esc is looked for every this many lines while Goto Line steps.
constexpr int kLinesBetweenEscChecks = 65536;

void ShowMessage(const Westring& text) {
  MessageBox(text, Westring(), MessageStyle::Ok | MessageStyle::Messages);
}

Westring Decimal(int64_t n) { return Westring(Estring::Format("%lld", static_cast<long long>(n)).c_str()); }

}  // namespace

// --- Search ------------------------------------------------------------------------

// reverse: -1 keeps the Reverse option, 0 and 1 set it ("/" and "?").
void FileViewer::SearchDialog(int reverse) {
  TViewerSearch& search = ViewerSession().search;
  TViewerSearch asked = search;
  if (reverse >= 0) asked.reverse = reverse != 0;
  if (!AskViewerSearch(&asked)) return;
  search = asked;
  if (!search.text.IsEmpty()) Search(search.reverse, true);
}

void FileViewer::RepeatSearch(bool oppositeDirection) {
  const TViewerSearch& search = ViewerSession().search;
  if (search.text.IsEmpty()) {
    SearchDialog(-1);
    return;
  }
  Search(search.reverse != oppositeDirection, false);
}

void FileViewer::Search(bool reverse, bool fromDialog) {
  const TViewerSearch& search = ViewerSession().search;
  const int64_t size = m_file.KnownSize();
  int64_t start;
  if (m_lastMatch < 0 || (fromDialog && m_lastMatch == m_top)) {
    start = m_lastMatch >= 0 ? m_top : !reverse ? m_top : m_lastLineStart >= 0 ? m_lastLineStart : size;
  } else if (reverse) {
    m_file.SetPosition(m_lastMatch);
    if (m_file.PrevChar() < 0) {
      ShowMessage(Westring("String not found"));
      return;
    }
    start = m_file.Position();
  } else {
    start = m_matchEnd;
  }
  int64_t match;
  {
    Win searching(-1, -1, 20, 3, Colour(ColourClass::Messages), Colour(ColourClass::Messages), true);
    searching.WriteText(3, 0, L"Searching...", Colour(ColourClass::Messages));
    match = m_file.Search(search.text, start, search.caseSensitive, search.wholeWord, reverse,
                          [] { return g_console->EscPressed(); });
  }
  if (match == ViewTextFile::SearchCancelled) return;
  if (match < 0) {
    ShowMessage(Westring("String not found"));
    return;
  }
  RevealMatch(match, m_file.MatchEnd());
}

// The match's line goes to the top with up to four lines above it.
void FileViewer::RevealMatch(int64_t match, int64_t end) {
  PlaceMatch(match, end);
  RowsUp(kContextLines);
}

// The match's line (its row, when wrapped) at the top, and an unwrapped
// screen scrolled sideways until the whole match shows.
void FileViewer::PlaceMatch(int64_t match, int64_t end) {
  m_lastMatch = match;
  m_matchEnd = end;
  m_matchLine = -1;
  if (m_hex) {
    m_top = match - match % ViewTextFile::HexLineBytes;
    return;
  }
  m_top = m_file.LineStart(match);
  const int first = CellColumnAt(m_top, match);
  const int last = std::max(first + 1, CellColumnAt(m_top, end));
  m_wrapColumn = Wrapping() ? first / Columns() * Columns() : 0;
  if (Wrapping()) return;
  // The right-most cell may hold the mark of a line that goes on.
  while (last > m_scroll + Columns() - 1) m_scroll += kRevealStep;
  while (first < m_scroll) m_scroll -= kRevealStep;
  m_scroll = std::max(0, m_scroll);
}

// --- Go to -------------------------------------------------------------------------

void FileViewer::GotoLine() {
  int32_t line = 0;
  if (AskGotoLine(&line)) (void)StepToLine(std::max(1, line));
}

// Line n is n - 1 line starts (hex rows) on from the start of the file.
bool FileViewer::StepToLine(int32_t line) {
  const int64_t size = m_file.KnownSize();
  int64_t place = TextStart();
  int64_t lines = place < size ? 1 : 0;
  for (int32_t n = 1; n < line; ++n) {
    const int64_t next = m_hex ? m_file.HexNextLineStart(place) : m_file.NextLineStart(place);
    if (next >= size) {
      ShowMessage(Westring("Only ") + Decimal(lines) + Westring(" lines in this file"));
      return false;
    }
    if (n % kLinesBetweenEscChecks == 0 && g_console->EscPressed()) return false;
    place = next;
    ++lines;
  }
  m_top = place;
  m_wrapColumn = 0;
  return true;
}

void FileViewer::GotoOffset() {
  int64_t offset = 0;
  if (!AskGotoOffset(&offset)) return;
  const int64_t size = m_file.KnownSize();
  if (offset < 0 || offset >= size) {
    ShowMessage(Westring("Only ") + Decimal(size) + Westring(" bytes in this file"));
    return;
  }
  if (m_hex) {
    m_top = offset;
    return;
  }
  const int64_t at = std::max(offset, m_file.DataStart());
  PlaceMatch(at, OffsetAfterChars(at, 1));
}

// --- Encodings and code pages ------------------------------------------------------

void FileViewer::SelectEncoding() {
  CFormatSelectDlg dialog(m_file.Encoding(), m_file.CodePage(), m_file.HasByteOrderMark());
  if (!dialog.Choose()) return;
  const int encoding = dialog.Encoding();
  const int codePage = encoding == EncodingCodePage ? dialog.CodePage() : 0;
  m_file.SetEncoding(encoding, codePage == TextCodePage() ? 0 : codePage);
  // The same top offset, read in the new encoding from a unit boundary.
  m_top = std::max(m_top, m_file.DataStart());
  m_top -= (m_top - m_file.DataStart()) % m_file.UnitSize();
  m_wrapColumn = 0;
  m_matchLine = -1;
}

void FileViewer::NextCodePage() {
  if (m_file.Encoding() != EncodingCodePage) return;
  UseCodePage(TakeNextTranslateCodePage());
}

void FileViewer::CodePageList() {
  Estring list = g_settings.translateCp;
  if (!AskCodePageList(&list)) return;
  g_settings.translateCp = list;
  ViewerSession().codePageCursor = 0;
  if (m_file.Encoding() != EncodingCodePage) UseCodePage(0);
  NextCodePage();
}

void FileViewer::UseCodePage(int codePage) {
  m_file.SetEncoding(EncodingCodePage, codePage);
  ViewerSession().lastCodePage = codePage;
  m_matchLine = -1;
}
