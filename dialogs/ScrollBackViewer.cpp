#include "dialogs/ScrollBackViewer.h"

#include "console/Console.h"
#include "console/KeyCodes.h"
#include "console/ScrollBack.h"
#include "dialogs/Help.h"
#include "dialogs/HelpTopics.h"
#include "dialogs/Look.h"
#include "foundation/CellString.h"

CScrollBackViewer::CScrollBackViewer(CScrollBackBuffer* lines)
    : Win(0, 0, g_console->Columns() - 1, g_console->Lines() - 1, Colour(ColourClass::FileViewer),
          Colour(ColourClass::FileViewer), true),
      m_lines(lines) {}

int CScrollBackViewer::LastTop() const {
  const int last = m_lines->Count() - Height();
  return last > 0 ? last : 0;
}

void CScrollBackViewer::ScrollTo(int top) {
  if (top > LastTop()) top = LastTop();
  if (top < 0) top = 0;
  m_topLine = top;
  Draw();
}

void CScrollBackViewer::Draw() {
  g_console->BeginUpdate();
  for (int row = 0; row < Height(); ++row) {
    const CellString* line = m_lines->At(m_topLine + row);
    CellString cells = line != nullptr ? line->Left(Width()) : CellString(Attr());
    cells.SetAttr(Attr());
    WriteCells(0, row, cells.PaddedTo(Width()));
  }
  g_console->EndUpdate();
}

void CScrollBackViewer::Run() {
  const int page = Height() - 2 > 1 ? Height() - 2 : 1;
  ScrollTo(LastTop());
  for (;;) {
    TMouseRecord info;
    switch (g_console->GetKey(&info, -1)) {
      case Key::Esc: return;
      case Key::F1: ShowHelp(HelpTopic::ScrollBack); break;
      case Key::Up: ScrollTo(m_topLine - 1); break;
      case Key::Down: ScrollTo(m_topLine + 1); break;
      case Key::PageUp: ScrollTo(m_topLine - page); break;
      case Key::PageDown: ScrollTo(m_topLine + page); break;
      case Key::Home: ScrollTo(0); break;
      case Key::End: ScrollTo(LastTop()); break;
      default: break;
    }
  }
}

void ShowScrollBack() {
  if (!g_keepScrollBack) return;
  CConsole& console = *g_console;
  const int added = console.Lines() - 2 > 0 ? console.Lines() - 2 : 0;
  for (int row = 0; row < added; ++row) g_scrollBack.AppendRow(console, row);
  const TCellRect previousArea = console.MouseArea();
  const int cursorSize = console.CursorSize();
  console.SetCursorSize(0);
  {
    CScrollBackViewer viewer(&g_scrollBack);
    console.SetMouseArea(viewer.OriginColumn(), viewer.OriginRow(), viewer.Width(), viewer.Height());
    viewer.Run();
    console.SetMouseArea(previousArea.left, previousArea.top, previousArea.right - previousArea.left + 1,
                         previousArea.bottom - previousArea.top + 1);
  }
  console.SetCursorSize(cursorSize);
  for (int i = 0; i < added; ++i) {
    g_scrollBack.Last();
    g_scrollBack.DeleteCurrent();
  }
}
