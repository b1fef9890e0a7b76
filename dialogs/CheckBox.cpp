#include "dialogs/CheckBox.h"

#include "console/Console.h"
#include "console/KeyCodes.h"

namespace {

Westring Highlights(const Dialog* dialog, int index) {
  const wchar_t letter = dialog->HotKeyLetter(index);
  return letter ? Westring(1, letter) : Westring();
}

constexpr wchar_t kSelectedMark = 0x2022, kMiddleMark = 0x00B7;
constexpr int kBoxWidth = 3;
constexpr int kFocusCursorSize = 15;

}  // namespace

// --- CheckBox ------------------------------------------------------------------

CheckBox::CheckBox(Dialog* dialog, int col, int row, bool newGroup, uint8_t* value,
                   const char* label, bool labelRight)
    : DialogElement(dialog, col, row, newGroup), m_value(value), m_labelRight(labelRight) {
  m_label = dialog->TakeHotKey(m_index, label);
  m_focusable = true;
}

int CheckBox::LabelColumn() const {
  return m_labelRight ? m_col + 5 : m_col - 1 - m_label.Length();
}

bool CheckBox::HandleEvent(const TDialogEvent& event) {
  switch (event.type) {
    case TDialogEvent::Key:
      if (event.key == L' ')
        Toggle();
      else if (event.key == Key::Insert)
        Set(1);
      else if (event.key == Key::Delete)
        Set(0);
      else
        return false;
      return true;
    case TDialogEvent::LeftPress:
    case TDialogEvent::LeftRelease: {
      const bool onBox = Hits(event, kBoxWidth);
      const bool onLabel = event.row == m_row && event.col >= LabelColumn() &&
                           event.col < LabelColumn() + m_label.Length();
      if (!onBox && !onLabel) return false;
      if (event.type == TDialogEvent::LeftPress)
        m_dialog->SetFocusTo(m_index);
      else
        Toggle();
      return true;
    }
    default:
      return false;
  }
}

void CheckBox::Activate() {
  m_dialog->SetFocusTo(m_index);
  Toggle();
}

void CheckBox::Toggle() { Set(*m_value ? 0 : 1); }

void CheckBox::Set(uint8_t value) {
  *m_value = value;
  Draw();
}

wchar_t CheckBox::Mark() const { return *m_value ? L'X' : L' '; }

void CheckBox::Draw() {
  const wchar_t box[] = {L'[', Mark(), L']', 0};
  m_dialog->WriteText(m_col, m_row, box, HasFocus() ? m_dialog->FocusColour() : m_dialog->NormalColour());
  m_dialog->WriteHotKeyText(LabelColumn(), m_row, m_label.c_str(),
                            Highlights(m_dialog, m_index).c_str(), m_dialog->NormalColour());
}

void CheckBox3S::Toggle() { Set(static_cast<uint8_t>((*m_value + 1) % 3)); }

wchar_t CheckBox3S::Mark() const {
  return *m_value == 2 ? L'X' : *m_value == 1 ? kMiddleMark : L' ';
}

int Dialog::AddCheckBox(int col, int row, bool newGroup, uint8_t* flag, const char* label,
                        bool labelRight) {
  return Added(new CheckBox(this, col, row, newGroup, flag, label, labelRight));
}

int Dialog::AddCheckBox3S(int col, int row, bool newGroup, uint8_t* value, const char* label,
                          bool labelRight) {
  return Added(new CheckBox3S(this, col, row, newGroup, value, label, labelRight));
}

// --- RadioButton ---------------------------------------------------------------

RadioButton::RadioButton(Dialog* dialog, int col, int row, bool newGroup, int* shared, int value,
                         const char* label)
    : DialogElement(dialog, col, row, newGroup), m_shared(shared), m_value(value) {
  m_label = dialog->TakeHotKey(m_index, label);
  m_focusable = true;
  // The chosen answer is where the focus lands when the group is entered.
  if (*m_shared == m_value) dialog->SetGroupCurrent(m_index);
}

bool RadioButton::HandleEvent(const TDialogEvent& event) {
  if (event.type != TDialogEvent::LeftPress) return false;
  const bool onButton = event.row == m_row && event.col >= m_col &&
                        event.col < m_col + 4 + m_label.Length();
  if (!onButton) return false;
  m_dialog->SetFocusTo(m_index);
  return true;
}

void RadioButton::SetFocus(bool focused) {
  if (focused && *m_shared != m_value) {
    *m_shared = m_value;
    // The mark moves: every button of the question is drawn again.
    for (int i = m_group; i < m_dialog->Count(); ++i) {
      DialogElement* other = m_dialog->Element(i);
      if (other->Group() != m_group) break;
      if (other != this) other->Draw();
    }
  }
  Draw();
  if (focused) {
    m_dialog->PlaceCursor(m_col + 1, m_row);
    g_console->SetCursorSize(kFocusCursorSize);
  } else {
    g_console->SetCursorSize(0);
  }
}

void RadioButton::Draw() {
  const wchar_t box[] = {L'(', *m_shared == m_value ? kSelectedMark : L' ', L')', 0};
  m_dialog->WriteText(m_col, m_row, box, HasFocus() ? m_dialog->FocusColour() : m_dialog->NormalColour());
  m_dialog->WriteHotKeyText(m_col + 4, m_row, m_label.c_str(), Highlights(m_dialog, m_index).c_str(),
                            m_dialog->NormalColour());
}

int Dialog::AddRadioButton(int col, int row, bool newGroup, int* shared, int value,
                           const char* label) {
  return Added(new RadioButton(this, col, row, newGroup, shared, value, label));
}
