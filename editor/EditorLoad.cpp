// Reading a file into the editor's text, reloading it in another format,
// converting the text between code pages, and the status kept per file.
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <cwchar>

#include "console/Console.h"
#include "dialogs/Dialog.h"
#include "dialogs/HelpTopics.h"
#include "dialogs/Look.h"
#include "dialogs/MessageBox.h"
#include "dialogs/ProgressThread.h"
#include "editor/EditorText.h"
#include "foundation/CodePage.h"
#include "foundation/SysCalls.h"
#include "viewer/ViewTextFile.h"
#include "viewer/ViewerSession.h"

namespace VKEditor {

namespace {

constexpr int CR = 13;
constexpr int LF = 10;
// Esc is looked for every this many lines: often enough to answer at once,
// rarely enough not to slow the reading of short lines.
constexpr int EscPollLines = 64;

int64_t Nanoseconds(const TTimeValue& time) {
  return static_cast<int64_t>(time.seconds) * 1000000000 + time.nanoseconds;
}

bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Joins each high and low surrogate pair into the character it encodes, so
// that a UTF-16 file keeps characters beyond the 16-bit range; returns the
// new length.
int JoinSurrogatePairs(wchar_t* text, int length) {
  int out = 0;
  for (int i = 0; i < length; ++i) {
    if (i + 1 < length && IsHighSurrogate(text[i]) && IsLowSurrogate(text[i + 1])) {
      text[out++] =
          static_cast<wchar_t>(0x10000 + ((text[i] - 0xD800) << 10) + (text[i + 1] - 0xDC00));
      ++i;
    } else {
      text[out++] = text[i];
    }
  }
  return out;
}

// Looks at characters the reading has already counted (or will count):
// whatever the look adds to the file's invalid UTF-8 count goes to *probed,
// to be taken off the total.
template <class Look>
auto Probe(ViewTextFile& file, uint64_t* probed, Look look) {
  const uint64_t before = file.InvalidUtf8Count();
  const auto result = look();
  *probed += file.InvalidUtf8Count() - before;
  return result;
}

// The style of the line end just read, found from the characters before
// the position: CR LF, LF CR and a lone CR count as CR LF.
int LineEndBefore(ViewTextFile& file) {
  const int64_t after = file.Position();
  const int last = file.PrevChar();
  const int before = file.PrevChar();
  file.SetPosition(after);
  if (last == LF) return before == CR ? LineEndCrLf : LineEndLf;
  return last == CR ? LineEndCrLf : LineEndNotSeen;
}

// Characters from the line start at start up to the byte offset.
int CharsUpTo(ViewTextFile& file, int64_t start, int64_t offset, int length) {
  const int64_t saved = file.Position();
  file.SetPosition(start);
  int chars = 0;
  while (chars < length && file.Position() < offset && file.NextChar() >= 0) ++chars;
  file.SetPosition(saved);
  return chars;
}

bool EndsWithLineEnd(ViewTextFile& file) {
  const int64_t saved = file.Position();
  file.SetPosition(file.KnownSize());
  const int last = file.PrevChar();
  file.SetPosition(saved);
  return last == CR || last == LF;
}

bool IsReadOnly(const Westring& name) {
  struct stat info {};
  if (stat(name.ToUtf8().c_str(), &info) != 0) return false;
  return !Sys::WritableByProcess(info.st_mode, info.st_uid, info.st_gid);
}

}  // namespace

void CEditorText::StartNewFile(const Westring& name) {
  Clear();
  m_view = TEditorView{};
  m_block = TEditorBlock{};
  m_fileName = name;
  m_flags = TEditorFlags{};
  m_flags.newFile = m_flags.modified = m_flags.fullRedraw = true;
  m_format.byteOrderMark = false;
  m_format.encoding = EncodingUtf8;
  m_format.lineEnds = LineEndLf;
  m_loadTime = 0;
  m_savedDepth = -1;
  MoveCursorTo({0, 0});
}

void CEditorText::ResetForLoad() {
  Clear();
  m_lineCount = 0;
  m_view = TEditorView{};
  m_block = TEditorBlock{};
  m_flags.modified = m_flags.newFile = false;
  m_flags.fullRedraw = true;
}

void CEditorText::TakeFormat(ViewTextFile& file, TFileStatus* record, LoadKind kind) {
  const int defaultCodePage = file.CodePage() != 0 ? file.CodePage() : TextCodePage();
  if (kind == LoadKind::Reload) {
    file.SetEncoding(m_format.encoding, m_format.codePage);
  } else if (record && record->encoding != EncodingDetect) {
    file.SetEncoding(record->encoding, record->codePage);
    m_format.encoding = record->encoding;
    m_format.codePage = record->codePage != 0 ? record->codePage : defaultCodePage;
    m_format.byteOrderMark = file.HasByteOrderMark();
  } else {
    // Text with no encoding of its own reads in the code page last chosen
    // in the viewer, as the viewer reads it.
    const int lastChosen = ViewerSession().lastCodePage;
    const bool codePageText = file.Encoding() == EncodingCodePage;
    if (codePageText && lastChosen != 0) file.SetEncoding(EncodingCodePage, lastChosen);
    m_format.encoding = file.Encoding();
    m_format.codePage = codePageText && lastChosen != 0 ? lastChosen : defaultCodePage;
    m_format.byteOrderMark = file.HasByteOrderMark();
  }
  file.SetPosition(file.DataStart());
}

bool CEditorText::Load(ViewTextFile& file, LoadKind kind, int64_t startOffset,
                       int highlightLength) {
  ResetForLoad();
  m_fileName = file.Name();
  TTimeValue time;
  m_loadTime = file.ModificationTime(&time) == 0 ? Nanoseconds(time) : 0;
  if (kind == LoadKind::Fresh) m_flags.readOnly = IsReadOnly(m_fileName);

  TFileStatus* record = FileStatuses().Find(m_fileName);
  if (record && startOffset < 0 && record->byteOffset >= 0) startOffset = record->byteOffset;
  TakeFormat(file, record, kind);
  // Lines are 0-terminated, so a NUL in the file reads as a blank.
  file.SetKeepNul(false);

  TTextPos start{-1, -1};
  m_probedInvalid = 0;
  const bool complete = ReadLines(file, startOffset, &start);
  m_flags.partlyLoaded = !complete;
  if (int err = file.ReadError()) {
    Clear();
    MoveCursorTo({0, 0});
    MessageBox(L"error", Sys::ErrorText(err), MessageStyle::Ok);
    return false;
  }
  if (complete &&
      (m_lineCount == 0 || Probe(file, &m_probedInvalid, [&] { return EndsWithLineEnd(file); })))
    (void)AppendLine(L"", 0);
  if (m_lineCount == 0) Clear();

  if (kind == LoadKind::Reload) {
    m_undo.Clear();
    m_redo.Clear();
  }
  m_savedDepth = m_undo.Count();
  if (start.line >= 0) {
    PlaceAt(start, highlightLength);
  } else if (startOffset < 0 && record && kind == LoadKind::Fresh) {
    RestoreStatus(*record);
  } else {
    MoveCursorTo({0, 0});
  }

  const uint64_t invalid = file.InvalidUtf8Count() - m_probedInvalid;
  if (file.Encoding() == EncodingUtf8 && invalid > 0) {
    Westring warning = Westring::FromUtf8(
        Estring::Format(
            "Warning: Invalid encoding found on %d lines. Saving this file will cause corruption",
            static_cast<int>(invalid))
            .c_str());
    MessageBox(warning, L"", MessageStyle::Ok);
  }
  return true;
}

bool CEditorText::ReadLines(ViewTextFile& file, int64_t startOffset, TTextPos* startPos) {
  std::atomic<int64_t> done{0};
  std::atomic<int64_t> total{file.KnownSize()};
  FileReadProgress progress(&done, &total, Estring("Reading File"));
  file.StopReadAhead();
  const bool utf16 = file.Encoding() == EncodingUtf16Le || file.Encoding() == EncodingUtf16Be;
  int lineEnds = LineEndNotSeen;
  TViewLine line;
  for (int lines = 1; file.ReadLine(INT_MAX, &line); ++lines) {
    const int64_t next = file.Position();
    if (startOffset >= 0 && startPos->line < 0 && next > startOffset)
      *startPos = {Probe(file, &m_probedInvalid,
                         [&] { return CharsUpTo(file, line.start, startOffset, line.length); }),
                   m_lineCount};
    if (AppendLine(line.text, line.length) != 0) {
      MessageBox(L"out of memory", L"", MessageStyle::Ok);
      return false;
    }
    if (utf16) {
      auto* text = const_cast<wchar_t*>(m_lines[m_lineCount - 1]);
      text[JoinSurrogatePairs(text, line.length)] = 0;
    }
    if (lineEnds == LineEndNotSeen)
      lineEnds = Probe(file, &m_probedInvalid, [&] { return LineEndBefore(file); });
    done.store(next, std::memory_order_relaxed);
    if (lines % EscPollLines == 0 && g_console && g_console->EscPressed()) return false;
  }
  m_format.lineEnds = lineEnds == LineEndNotSeen ? LineEndLf : lineEnds;
  return true;
}

void CEditorText::PlaceAt(TTextPos start, int highlightLength) {
  start.line = std::min(start.line, m_lineCount - 1);
  MoveCursorTo(start);
  if (highlightLength <= 0) return;
  // The mark runs over highlightLength characters, a line end counting as one.
  TTextPos end = start;
  for (int left = highlightLength; left > 0;) {
    const int room = LineLength(end.line) - end.index;
    if (left <= room || end.line + 1 >= m_lineCount) {
      end.index += std::min(left, std::max(room, 0));
      break;
    }
    left -= room + 1;
    end = {0, end.line + 1};
  }
  m_block = {true, start, end};
}

void CEditorText::RestoreStatus(TFileStatus& record) {
  m_undo.TakeFrom(record.undo);
  m_redo.TakeFrom(record.redo);
  m_savedDepth = m_undo.Count();
  std::copy(record.bookmarks, record.bookmarks + BookmarkCount, m_bookmarks);
  m_view.topLine = std::clamp(record.topLine, 0, m_lineCount - 1);
  m_view.cursorRow =
      std::clamp(record.cursorRow, 0, std::min(m_textRows - 1, m_lineCount - 1 - m_view.topLine));
  m_view.leftColumn = std::max(0, record.leftColumn);
  const int line = m_view.topLine + m_view.cursorRow;
  int column = m_view.leftColumn + std::max(0, record.cursorColumn);
  const int index = IndexAtColumn(LineText(line), LineLength(line), &column, m_tabWidth);
  LoadLine(line);
  m_view.cursorIndex = index;
  m_view.cursorColumn = column - m_view.leftColumn;
}

void CEditorText::StoreStatus() {
  (void)StoreLine();
  TFileStatus* record = FileStatuses().FindOrCreate(m_fileName);
  if (!record) return;
  record->topLine = m_view.topLine;
  record->cursorRow = m_view.cursorRow;
  record->cursorColumn = m_view.cursorColumn;
  record->leftColumn = m_view.leftColumn;
  record->undo.TakeFrom(m_undo);
  record->redo.TakeFrom(m_redo);
  record->byteOffset = -1;
  std::copy(m_bookmarks, m_bookmarks + BookmarkCount, record->bookmarks);
  record->encoding = m_format.encoding;
  record->codePage = m_format.codePage;
}

namespace {

// The question before a reload throws changes away; true to go on.
bool ConfirmDiscard() {
  Dialog dialog(-1, -3, 44, 6, Colour(ColourClass::Errors));
  dialog.SetHelpTopic(HelpTopic::CodePages);
  dialog.DrawTitle(L" Code Page Change ");
  dialog.WriteCentred(0, L"File must be re-loaded, discard changes?");
  dialog.AddOkCancel(-1, 2);
  return dialog.Run() == DialogResult::Ok;
}

}  // namespace

bool CEditorText::ReloadWithFormat(const TFileFormat& format) {
  if (m_flags.modified && !m_flags.newFile && !ConfirmDiscard()) return false;
  m_format = format;
  if (m_flags.newFile) return true;
  ViewTextFile file;
  if (int err = file.Open(m_fileName, format.encoding, format.codePage)) {
    MessageBox(Westring(L"Unable to open: ") + m_fileName, Sys::ErrorText(err), MessageStyle::Ok);
    return false;
  }
  return Load(file, LoadKind::Reload);
}

void CEditorText::ConvertCodePage(int from, int to) {
  if (from == 0) from = TextCodePage();
  if (to == 0) to = TextCodePage();
  if (from == to) return;
  (void)StoreLine();
  m_currentIndex = -1;
  const TTextPos cursor = CursorPos();
  const TCodePageTable source(from), target(to);
  Westring converted;
  for (int line = 0; line < m_lineCount; ++line) {
    const wchar_t* text = m_lines[line];
    const int length = static_cast<int>(wcslen(text));
    converted.Assign(text, length);
    for (int i = 0; i < length; ++i) converted[i] = target.Char(source.Byte(text[i]));
    if (wchar_t* copy = CopyToPool(converted.c_str(), length)) m_lines[line] = copy;
  }
  m_flags.modified = m_flags.fullRedraw = true;
  m_savedDepth = -1;
  MoveCursorTo(cursor);
}

}  // namespace VKEditor
