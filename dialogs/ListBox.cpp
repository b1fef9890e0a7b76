#include "dialogs/ListBox.h"

#include <algorithm>

#include "console/Console.h"
#include "console/KeyCodes.h"
#include "dialogs/Look.h"

namespace {
constexpr uint32_t kFirstNonSearchKey = 0xFFE0;
}  // namespace

ListBoxBase::ListBoxBase(Dialog* dialog, int col, int row, bool newGroup, int width, int height,
                         int count, int* selected, int exitCode)
    : DialogElement(dialog, col, row, newGroup),
      m_width(width),
      m_height(std::max(1, height)),
      m_count(count),
      m_selected(selected),
      m_exitCode(exitCode) {
  m_focusable = true;
  if (*m_selected >= m_count) *m_selected = m_count - 1;
  if (*m_selected < 0) *m_selected = 0;
  m_cursorRow = *m_selected;
  if (m_cursorRow > m_height - 1) {
    m_cursorRow = m_height - 1;
    m_top = *m_selected - (m_height - 1);
  }
}

ListBoxBase::~ListBoxBase() = default;

Westring ListBoxBase::ItemText(int) const { return Westring(); }

void ListBoxBase::DrawText(int row, const Westring& text, uint8_t attr) {
  m_dialog->WriteText(m_col, m_row + row, text.FitLeft(m_width).c_str(), attr);
}

// --- Drawing -------------------------------------------------------------------

void ListBoxBase::Draw() {
  int& selected = *m_selected;
  selected = std::max(0, std::min(selected, m_count - 1));
  if (selected < m_top) m_top = selected;
  if (selected >= m_top + m_height) m_top = selected - m_height + 1;
  m_top = std::max(0, std::min(m_top, std::max(0, m_count - 1)));
  m_cursorRow = selected - m_top;

  const uint8_t menu = Colour(ColourClass::Menu);
  const uint8_t cursor = HasFocus() ? Colour(ColourClass::MenuHighlight) : menu;
  auto drawRow = [&](int row) {
    const int index = m_top + row;
    if (index < m_count)
      DrawItem(row, index, row == m_cursorRow ? cursor : menu);
    else
      DrawText(row, Westring(), menu);
  };
  // With the same top only the rows the cursor left and entered change.
  if (m_top == m_lastTop && m_lastCursorRow >= 0) {
    if (m_lastCursorRow != m_cursorRow) drawRow(m_lastCursorRow);
    drawRow(m_cursorRow);
  } else {
    for (int row = 0; row < m_height; ++row) drawRow(row);
  }
  m_lastTop = m_top;
  m_lastCursorRow = m_cursorRow;
}

void ListBoxBase::Refresh() {
  m_lastTop = -1;
  Draw();
}

void ListBoxBase::SetFocus(bool focused) {
  if (!focused) ClearSearch();
  Refresh();
}

void ListBoxBase::MoveTo(int index) {
  *m_selected = std::max(0, std::min(index, m_count - 1));
  Draw();
}

// --- Keys ----------------------------------------------------------------------

bool ListBoxBase::HandleEvent(const TDialogEvent& event) {
  switch (event.type) {
    case TDialogEvent::Key: return HandleKey(event.key);
    case TDialogEvent::SetCount:
      m_count = std::max(0, event.value);
      Refresh();
      return true;
    case TDialogEvent::Refresh:
      Refresh();
      return true;
    default: return event.IsMouse() && HandleMouse(event);
  }
}

void ListBoxBase::EndDialog() {
  if (m_exitCode > 0)
    m_dialog->SetResult(m_exitCode);
  else
    m_dialog->Accept();
}

void ListBoxBase::End() {
  m_top = std::max(0, m_count - m_height);
  MoveTo(m_count - 1);
}

bool ListBoxBase::HandleKey(uint32_t key) {
  const int selected = *m_selected;
  switch (key) {
    case Key::Up: MoveTo(selected - 1); break;
    case Key::Down: MoveTo(selected + 1); break;
    case Key::PageUp:
      m_top = std::max(0, m_top - m_height);
      MoveTo(selected - m_height);
      break;
    case Key::PageDown:
      m_top = std::max(0, std::min(m_top + m_height, m_count - m_height));
      MoveTo(selected + m_height);
      break;
    case Key::Home: MoveTo(0); break;
    case Key::End: End(); break;
    case Key::Enter: EndDialog(); break;
    default:
      if (m_exitCode == -1) {
        m_dialog->SetResult(static_cast<int>(key));
        return true;
      }
      // A letter that starts no item leaves the search text as it was.
      if (key < kFirstNonSearchKey) return Search(static_cast<wchar_t>(key));
      ClearSearch();
      return false;
  }
  return true;
}

// --- Incremental search ----------------------------------------------------------

bool ListBoxBase::Search(wchar_t ch) {
  if (m_count == 0) return false;
  Westring wanted = m_search;
  wanted += ch;
  const int length = wanted.Length();
  for (int k = 0; k < m_count; ++k) {
    const int index = (*m_selected + k) % m_count;
    if (FoldCompareN(ItemText(index), wanted, length) == 0) {
      m_search = wanted;
      MoveTo(index);
      ShowSearch();
      return true;
    }
  }
  return false;
}

// The search text sits at the right end of the dialog's bottom frame row.
void ListBoxBase::ShowSearch() {
  m_searchWin.reset();
  const int width = m_search.Length() + 2;
  const int right = m_dialog->Right() - 2;
  const int left = std::max(m_dialog->Left() + 1, right - width + 1);
  const int row = m_dialog->Bottom();
  m_searchWin = std::make_unique<Win>(left, row, right, row, m_dialog->FocusColour(), -1, true);
  m_searchWin->WriteText(1, 0, m_search.c_str());
}

void ListBoxBase::ClearSearch() {
  m_search = Westring();
  m_searchWin.reset();
}

// --- Mouse ---------------------------------------------------------------------

bool ListBoxBase::HandleMouse(const TDialogEvent& event) {
  const bool inColumns = event.col >= m_col && event.col < m_col + m_width;
  if (!inColumns) return false;
  const bool pressOrDrag = event.type == TDialogEvent::LeftPress || event.type == TDialogEvent::LeftDrag;
  if (pressOrDrag && event.row == m_row - 1) {
    AutoScroll(-1);
    return true;
  }
  if (pressOrDrag && event.row == m_row + m_height) {
    AutoScroll(+1);
    return true;
  }
  if (event.row < m_row || event.row >= m_row + m_height) return false;
  if (event.type == TDialogEvent::Wheel) {
    MoveTo(*m_selected - event.value);
    return true;
  }
  if (event.type == TDialogEvent::RightPress || event.type == TDialogEvent::RightRelease) return false;
  m_dialog->SetFocusTo(m_index);
  MoveTo(std::min(m_top + event.row - m_row, m_count - 1));
  if (event.type == TDialogEvent::LeftDoubleClick) EndDialog();
  if (event.type == TDialogEvent::LeftRelease && m_exitCode == -1) m_dialog->Accept();
  return true;
}

// While the button stays down the list moves one item a step; the next
// event (the release, or a move) ends it and is left for the dialog to read.
void ListBoxBase::AutoScroll(int step) {
  m_dialog->SetFocusTo(m_index);
  for (;;) {
    const int before = *m_selected;
    MoveTo(before + step);
    if (*m_selected == before) return;
    if (!g_console->WaitWithoutInput(g_scrollDelay)) return;
  }
}

// --- Item kinds ------------------------------------------------------------------

ListBoxString::ListBoxString(Dialog* dialog, int col, int row, bool newGroup, int width, int height,
                             const char* const* items, int count, int* selected, int exitCode)
    : ListBoxBase(dialog, col, row, newGroup, width, height, count, selected, exitCode),
      m_items(items) {}

void ListBoxString::DrawItem(int row, int index, uint8_t attr) {
  DrawText(row, Westring(m_items[index]), attr);
}

int Dialog::AddListBox(int col, int row, bool newGroup, int width, int height,
                       TObjectStore<Westring>* items, int* selected, int exitCode) {
  return Added(new ListBoxWestring(this, col, row, newGroup, width, height, items, selected, exitCode));
}

int Dialog::AddListBox(int col, int row, bool newGroup, int width, int height,
                       TObjectStore<Estring>* items, int* selected, int exitCode) {
  return Added(new ListBoxEstring(this, col, row, newGroup, width, height, items, selected, exitCode));
}

int Dialog::AddListBox(int col, int row, bool newGroup, int width, int height,
                       const char* const* items, int count, int* selected, int exitCode) {
  return Added(
      new ListBoxString(this, col, row, newGroup, width, height, items, count, selected, exitCode));
}
