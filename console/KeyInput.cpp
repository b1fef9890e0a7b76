// Keyboard, input-method and mouse events of the console window, and the
// key reader of the application thread.
#include <gdk/gdkkeysyms.h>
#include <gtk/gtk.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "console/Console.h"
#include "console/KeyCodes.h"
#include "console/KeyTable.h"
#include "console/TermSession.h"

std::atomic<int> g_breakFlag{0};

namespace {

constexpr unsigned kModifierMask = ModState::Shift | ModState::Control | ModState::Alt;

// GDK reports the state from before the key, so a modifier key's own bit is
// toggled to give the state after it.
unsigned ModifierBit(unsigned keyval) {
  switch (keyval) {
    case GDK_KEY_Shift_L:
    case GDK_KEY_Shift_R:
      return ModState::Shift;
    case GDK_KEY_Control_L:
    case GDK_KEY_Control_R:
      return ModState::Control;
    case GDK_KEY_Alt_L:
    case GDK_KEY_Alt_R:
      return ModState::Alt;
    default:
      return 0;
  }
}

int MouseButtonCode(unsigned button) { return button == 1 ? 1 : button == 3 ? 2 : 3; }

}  // namespace

// ---------------------------------------------------------------------------
// Window-system thread, GDK lock held.

// The digit row is found through the keymap, because X key codes differ
// between keyboards; on a PC keyboard they are 10..19. Canonical indexes
// 0..9 stand for the keys 1..9 and 0.
void CConsole::FindDigitRowKeys() {
  static const unsigned kDigits[10] = {GDK_KEY_1, GDK_KEY_2, GDK_KEY_3, GDK_KEY_4, GDK_KEY_5,
                                       GDK_KEY_6, GDK_KEY_7, GDK_KEY_8, GDK_KEY_9, GDK_KEY_0};
  GdkKeymap* keymap = gdk_keymap_get_default();
  for (int i = 0; i < 10; ++i) {
    m_digitRowKeys[i] = 10 + i;
    GdkKeymapKey* keys = nullptr;
    gint count = 0;
    if (!gdk_keymap_get_entries_for_keyval(keymap, kDigits[i], &keys, &count)) continue;
    for (gint k = 0; k < count; ++k)
      if (keys[k].group == 0) {
        m_digitRowKeys[i] = keys[k].keycode;
        break;
      }
    g_free(keys);
  }
}

int CConsole::DigitRowIndex(unsigned hardwareKey) const {
  for (int i = 0; i < 10; ++i)
    if (m_digitRowKeys[i] == hardwareKey) return i;
  return -1;
}

bool CConsole::on_key_press_event(GdkEventKey* event) {
  if (!m_inputMethod) {
    m_inputMethod = gtk_im_multicontext_new();
    gtk_im_context_set_client_window(m_inputMethod, get_window()->gobj());
    g_signal_connect(m_inputMethod, "commit",
                     G_CALLBACK(+[](GtkIMContext*, const gchar* text, gpointer self) {
                       static_cast<CConsole*>(self)->OnCommit(text);
                     }),
                     this);
    FindDigitRowKeys();
  }
  unsigned state = event->state;
  const unsigned modifier = ModifierBit(event->keyval);
  if (modifier) state ^= modifier;
  if (event->keyval == GDK_KEY_Break) {
    int armed = 1;
    g_breakFlag.compare_exchange_strong(armed, 2);
    return true;
  }
  if (!modifier && event->type == GDK_KEY_RELEASE) return true;

  uint32_t code = TranslateKey(event->keyval, state);
  const int digit = DigitRowIndex(event->hardware_keycode);
  // Ctrl with a digit-row key: the reader makes 0x40000 plus the digit of it.
  const unsigned hardwareKey = digit >= 0 ? 10 + digit : event->hardware_keycode;
  if (digit >= 0 && (state & ModState::Control)) code = event->keyval;
  if (code == 0) {
    gtk_im_context_filter_keypress(m_inputMethod, event);
    return true;
  }
  if (m_session != nullptr) {
    // An attached command takes presses as terminal bytes; modifier changes mean nothing to it.
    if (event->type == GDK_KEY_PRESS && !modifier) m_session->SendKey(code);
    return true;
  }
  TConsoleEvent key;
  key.code = static_cast<int32_t>(code);
  key.state = state;
  key.hardwareKey = hardwareKey;
  m_queue.Post(key);
  RestartBlink();
  return true;
}

// A release goes the same way: modifier releases become events too.
bool CConsole::on_key_release_event(GdkEventKey* event) { return on_key_press_event(event); }

void CConsole::OnCommit(const Glib::ustring& text) {
  for (gunichar ch : text) {
    if (m_session != nullptr) {
      m_session->SendKey(ch);
      continue;
    }
    TConsoleEvent key;
    key.code = static_cast<int32_t>(ch);
    m_queue.Post(key);
    RestartBlink();
  }
}

void CConsole::PostMouse(TConsoleEvent::Type type, int code, unsigned state, double x, double y) {
  if (m_session != nullptr) return;
  TConsoleEvent mouse;
  mouse.type = type;
  mouse.code = code;
  mouse.state = state & kModifierMask;
  mouse.column = static_cast<int>(x) / m_cellWidth;
  mouse.row = static_cast<int>(y) / m_cellHeight;
  m_queue.Post(mouse);
}

bool CConsole::on_button_press_event(GdkEventButton* event) {
  const int col = static_cast<int>(event->x) / m_cellWidth;
  const int row = static_cast<int>(event->y) / m_cellHeight;
  if (event->type == GDK_BUTTON_PRESS) {
    if (SelectionPress(col, row)) return true;
    PostMouse(TConsoleEvent::Press, MouseButtonCode(event->button), event->state, event->x, event->y);
  } else if (event->type == GDK_2BUTTON_PRESS) {
    PostMouse(TConsoleEvent::DoubleClick, MouseButtonCode(event->button), event->state, event->x,
              event->y);
  }
  return true;
}

bool CConsole::on_button_release_event(GdkEventButton* event) {
  SelectionRelease();
  PostMouse(TConsoleEvent::Release, MouseButtonCode(event->button), event->state, event->x, event->y);
  return true;
}

bool CConsole::on_motion_notify_event(GdkEventMotion* event) {
  if (SelectionMotion(static_cast<int>(event->x) / m_cellWidth,
                      static_cast<int>(event->y) / m_cellHeight))
    return true;
  const int held = event->state & GDK_BUTTON1_MASK ? 1 : event->state & GDK_BUTTON3_MASK ? 2 : 0;
  PostMouse(TConsoleEvent::Motion, held, event->state, event->x, event->y);
  return true;
}

bool CConsole::on_scroll_event(GdkEventScroll* event) {
  if (event->direction != GDK_SCROLL_UP && event->direction != GDK_SCROLL_DOWN) return false;
  // Ctrl with the wheel zooms the font instead of scrolling.
  if (event->state & GDK_CONTROL_MASK) {
    ZoomFont(event->direction == GDK_SCROLL_UP ? 1 : -1);
    return true;
  }
  PostMouse(TConsoleEvent::Wheel, event->direction == GDK_SCROLL_UP ? 1 : -1, event->state,
            event->x, event->y);
  return true;
}

// Closing the window never destroys it: it asks the application to quit the
// way F10 does, so the application's own confirmation runs.
bool CConsole::on_delete_event(GdkEventAny*) {
  TConsoleEvent key;
  key.code = Key::F10;
  m_queue.Post(key);
  return true;
}

// ---------------------------------------------------------------------------
// Application thread.

namespace {

uint32_t MouseAction(const TConsoleEvent& event, TMouseRecord& record) {
  const bool left = event.code == 1, right = event.code == 2;
  switch (event.type) {
    case TConsoleEvent::Press:
      if (!left && !right) return 0;
      record.action = left ? TMouseRecord::LeftPress : TMouseRecord::RightPress;
      return Key::Mouse;
    case TConsoleEvent::Release:
      if (!left && !right) return 0;
      record.action = left ? TMouseRecord::LeftRelease : TMouseRecord::RightRelease;
      return Key::Mouse;
    case TConsoleEvent::Motion:
      if (!left && !right) return 0;
      record.action = left ? TMouseRecord::LeftDrag : TMouseRecord::RightDrag;
      return Key::Mouse;
    case TConsoleEvent::DoubleClick:
      // A right double click is just another right press.
      if (!left && !right) return 0;
      record.action = left ? TMouseRecord::LeftDoubleClick : TMouseRecord::RightPress;
      return Key::Mouse;
    case TConsoleEvent::Wheel:
      record.action = TMouseRecord::Wheel;
      record.wheelDelta = static_cast<int16_t>(event.code);
      return Key::Mouse;
    default:
      return 0;
  }
}

}  // namespace

uint32_t CConsole::GetKey(TMouseRecord* info, int timeoutMs) {
  if ((m_currentState & kModifierMask) != (m_reportedState & kModifierMask)) {
    m_reportedState = m_currentState;
    if (info) info->state = static_cast<uint16_t>(m_currentState);
    return Key::ModifierChange;
  }
  FollowWindowSize();
  RunIdle();
  if (timeoutMs != 0 && m_holdCount == 0 && m_queue.Count() == 0) NoteFirstScreen();
  std::unique_ptr<TConsoleEvent> event;
  if (timeoutMs >= 0) {
    // A wake-up for a screen dump writes it and waits on for the time left.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    uint32_t left = static_cast<uint32_t>(timeoutMs);
    while (!(event = m_queue.Wait(left))) {
      const auto now = std::chrono::steady_clock::now();
      if (now >= deadline) break;
      left = static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now).count());
      FollowWindowSize();
      if (m_queue.Count() == 0) DumpScreenIfAsked();
    }
  } else {
    // Each slice, or a wake-up for a screen dump, runs the idle routine.
    constexpr uint32_t kIdleSliceMs = 1000;
    while (!(event = m_queue.Wait(kIdleSliceMs))) {
      FollowWindowSize();
      RunIdle();
    }
  }
  if (!event) return 0;
  m_currentState = event->state;
  TMouseRecord record;
  record.state = static_cast<uint16_t>(event->state);
  if (event->type == TConsoleEvent::Key) {
    uint32_t code = static_cast<uint32_t>(event->code);
    if (event->hardwareKey >= 10 && event->hardwareKey <= 19 && (event->state & ModState::Control)) {
      code = Key::CtrlDigit + (event->hardwareKey == 19 ? 0 : event->hardwareKey - 9);
      if (event->state & ModState::Shift) code += Key::ShiftFlag;
    }
    m_reportedState = event->state;
    if (info) *info = record;
    return code;
  }
  record.column = event->column;
  record.row = event->row;
  const uint32_t code = MouseAction(*event, record);
  if (info) *info = record;
  return code;
}

bool CConsole::WaitWithoutInput(int ms) {
  constexpr int kPollMs = 5;
  for (int waited = 0; waited < std::max(ms, 1); waited += kPollMs) {
    if (KeyPending()) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
  }
  return true;
}

bool CConsole::EscPressed() {
  std::unique_ptr<TConsoleEvent> event = m_queue.Wait(0);
  if (!event) return false;
  m_currentState = event->state;
  return event->type == TConsoleEvent::Key && event->code == Key::Esc;
}
