// Where the editor's cells are drawn: the status line, the text rows with
// the syntax and block colours laid over them, the key bar and the cursor.
#include <algorithm>

#include "config/Settings.h"
#include "dialogs/KeyBar.h"
#include "dialogs/Look.h"
#include "editor/Editor.h"
#include "foundation/Estring.h"

namespace VKEditor {

namespace {

// The colouring of the top line starts at most this many lines above it.
constexpr int kColourLookBack = 1000;
// The status line keeps this many columns for everything but the name.
constexpr int kStatusFixedWidth = 52;
constexpr int kThinCursor = 15, kBlockCursor = 100;

uint8_t TextAttr() { return Colour(ColourClass::FileViewer); }
uint8_t BlockAttr() { return Colour(ColourClass::Highlight); }
uint8_t StatusAttr() { return Colour(ColourClass::MenuBar); }

// The name's last width characters, "..." in front when it is cut.
Westring NameFitting(const Westring& name, int width) {
  if (name.Length() <= width) return name;
  if (width <= 3) return name.Right(std::max(0, width));
  return Westring(L"...") + name.Right(width - 3);
}

const char* const kKeyBarLabels[LabelsPerKeyBar] = {
    "1Help", "2Save", "3SaveAs", "4Cut", "5Copy", "6Paste", "7Search", "8Rplace", "9", "10Quit"};

}  // namespace

int CEditor::Rows() const { return std::max(1, g_console->Lines() - 2); }
int CEditor::Columns() const { return std::max(1, g_console->Columns()); }

void CEditor::Draw() {
  CConsole& con = *g_console;
  m_text.SetTextArea(Rows(), Columns());
  con.BeginUpdate();
  const Westring status = StatusLine().FitLeft(Columns());
  con.WriteText(0, 0, status.c_str(), StatusAttr());
  DrawTextRows();
  DrawKeyBar(kKeyBarLabels);
  PlaceCursor();
  con.EndUpdate();
  m_text.Flags().fullRedraw = false;
}

Westring CEditor::StatusLine() {
  const TEditorView& view = m_text.View();
  const int line = CursorLine();
  const TFileFormat& format = m_text.Format();
  Estring under("EOL");
  if (view.cursorIndex < LineLength(line)) {
    const wchar_t ch = m_text.LineText(line)[view.cursorIndex];
    unsigned code = static_cast<unsigned>(ch);
    if (format.encoding == EncodingCodePage) code = TCodePageTable(format.codePage).Byte(ch);
    under = Estring::Format("%3u x%02X", code, code);
  }
  const Westring encoding = EncodingDisplayName(format.encoding, format.codePage);
  const Estring fields = Estring::Format(
      " %c%c%c%c Line %-5d Col %-4d %-11s ", format.lineEnds == LineEndLf ? 'U' : ' ',
      g_settings.autoIndent ? 'I' : ' ', m_text.Flags().modified ? '*' : ' ',
      m_literalNext ? '"' : ' ', view.topLine + view.cursorRow + 1,
      view.leftColumn + view.cursorColumn + 1, under.c_str());
  const int nameWidth = std::max(0, Columns() - kStatusFixedWidth);
  return Westring(L"Edit: ") + NameFitting(m_text.FileName(), nameWidth).FitLeft(nameWidth) +
         Westring::FromUtf8(fields.c_str()) + encoding;
}

void CEditor::PlaceCursor() {
  const TEditorView& view = m_text.View();
  g_console->SetCursorSize(g_settings.overStrike ? kBlockCursor : kThinCursor);
  g_console->SetCursorPos(std::min(view.cursorColumn, Columns() - 1), view.cursorRow + 1);
}

// --- Text rows -------------------------------------------------------------------

void CEditor::DrawTextRows() {
  const int top = m_text.View().topLine;
  CContextStack state = ColourStateAt(top);
  for (int row = 0; row < Rows(); ++row) DrawTextRow(row + 1, top + row, &state);
}

// The colouring state at the start of line, worked out from the nearest
// kept state no more than kColourLookBack lines above, and kept for line so
// that scrolling by a row starts from it.
CContextStack CEditor::ColourStateAt(int line) {
  CContextStack state;
  if (!m_syntax.Enabled()) return state;
  int64_t from = m_syntax.Recall(line, &state);
  if (line - from > kColourLookBack) {
    state = CContextStack();
    from = std::max(0, line - kColourLookBack);
  }
  std::vector<TCell> cells;
  for (int i = static_cast<int>(from); i < line; ++i)
    m_syntax.ColourLine(&state, m_text.LineText(i), LineLength(i), m_text.TabWidth(), &cells);
  m_syntax.Remember(line, state);
  return state;
}

void CEditor::DrawTextRow(int row, int line, CContextStack* state) {
  const int width = Columns();
  std::vector<TCell> out(width + 1, TCell{L' ', TextAttr()});
  out[width].ch = 0;
  if (line < m_text.LineCount()) {
    std::vector<TCell> cells;
    m_syntax.ColourLine(state, m_text.LineText(line), LineLength(line), m_text.TabWidth(), &cells);
    LayBlock(line, &cells);
    const int left = m_text.View().leftColumn;
    for (int i = 0; i < width && left + i < static_cast<int>(cells.size()); ++i)
      out[i] = cells[left + i];
    // The block's colour runs on over the padding of the lines it spans.
    const TEditorBlock& block = m_text.Block();
    if (block.present && line >= block.start.line && line < block.end.line) {
      for (int i = std::max(0, static_cast<int>(cells.size()) - left); i < width; ++i)
        out[i].attr = BlockAttr();
    }
  }
  g_console->WriteCells(0, row, out.data());
}

// The block's part of a line in the block colour: its first line from the
// start column, its last up to the end column, the lines between entirely.
void CEditor::LayBlock(int line, std::vector<TCell>* cells) {
  const TEditorBlock& block = m_text.Block();
  if (!block.present || line < block.start.line || line > block.end.line) return;
  const int length = static_cast<int>(cells->size());
  const int from = line == block.start.line ? ColumnOf(line, block.start.index) : 0;
  const int to = line == block.end.line ? ColumnOf(line, block.end.index) : length;
  if (to > length) cells->resize(to, TCell{L' ', TextAttr()});
  for (int i = from; i < to; ++i) (*cells)[i].attr = BlockAttr();
}

}  // namespace VKEditor
