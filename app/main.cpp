// Start-up of vk. Until the main loop exists this opens the console and shows
// a demonstration screen: all sixteen colours, a frame and a blinking cursor.
#include <gdk/gdk.h>
#include <gtkmm/main.h>

#include <csignal>
#include <cstdio>
#include <cwchar>
#include <string>

#include "console/Console.h"
#include "console/GdkLock.h"
#include "console/KeyCodes.h"
#include "foundation/Cell.h"

namespace {

volatile std::sig_atomic_t s_quit = 0;

void DrawFrame(CConsole& console, int col, int row, int width, int height, uint8_t attr) {
  console.FillArea(col, row, width, height, attr);
  console.FillCells(col + 1, row, width - 2, {0x2550, attr});
  console.FillCells(col + 1, row + height - 1, width - 2, {0x2550, attr});
  for (int r = row + 1; r < row + height - 1; ++r) {
    console.FillCells(col, r, 1, {0x2551, attr});
    console.FillCells(col + width - 1, r, 1, {0x2551, attr});
  }
  console.FillCells(col, row, 1, {0x2554, attr});
  console.FillCells(col + width - 1, row, 1, {0x2557, attr});
  console.FillCells(col, row + height - 1, 1, {0x255A, attr});
  console.FillCells(col + width - 1, row + height - 1, 1, {0x255D, attr});
}

void DrawDemo(CConsole& console) {
  const uint8_t title = MakeAttr(Color::White, Color::Blue);
  console.FillArea(0, 0, console.Columns(), 1, title);
  console.WriteText(1, 0, L"Varnak \u2014 character-cell console", title);
  static const wchar_t* const kNames[16] = {
      L"black",     L"blue",       L"green",       L"cyan",      L"red",       L"magenta",
      L"brown",     L"light grey", L"dark grey",   L"light blue", L"light green", L"light cyan",
      L"light red", L"light magenta", L"yellow",   L"white"};
  for (int i = 0; i < 16; ++i) {
    const uint8_t fg = i == Color::Black || i == Color::Blue ? Color::White : Color::Black;
    wchar_t line[40];
    std::swprintf(line, 40, L" %2d %-14ls ", i, kNames[i]);
    console.WriteText(2, 2 + i, line, MakeAttr(fg, static_cast<uint8_t>(i)));
    console.WriteText(24, 2 + i, L"foreground \u2588\u2593\u2592\u2591",
                      MakeAttr(static_cast<uint8_t>(i), Color::Black));
  }
  const uint8_t frame = MakeAttr(Color::Yellow, Color::Cyan);
  DrawFrame(console, 48, 2, 30, 10, frame);
  console.WriteText(51, 4, L"Box drawing \u2500\u2502\u250C\u2510", frame);
  console.WriteText(51, 6, L"Latin \u00E9\u00E0\u00FC Cyrillic \u0416", frame);
  console.WriteText(51, 8, L"Cursor \u2192", frame);
  console.WriteText(0, 24, L"F10, Esc or closing the window quits. Last key:",
                    MakeAttr(Color::LightGray, Color::Black));
  console.SetCursorPos(59, 8);
  console.SetCursorSize(15);
}

}  // namespace

int main(int argc, char** argv) {
  // GDK's global lock must exist before the toolkit starts; the console's
  // window-system thread and this thread share it.
  InitGdkThreads();
  Gtk::Main kit(argc, argv);
  std::signal(SIGINT, [](int) { s_quit = 1; });
  std::signal(SIGTERM, [](int) { s_quit = 1; });
  {
    CConsole console;
    g_console = &console;
    DrawDemo(console);
    // Shows each key code as it arrives, until F10 or Esc.
    while (!s_quit) {
      TMouseRecord info;
      const uint32_t code = console.GetKey(&info, 200);
      if (code == 0) continue;
      if (code == Key::F10 || code == Key::Esc) break;
      wchar_t text[40];
      std::swprintf(text, 40, L" 0x%06X  state %04X  ", code, info.state);
      console.WriteText(48, 24, text, MakeAttr(Color::Yellow, Color::Black));
    }
  }
  return 0;
}
