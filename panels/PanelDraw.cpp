// Drawing a panel into the console: frame and title, the rows of the
// current style, the status line.
#include <cwchar>

#include "console/Console.h"
#include "dialogs/Look.h"
#include "foundation/CellString.h"
#include "foundation/NumberFormat.h"
#include "foundation/SysCalls.h"
#include "panels/DirSearch.h"
#include "panels/Expression.h"
#include "panels/InfoHooks.h"
#include "panels/Panel.h"
#include "panels/RowFormat.h"

namespace {

constexpr int ColoursSection = 3;           // [Colours]: rules for files
constexpr int DirectoryColoursSection = 4;  // [Directory Colours]

namespace Frame {
constexpr wchar_t Horizontal = 0x2550, Vertical = 0x2551, TopLeft = 0x2554, TopRight = 0x2557;
constexpr wchar_t BottomLeft = 0x255A, BottomRight = 0x255D, TopJunction = 0x2564;
constexpr wchar_t Separator = 0x2502, DividerLeft = 0x255F, DividerRight = 0x2562;
constexpr wchar_t Divider = 0x2500, DividerJunction = 0x2534;
}  // namespace Frame

// The first rule of the entry's kind whose pattern matches gives its colour.
bool RuleColour(const entry& e, uint8_t base, uint8_t* attr) {
  const int section = e.IsDirectory() ? DirectoryColoursSection : ColoursSection;
  for (const TAssociation* rule : g_patterns[section]) {
    if (EvaluateExpression(rule->pattern.c_str(), e) == 1) {
      *attr = ParseColourSpec(rule->command.ToUtf8().c_str(), base);
      return true;
    }
  }
  return false;
}

void AppendText(CellString* row, const Westring& text, int width, uint8_t attr) {
  row->AppendText(text.FitLeft(width).c_str(), width, attr);
}

// The full style's columns over a width, for the status line's entry.
TColumnLayout FullLayout(int width) {
  TColumnLayout layout = StyleColumns(PanelStyle::Full);
  DistributeWidth(&layout, width);
  return layout;
}

}  // namespace

uint8_t CPanel::RowAttr(const entry& e, bool underCursor) const {
  if (underCursor) {
    if (e.tagged) return Colour(ColourClass::HighlightTagged);
    return Colour(e.IsDirectory() ? ColourClass::DirectoryHigh : ColourClass::Highlight);
  }
  if (e.tagged) return Colour(ColourClass::Tagged);
  const uint8_t base = Colour(e.IsDirectory() ? ColourClass::Directories : ColourClass::Panel);
  uint8_t attr = base;
  RuleColour(e, base, &attr);
  return attr;
}

namespace {

// A name column: the name (and a link's target after a blank, U+00BB and a
// blank), cut to the width less the marker position, then the marker.
CellString NameCell(const entry& e, const Westring& linkTarget, int width, uint8_t attr) {
  CellString cell(attr);
  if (width <= 0) return cell;
  // A name that fills the column is cut by the extension rule and shows no
  // target; otherwise the target follows and its end is cut.
  Westring text = e.Name();
  int arrowAt = -1;
  const bool showTarget = e.IsLink() && text.Length() < width - 1;
  if (showTarget) {
    text += L' ';
    arrowAt = text.Length();
    text += LinkArrow;
    text += L' ';
    text += linkTarget;
  }
  const Westring cut = CutName(text, width - 1, !showTarget && g_settings.keepExtVisible);
  cell.AppendText(cut.c_str(), width - 1, attr);
  if (arrowAt >= 0 && arrowAt < width - 1 && cut[arrowAt] == LinkArrow) {
    const uint8_t fg = (e.flags & EntryFlag::BrokenLink) ? Color::LightRed
                                                        : AttrForeground(Colour(ColourClass::Tagged));
    cell[arrowAt].attr = MakeAttr(fg, AttrBackground(attr));
  }
  const wchar_t marker = NameMarker(e);
  cell.Append(TCell{static_cast<uint32_t>(marker != 0 ? marker : L' '), attr});
  return cell;
}

}  // namespace

void CPanel::DrawEntryCell(int index, int slot) {
  CConsole* console = g_console;
  const int rows = m_geometry.rows;
  const int row = m_geometry.fileTop() + slot % rows;
  const uint8_t panelAttr = Colour(ColourClass::Panel);
  const entry* e = At(index);
  const bool underCursor = m_active && index == CursorIndex();
  const uint8_t attr = e != nullptr ? RowAttr(*e, underCursor) : panelAttr;
  int col = m_geometry.left + 1;
  CellString cells(panelAttr);
  if (m_layout.entriesPerRow > 1) {
    // Brief styles: slot / rows picks the name column.
    const int column = slot / rows;
    for (int c = 0; c < column; ++c) col += m_layout.columns[c].width + 1;
    const int width = m_layout.columns[column].width;
    if (e != nullptr) cells = NameCell(*e, e->IsLink() ? LinkTarget(*e) : Westring(), width, attr);
    else cells.SetLength(width);
    if (column + 1 < m_layout.count) cells.Append(TCell{Frame::Separator, panelAttr});
    console->WriteCells(col, row, cells);
    return;
  }
  for (int c = 0; c < m_layout.count; ++c) {
    const TColumn& column = m_layout.columns[c];
    if (c > 0) cells.Append(TCell{Frame::Separator, panelAttr});
    if (e == nullptr) {
      AppendText(&cells, Westring(), column.width, panelAttr);
      continue;
    }
    switch (column.kind) {
      case ColumnKind::Name: {
        const CellString name = NameCell(*e, e->IsLink() ? LinkTarget(*e) : Westring(), column.width, attr);
        cells.AppendCells(name.Cells(), name.Length());
        break;
      }
      case ColumnKind::Size: AppendText(&cells, SizeText(*e, column.width), column.width, attr); break;
      case ColumnKind::Date: AppendText(&cells, DateText(*e), column.width, attr); break;
      case ColumnKind::Time: AppendText(&cells, TimeText(*e, g_settings.timeMode), column.width, attr); break;
      case ColumnKind::Permissions:
        AppendText(&cells, e->IsUpDir() ? Westring() : Sys::PermissionString(e->mode), column.width, attr);
        break;
      case ColumnKind::Owner:
        AppendText(&cells, e->IsUpDir() ? Westring() : Sys::UserName(e->owner), column.width, attr);
        break;
      case ColumnKind::Group:
        AppendText(&cells, e->IsUpDir() ? Westring() : Sys::GroupName(e->group), column.width, attr);
        break;
    }
  }
  console->WriteCells(col, row, cells);
}

void CPanel::DrawRow(int index) {
  if (g_console == nullptr || m_readError != 0 || m_type != PanelType::Files) return;
  const int slot = index - m_firstVisible;
  if (slot < 0 || slot >= PageCapacity()) return;
  DrawEntryCell(index, slot);
}

namespace {

// A frame row: its left cell, innerWidth fill cells, its right cell.
CellString FrameRow(uint32_t left, uint32_t fill, uint32_t right, int innerWidth, uint8_t attr) {
  CellString row(attr);
  row.Append(TCell{left, attr});
  for (int i = 0; i < innerWidth; ++i) row.Append(TCell{fill, attr});
  row.Append(TCell{right, attr});
  return row;
}

}  // namespace

// The title centred on the top frame line, highlighted in the active panel.
void CPanel::DrawFrameTitle(const Westring& title) {
  const TPanelGeometry& g = m_geometry;
  const int titleCol = g.left + 1 + (g.innerWidth - title.Length()) / 2;
  g_console->WriteText(titleCol, g.top, title.c_str(), Colour(m_active ? ColourClass::Highlight : ColourClass::Panel));
}

void CPanel::DrawFrame() {
  CConsole* console = g_console;
  const TPanelGeometry& g = m_geometry;
  const uint8_t attr = Colour(ColourClass::Panel);
  CellString top(attr), divider(attr);
  top.Append(TCell{Frame::TopLeft, attr});
  divider.Append(TCell{Frame::DividerLeft, attr});
  for (int c = 0; c < m_layout.count; ++c) {
    const int width = m_layout.columns[c].width;
    for (int i = 0; i < width; ++i) {
      top.Append(TCell{Frame::Horizontal, attr});
      divider.Append(TCell{Frame::Divider, attr});
    }
    if (c + 1 < m_layout.count) {
      top.Append(TCell{Frame::TopJunction, attr});
      divider.Append(TCell{Frame::DividerJunction, attr});
    }
  }
  // A layout cut short by a narrow screen still closes the frame.
  top.SetLength(g.width - 1);
  divider.SetLength(g.width - 1);
  top.Append(TCell{Frame::TopRight, attr});
  divider.Append(TCell{Frame::DividerRight, attr});
  console->WriteCells(g.left, g.top, top);
  console->WriteCells(g.left, g.dividerRow(), divider);
  console->WriteCells(g.left, g.bottomRow(),
                      FrameRow(Frame::BottomLeft, Frame::Horizontal, Frame::BottomRight, g.innerWidth, attr));
  for (int row = g.fileTop(); row < g.bottomRow(); ++row) {
    if (row == g.dividerRow()) continue;
    console->FillCells(g.left, row, 1, TCell{Frame::Vertical, attr});
    console->FillCells(g.left + g.width - 1, row, 1, TCell{Frame::Vertical, attr});
  }
  // The title: the directory, its end kept when it is too long.
  Westring title = m_directory;
  const int room = g.innerWidth - 2;
  if (title.Length() > room) title = title.Right(room);
  DrawFrameTitle(L" " + title + L" ");
}

// An information panel is one box: no columns, no divider, no status line.
void CPanel::DrawInfoFrame() {
  CConsole* console = g_console;
  const TPanelGeometry& g = m_geometry;
  const uint8_t attr = Colour(ColourClass::Panel);
  const CellString inner = FrameRow(Frame::Vertical, L' ', Frame::Vertical, g.innerWidth, attr);
  console->WriteCells(g.left, g.top, FrameRow(Frame::TopLeft, Frame::Horizontal, Frame::TopRight, g.innerWidth, attr));
  for (int row = g.fileTop(); row < g.bottomRow(); ++row) console->WriteCells(g.left, row, inner);
  console->WriteCells(g.left, g.bottomRow(),
                      FrameRow(Frame::BottomLeft, Frame::Horizontal, Frame::BottomRight, g.innerWidth, attr));
  DrawFrameTitle(Westring(L" Info "));
}

void CPanel::Draw() {
  if (g_console == nullptr) return;
  g_console->BeginUpdate();
  if (m_type == PanelType::Info) {
    DrawInfoFrame();
    const CPanel* other = g_panels[m_side == PanelSide::Left ? 1 : 0];
    if (other != nullptr) g_infoHooks.draw(*this, *other);
    g_console->EndUpdate();
    return;
  }
  DrawFrame();
  const int capacity = PageCapacity();
  for (int slot = 0; slot < capacity; ++slot) {
    // A failed read leaves the file area empty.
    DrawEntryCell(m_readError != 0 ? -1 : m_firstVisible + slot, slot);
  }
  DrawStatusLine();
  g_console->EndUpdate();
}

Westring CPanel::StatusText() {
  const int width = m_geometry.innerWidth;
  if (m_readError != 0) {
    return Westring(m_readError == SearchResult::DriveNotReady ? L" No disk in drive" : L" Error reading drive")
        .FitLeft(width);
  }
  if (!m_quickSearch.IsEmpty()) {
    const Westring text = L"Search: " + m_quickSearch;
    return (text.Length() > width ? text.Right(width) : text).FitLeft(width);
  }
  if (m_taggedCount > 0) {
    wchar_t rest[64];
    std::swprintf(rest, 64, L" bytes in %d selected file%ls", m_taggedCount, m_taggedCount > 1 ? L"s" : L"");
    const int restLength = static_cast<int>(std::wcslen(rest));
    Westring line = FormatSize(m_taggedBytes, width - restLength - 2, DigitGrouping::Thousands, g_thousandsSeparator);
    line.TrimLeft();
    line += rest;
    const int pad = (width - line.Length()) / 2;
    return (Westring(pad, L' ') + line).FitLeft(width);
  }
  const entry* e = CursorEntry();
  if (e == nullptr) return Westring(L"Directory is empty").FitLeft(width);
  if (m_style == PanelStyle::Full) {
    Westring text = e->Name();
    if (e->IsLink()) {
      text += L' ';
      text += LinkArrow;
      text += L' ';
      text += LinkTarget(*e);
    }
    return text.FitLeft(width);
  }
  const TColumnLayout full = FullLayout(width);
  Westring text = CutName(e->Name(), full.columns[0].width, g_settings.keepExtVisible);
  text += L' ';
  text += SizeText(*e, full.columns[1].width);
  text += L' ';
  text += DateText(*e);
  text += L' ';
  text += TimeText(*e, g_settings.timeMode);
  return text.FitLeft(width);
}

void CPanel::DrawStatusLine() {
  if (g_console == nullptr || m_type != PanelType::Files) return;
  const Westring text = StatusText();
  g_console->WriteText(m_geometry.left + 1, m_geometry.statusRow(), text.c_str(), Colour(ColourClass::Tagged));
}
