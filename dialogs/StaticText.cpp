#include "dialogs/StaticText.h"

StaticText::StaticText(Dialog* dialog, int col, int row, bool newGroup, const char* text,
                       uint8_t attr)
    : DialogElement(dialog, col, row, newGroup), m_text(text), m_attr(attr) {
  Draw();
}

void StaticText::Draw() {
  const int attr = m_attr ? m_attr : m_dialog->NormalColour();
  if (m_col < 0)
    m_dialog->WriteCentred(m_row, m_text.c_str(), attr);
  else
    m_dialog->WriteText(m_col, m_row, m_text.c_str(), attr);
}

int Dialog::AddStaticText(int col, int row, bool newGroup, const char* text, uint8_t attr) {
  return (new StaticText(this, col, row, newGroup, text, attr))->Index();
}
