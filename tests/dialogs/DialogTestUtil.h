#pragma once
// Drives dialogs the way a user does: events go into the console's queue and
// the assertions read the cell grid back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/Console.h"
#include "console/KeyCodes.h"
#include "dialogs/Dialog.h"

namespace dialogtest {

inline CConsole& Con() { return *g_console; }

/// Queues keys; the dialog reads them when it runs.
inline void PostKey(uint32_t code) {
  TConsoleEvent event;
  event.type = TConsoleEvent::Key;
  event.code = static_cast<int32_t>(code);
  Con().Events().Post(event);
}
inline void PostKeys(std::initializer_list<uint32_t> codes) {
  for (uint32_t code : codes) PostKey(code);
}
/// Queues typed text, one key per character.
inline void PostText(const wchar_t* text) {
  for (; *text; ++text) PostKey(static_cast<uint32_t>(*text));
}
/// Queues a mouse event at a screen cell: type is TConsoleEvent::Press,
/// Release, Motion, DoubleClick or Wheel; button 1 left, 2 right (wheel: delta).
inline void PostMouse(TConsoleEvent::Type type, int button, int col, int row) {
  TConsoleEvent event;
  event.type = type;
  event.code = button;
  event.column = col;
  event.row = row;
  Con().Events().Post(event);
}
inline void PostClick(int col, int row) {
  PostMouse(TConsoleEvent::Press, 1, col, row);
  PostMouse(TConsoleEvent::Release, 1, col, row);
}

/// Runs a dialog over keys (or typed text) and then Esc.
inline void RunKeys(Dialog& dialog, std::initializer_list<uint32_t> keys) {
  PostKeys(keys);
  PostKey(Key::Esc);
  dialog.Run();
}
inline void RunText(Dialog& dialog, const wchar_t* text) {
  PostText(text);
  PostKey(Key::Esc);
  dialog.Run();
}

/// The characters of `width` screen cells from (col, row).
inline std::u32string ScreenText(int col, int row, int width) {
  std::u32string text;
  for (int c = col; c < col + width; ++c) text += static_cast<char32_t>(Con().CellAt(c, row).ch);
  return text;
}
inline uint8_t AttrAt(int col, int row) { return Con().CellAt(col, row).attr; }

/// The whole screen as UTF-8 text, rows joined by newlines.
inline std::string ScreenRows() {
  std::string rows;
  for (int row = 0; row < Con().Lines(); ++row) {
    Westring text;
    for (char32_t ch : ScreenText(0, row, Con().Columns())) text += static_cast<wchar_t>(ch);
    rows += std::string(text.ToUtf8().c_str()) + "\n";
  }
  return rows;
}

/// Waits for a text on the screen (a message box, say) and answers it with
/// keys; after a few waits without it the keys go anyway, so nothing hangs.
/// Keys still queued (a dialog's typing before the box) are not waits.
struct TBoxWatcher {
  bool seen = false;
  int waits = 0;
  TBoxWatcher(const char* wanted, std::initializer_list<uint32_t> answer) {
    Con().SetIdleHandler([this, wanted = std::string(wanted), keys = std::vector<uint32_t>(answer)] {
      if (seen || waits > 3 || Con().KeyPending()) return;
      seen = ScreenRows().find(wanted) != std::string::npos;
      if (seen || ++waits > 3)
        for (uint32_t key : keys) PostKey(key);
    });
  }
  ~TBoxWatcher() { Con().SetIdleHandler(nullptr); }
};

/// Empties the queue and blanks the screen before a test.
inline void ResetScreen() {
  while (Con().Events().Wait(0)) {
  }
  Con().FillArea(0, 0, Con().Columns(), Con().Lines(), 7);
}

/// A test that starts on an empty queue and a blank screen.
struct ScreenTest : testing::Test {
  void SetUp() override { ResetScreen(); }
};

}  // namespace dialogtest
