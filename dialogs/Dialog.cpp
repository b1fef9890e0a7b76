#include "dialogs/Dialog.h"

#include <cassert>
#include <cwctype>

#include "console/Console.h"
#include "console/KeyCodes.h"
#include "console/KeyTable.h"
#include "dialogs/Buttons.h"
#include "dialogs/CheckBox.h"
#include "dialogs/Help.h"
#include "dialogs/Look.h"

thread_local int g_currentDialogGroup = 0;

// --- DialogElement -------------------------------------------------------------

DialogElement::DialogElement(Dialog* dialog, int col, int row, bool newGroup)
    : m_dialog(dialog), m_col(col), m_row(row), m_newGroup(newGroup) {
  m_index = dialog->Register(this);
  if (newGroup || m_index == 0) {
    g_currentDialogGroup = m_index;
    m_groupCurrent = m_index;
  } else {
    m_groupCurrent = m_index;
  }
  m_group = g_currentDialogGroup;
}

bool DialogElement::HandleEvent(const TDialogEvent&) { return false; }

void DialogElement::Activate() { m_dialog->SetFocusTo(m_index); }

void DialogElement::SetFocus(bool) { Draw(); }

bool DialogElement::HasFocus() const { return m_dialog->Focus() == m_index; }

bool DialogElement::Hits(const TDialogEvent& event, int width) const {
  return event.row == m_row && event.col >= m_col && event.col < m_col + width;
}

// --- Dialog --------------------------------------------------------------------

Dialog::Dialog(int left, int top, int rightOrWidth, int bottomOrHeight, uint8_t attr)
    : Win(left, top, rightOrWidth, bottomOrHeight, attr, attr),
      m_colours{attr, Colour(ColourClass::InputFields), Colour(ColourClass::InputFields)} {}

Dialog::~Dialog() {
  for (int i = 0; i < m_count; ++i) delete m_elements[i];
  g_console->SetCursorSize(0);
}

int Dialog::Register(DialogElement* element) {
  assert(m_count < MaxElements && "a dialog holds at most 100 elements");
  if (m_count >= MaxElements) return MaxElements - 1;
  m_elements[m_count] = element;
  return m_count++;
}

Westring Dialog::TakeHotKey(int index, const char* label) {
  Westring text(label);
  const int marker = text.Find(L'_');
  if (marker < 0 || text[marker + 1] == 0 || index < 0 || index >= MaxElements) {
    if (marker >= 0) text = text.Left(marker) + text.Mid(marker + 1);
    return text;
  }
  const wchar_t letter = static_cast<wchar_t>(towlower(static_cast<wint_t>(text[marker + 1])));
  while (m_hotKeyCount <= index) m_hotKeys[m_hotKeyCount++] = 0;
  m_hotKeys[index] = letter;
  return text.Left(marker) + text.Mid(marker + 1);
}

wchar_t Dialog::HotKeyLetter(int index) const {
  return index >= 0 && index < m_hotKeyCount ? m_hotKeys[index] : 0;
}

void Dialog::SetHotKeyList(const char* letters, int count) {
  m_hotKeyCount = 0;
  for (int i = 0; i < count && i < MaxElements && letters[i]; ++i)
    m_hotKeys[m_hotKeyCount++] = static_cast<wchar_t>(static_cast<unsigned char>(letters[i]));
}

void Dialog::SetColour(int which, uint8_t attr) {
  if (which >= 0 && which < 3) m_colours[which] = attr;
}

void Dialog::SetDefaultButton(int i) {
  DialogElement* element = Element(i);
  if (!element || element->TypeCode() != PushButton::Type) return;
  m_defaultResult = static_cast<PushButton*>(element)->Code();
  Draw(-1);
}

void Dialog::Draw(int i) {
  if (i >= 0) {
    if (DialogElement* element = Element(i)) element->Draw();
    return;
  }
  for (int k = 0; k < m_count; ++k) m_elements[k]->Draw();
}

void Dialog::CommitAll() {
  for (int k = 0; k < m_count; ++k) m_elements[k]->Commit();
}

// --- Focus ---------------------------------------------------------------------

bool Dialog::MayChangeFocus(int, int&) { return true; }

void Dialog::SetFocusTo(int n) {
  if (n < 0 || n >= m_count || n == m_focus) return;
  if (!MayChangeFocus(m_focus, n) || n < 0 || n >= m_count || n == m_focus) return;
  const int previous = m_focus;
  DialogElement* first = m_elements[m_elements[n]->m_group];
  const int previousCurrent = first->m_groupCurrent;
  m_focus = n;
  first->m_groupCurrent = n;
  m_elements[n]->SetFocus(true);
  if (previous >= 0 && previous < m_count) m_elements[previous]->SetFocus(false);
  if (previousCurrent != n && previousCurrent != previous) m_elements[previousCurrent]->SetFocus(false);
  FocusChanged();
}

void Dialog::MoveInGroup(int step) {
  if (m_count == 0) return;
  const int group = m_elements[m_focus]->m_group;
  int i = m_focus;
  for (int k = 0; k < m_count; ++k) {
    i = (i + step + m_count) % m_count;
    if (i == m_focus) return;
    if (m_elements[i]->m_group == group && m_elements[i]->m_focusable) {
      SetFocusTo(i);
      return;
    }
  }
}

void Dialog::MoveToGroup(int step) {
  if (m_count == 0) return;
  const int group = m_elements[m_focus]->m_group;
  int i = m_focus;
  for (int k = 0; k < m_count; ++k) {
    i = (i + step + m_count) % m_count;
    DialogElement* element = m_elements[i];
    if (!element->m_focusable || element->m_group == group) continue;
    // A group entered anew starts at its first element, except that a
    // question keeps the focus on its chosen answer: tabbing through a
    // dialog must never change an answer.
    DialogElement* first = m_elements[element->m_group];
    DialogElement* current = m_elements[first->m_groupCurrent];
    const bool answer = current->TypeCode() == RadioButton::Type;
    const int target = first->m_newGroup && !answer ? element->m_group : first->m_groupCurrent;
    SetFocusTo(target);
    if (!m_elements[m_focus]->m_focusable) MoveInGroup(+1);
    return;
  }
}

int Dialog::Added(DialogElement* element) {
  element->Draw();
  return element->Index();
}

void Dialog::SetGroupCurrent(int index) {
  if (DialogElement* element = Element(index)) m_elements[element->m_group]->m_groupCurrent = index;
}

// The focus rests on its group's current element, and on something that can
// hold it when anything can.
void Dialog::EnsureFocusable() {
  if (m_count == 0) return;
  const int current = m_elements[m_elements[m_focus]->m_group]->m_groupCurrent;
  if (current != m_focus) SetFocusTo(current);
  if (m_elements[m_focus]->m_focusable) return;
  MoveInGroup(+1);
  if (!m_elements[m_focus]->m_focusable) MoveToGroup(+1);
}

// --- Running -------------------------------------------------------------------

int Dialog::Run(int ms) {
  m_result = 0;
  m_pressedOutside = false;
  g_console->SetCursorSize(0);
  if (m_count == 0) AddExitKey(Key::Esc);
  // A new screen size centres the dialog again over the screens below it.
  CRedrawOnResize redraw([this] {
    RecursiveMutexGuard guard(m_mutex);
    Repaint();
    Draw(-1);
  });
  bool firstRound = true;
  while (m_result == 0) {
    {
      // Drawing, too, waits for a worker that is changing an element.
      RecursiveMutexGuard guard(m_mutex);
      EnsureFocusable();
      if (firstRound) {
        Draw(-1);
        if (m_elements[m_focus]->m_focusable) m_elements[m_focus]->SetFocus(true);
        firstRound = false;
      }
      Draw(m_focus);
    }
    TDialogEvent event = ReadDialogEvent(ms);
    if (event.type == TDialogEvent::TimeOut) return 0;
    if (event.IsMouse()) {
      event.col -= OriginColumn();
      event.row -= OriginRow();
    }
    {
      RecursiveMutexGuard guard(m_mutex);
      ProcessEvent(event);
    }
    if (m_result == static_cast<int>(Key::F1) && m_helpTopic >= 0) {
      // Help covers the dialog and puts it back; the dialog goes on.
      m_result = 0;
      ShowHelp(m_helpTopic);
    }
  }
  return m_result;
}

bool Dialog::HandleEventFor(int i, const TDialogEvent& event) {
  RecursiveMutexGuard guard(m_mutex);
  DialogElement* element = Element(i);
  return element && element->HandleEvent(event);
}

void Dialog::ProcessEvent(const TDialogEvent& event) {
  if (event.type == TDialogEvent::Key) {
    ProcessKey(event);
  } else if (event.type == TDialogEvent::RightRelease) {
    Accept();
  } else if (event.IsMouse() && event.type != TDialogEvent::RightPress) {
    ProcessMouse(event);
  }
}

void Dialog::ProcessKey(const TDialogEvent& event) {
  if (DialogElement* focused = Element(m_focus); focused && focused->HandleEvent(event)) return;
  switch (event.key) {
    case Key::Tab: MoveToGroup(+1); return;
    case Key::ShiftTab: MoveToGroup(-1); return;
    case Key::Up:
    case Key::Left: MoveInGroup(-1); return;
    case Key::Down:
    case Key::Right: MoveInGroup(+1); return;
    case Key::Enter: Accept(); return;
    case Key::Esc: m_result = DialogResult::Cancel; return;
    case Key::F1:
      if (m_helpTopic < 0) break;
      m_result = static_cast<int>(Key::F1);
      return;
    default: break;
  }
  if (DialogElement* element = FindHotKey(event.key)) element->Activate();
}

DialogElement* Dialog::FindHotKey(uint32_t key) const {
  for (int i = 0; i < m_count; ++i)
    if (m_elements[i]->m_hotKey == key) return m_elements[i];
  if (key <= 255) {
    const uint32_t lower = static_cast<uint32_t>(towlower(static_cast<wint_t>(key)));
    for (int i = 0; i < m_count; ++i)
      if (m_elements[i]->m_hotKey == lower) return m_elements[i];
  }
  if (key & Key::Extended) {
    const uint32_t letter = AltKeyChar(key);
    if (letter == key) return nullptr;  // not an Alt+letter key
    for (int i = 0; i < m_hotKeyCount && i < m_count; ++i)
      if (static_cast<uint32_t>(m_hotKeys[i]) == letter) return m_elements[i];
  }
  return nullptr;
}

void Dialog::ProcessMouse(const TDialogEvent& event) {
  for (int i = 0; i < m_count; ++i)
    if (m_elements[i]->HandleEvent(event)) return;
  const int col = event.col + OriginColumn(), row = event.row + OriginRow();
  const bool outside = col < Left() || col > Right() || row < Top() || row > Bottom();
  if (event.type == TDialogEvent::LeftPress) {
    m_pressedOutside = outside;
  } else if (event.type == TDialogEvent::LeftRelease) {
    if (outside && m_pressedOutside) m_result = DialogResult::Cancel;
    m_pressedOutside = false;
  }
}
