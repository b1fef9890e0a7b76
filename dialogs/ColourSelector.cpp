#include "dialogs/ColourSelector.h"

ColourSelector::ColourSelector(Dialog* dialog, int col, int row, bool newGroup, int width,
                               int height, const char* const* names, int count, uint8_t* colours,
                               int* selected, int exitCode)
    : ListBoxString(dialog, col, row, newGroup, width, height, names, count, selected, exitCode),
      m_colours(colours) {}

// Each name shows its own colour; the cursor row is marked by > and < on
// either side instead of a highlight, which would hide the colour. The marks
// stay while another element has the focus, so the class being edited shows.
void ColourSelector::DrawItem(int row, int index, uint8_t) {
  DrawText(row, Westring(m_items[index]), m_colours[index]);
  const bool cursor = row == CursorRow();
  m_dialog->WriteText(m_col - 1, m_row + row, cursor ? L">" : L" ");
  m_dialog->WriteText(m_col + m_width, m_row + row, cursor ? L"<" : L" ");
}

bool ColourSelector::HandleEvent(const TDialogEvent& event) {
  if (event.type != TDialogEvent::Key || Count() == 0) return ListBoxString::HandleEvent(event);
  uint8_t& colour = m_colours[Selected()];
  const uint8_t foreground = AttrForeground(colour), background = AttrBackground(colour);
  switch (event.key) {
    case L'f':
      colour = MakeAttr((foreground + 1) & 15, background);
      break;
    case L'F':
      colour = MakeAttr((foreground + 15) & 15, background);
      break;
    case L'b':
      colour = MakeAttr(foreground, (background + 1) & 15);
      break;
    case L'B':
      colour = MakeAttr(foreground, (background + 15) & 15);
      break;
    default:
      return ListBoxString::HandleEvent(event);
  }
  Refresh();
  return true;
}

int Dialog::AddColourSelector(int col, int row, bool newGroup, int width, int height,
                              const char* const* names, int count, uint8_t* colours, int* selected,
                              int exitCode) {
  return Added(new ColourSelector(this, col, row, newGroup, width, height, names, count, colours,
                                  selected, exitCode));
}
