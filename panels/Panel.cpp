#include "panels/Panel.h"

#include <cwchar>

#include "console/KeyCodes.h"
#include "panels/PanelSort.h"

CPanel* g_panels[2] = {nullptr, nullptr};

CPanel::CPanel(PanelSide side) : m_side(side) { m_layout = StyleColumns(m_style); }

void CPanel::LoadSettings() {
  const bool left = m_side == PanelSide::Left;
  m_style = left ? g_settings.leftStyle : g_settings.rightStyle;
  m_sort = left ? g_settings.leftSort : g_settings.rightSort;
  m_type = left ? g_settings.leftType : g_settings.rightType;
  m_filter = left ? g_settings.leftFilter : g_settings.rightFilter;
  m_layout = StyleColumns(m_style);
}

void CPanel::StoreSettings() const {
  const bool left = m_side == PanelSide::Left;
  (left ? g_settings.leftStyle : g_settings.rightStyle) = m_style;
  (left ? g_settings.leftSort : g_settings.rightSort) = m_sort;
  (left ? g_settings.leftType : g_settings.rightType) = m_type;
  (left ? g_settings.leftFilter : g_settings.rightFilter) = m_filter;
  (left ? g_settings.left : g_settings.right) = m_directory;
}

void CPanel::SetCursorIndex(int index) {
  const int count = Count();
  if (index >= count) index = count - 1;
  if (index < 0) index = 0;
  const int capacity = PageCapacity() > 0 ? PageCapacity() : 1;
  if (m_firstVisible > index) m_firstVisible = index;
  if (index >= m_firstVisible + capacity) m_firstVisible = index - capacity + 1;
  if (m_firstVisible < 0) m_firstVisible = 0;
  m_cursorOffset = index - m_firstVisible;
}

void CPanel::MoveCursor(int delta) { SetCursorIndex(CursorIndex() + delta); }

bool CPanel::PutCursorOn(const wchar_t* name) {
  for (int i = 0; i < Count(); ++i) {
    if (std::wcscmp(At(i)->Name(), name) != 0) continue;
    SetCursorIndex(i);
    return true;
  }
  return false;
}

bool CPanel::HandleCursorKey(uint32_t key) {
  const int rows = m_geometry.rows > 0 ? m_geometry.rows : 1;
  const int page = PageCapacity() > 0 ? PageCapacity() : 1;
  switch (key) {
    case Key::Up: MoveCursor(-1); return true;
    case Key::Down: MoveCursor(1); return true;
    case Key::PageUp: MoveCursor(-page); return true;
    case Key::PageDown: MoveCursor(page); return true;
    case Key::Home: SetCursorIndex(0); return true;
    case Key::End: SetCursorIndex(Count() - 1); return true;
    // Across the columns of the brief styles; a page in the others.
    case Key::Left: MoveCursor(m_layout.entriesPerRow > 1 ? -rows : -page); return true;
    case Key::Right: MoveCursor(m_layout.entriesPerRow > 1 ? rows : page); return true;
    default: return false;
  }
}

void CPanel::SetStyle(PanelStyle style) {
  const int index = CursorIndex();
  m_style = style;
  m_layout = StyleColumns(style);
  DistributeWidth(&m_layout, m_geometry.innerWidth);
  m_firstVisible = 0;
  SetCursorIndex(index);
}

void CPanel::SetSortOrder(SortOrder order) {
  if (!IsReversed(order) && IsReversed(m_sort)) order = Reversed(order);
  SortAs(order);
}

void CPanel::ToggleReverse() { SortAs(Reversed(m_sort)); }

void CPanel::SortAs(SortOrder order) {
  m_sort = order;
  const entry* current = CursorEntry();
  const Westring name = current != nullptr ? Westring(current->Name()) : Westring();
  SortEntries(m_entries.Items(), Count(), m_sort);
  if (!name.IsEmpty()) PutCursorOn(name.c_str());
}

void CPanel::Layout(int columns, int lines, bool fullScreen) {
  m_geometry = PanelGeometry(static_cast<int>(m_side), columns, lines, fullScreen);
  m_layout = StyleColumns(m_style);
  DistributeWidth(&m_layout, m_geometry.innerWidth);
  SetCursorIndex(CursorIndex());
}

void CPanel::RememberPosition() {
  const entry* current = CursorEntry();
  m_positions.Remember(m_directory, m_firstVisible, current != nullptr ? current->Name() : L"");
}

bool CPanel::RestorePosition() {
  const TPanelPosition* position = m_positions.Recall(m_directory);
  if (position == nullptr) return false;
  m_firstVisible = position->firstVisible < Count() ? position->firstVisible : 0;
  m_cursorOffset = 0;
  if (!PutCursorOn(position->cursorName.c_str())) SetCursorIndex(m_firstVisible);
  return true;
}
