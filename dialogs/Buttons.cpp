#include "dialogs/Buttons.h"

#include "console/KeyCodes.h"
#include "dialogs/Win.h"

namespace {

// The hot-key letter of an element as the highlight list of its label.
Westring Highlights(const Dialog* dialog, int index) {
  const wchar_t letter = dialog->HotKeyLetter(index);
  return letter ? Westring(1, letter) : Westring();
}

constexpr int kButtonGap = 2;  // blanks after each button of a row

}  // namespace

// --- PushButton ----------------------------------------------------------------

PushButton::PushButton(Dialog* dialog, int col, int row, bool newGroup, int code, const char* label)
    : DialogElement(dialog, col, row, newGroup), m_code(code) {
  m_label = dialog->TakeHotKey(m_index, label);
  m_focusable = true;
  m_hotKey = static_cast<uint32_t>(code);
  if (dialog->DefaultResult() == 0) dialog->SetDefaultResult(code);
}

bool PushButton::HandleEvent(const TDialogEvent& event) {
  switch (event.type) {
    case TDialogEvent::Key:
      if (event.key != L' ' && event.key != Key::Enter) return false;
      m_dialog->SetResult(m_code);
      return true;
    case TDialogEvent::LeftPress:
      if (!Hits(event, Width())) return false;
      m_dialog->SetFocusTo(m_index);
      return true;
    case TDialogEvent::LeftRelease:
      if (!Hits(event, Width())) return false;
      m_dialog->SetResult(m_code);
      return true;
    default:
      return false;
  }
}

void PushButton::Activate() { m_dialog->SetResult(m_code); }

void PushButton::Draw() {
  const bool focused = HasFocus();
  const uint8_t attr = focused ? m_dialog->ButtonFocusColour() : m_dialog->NormalColour();
  const Westring text = Westring(L"[ ") + m_label + L" ]";
  m_dialog->WriteHotKeyText(m_col, m_row, text.c_str(), Highlights(m_dialog, m_index).c_str(), attr);
  // The default button shows itself by its brackets while another element has the focus.
  if (!focused && m_code == m_dialog->DefaultResult()) {
    const uint8_t bracket = HotKeyAttr(attr);
    m_dialog->WriteText(m_col, m_row, L"[", bracket);
    m_dialog->WriteText(m_col + Width() - 1, m_row, L"]", bracket);
  }
}

int Dialog::AddPushButton(int col, int row, bool newGroup, int code, const char* label) {
  return Added(new PushButton(this, col, row, newGroup, code, label));
}

int Dialog::AddButtonRow(int col, int row, const TButtonSpec* buttons) {
  int width = -kButtonGap;
  for (const TButtonSpec* b = buttons; b->code != 0; ++b) {
    const Westring label(b->label);
    width += label.Length() - (label.Find(L'_') >= 0 ? 1 : 0) + 4 + kButtonGap;
  }
  if (col < 0) col = std::max(0, (Width() - width) / 2);
  if (row < 0) row = Height() + row;
  int first = -1;
  for (const TButtonSpec* b = buttons; b->code != 0; ++b) {
    auto* button = new PushButton(this, col, row, first < 0, b->code, b->label);
    if (first < 0) first = button->Index();
    button->Draw();
    col += button->Width() + kButtonGap;
  }
  return first;
}

int Dialog::AddOkCancel(int col, int row) {
  static const TButtonSpec kOkCancel[] = {
      {DialogResult::Ok, "_OK"}, {DialogResult::Cancel, "Cancel"}, {0, nullptr}};
  return AddButtonRow(col, row, kOkCancel);
}

// --- ExitKey -------------------------------------------------------------------

ExitKey::ExitKey(Dialog* dialog, uint32_t key) : DialogElement(dialog, 0, 0, true) {
  m_hotKey = key;
}

void ExitKey::Activate() { m_dialog->SetResult(static_cast<int>(m_hotKey)); }

int Dialog::AddExitKey(uint32_t key) { return Added(new ExitKey(this, key)); }
