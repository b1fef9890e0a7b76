// Start-up of vk: the command line, the console, file locations, locale
// conventions and vk.ini, then (until the main loop exists) a demonstration
// screen: F2 shows a message box, F3 a dialog with every kind of element,
// F4 to F6 the settings dialogs, Shift+F9 saves vk.ini.
#include <gdk/gdk.h>
#include <gtkmm/main.h>

#include <csignal>
#include <cstdlib>
#include <cstdio>
#include <cwchar>
#include <string>

#include "console/Console.h"
#include "console/GdkLock.h"
#include "app/ConfigFile.h"
#include "app/FileLocations.h"
#include "app/LocaleConventions.h"
#include "app/Settings.h"
#include "app/SettingsDialogs.h"
#include "app/Startup.h"
#include "app/StartupOptions.h"
#include "console/KeyCodes.h"
#include "dialogs/Dialog.h"
#include "dialogs/Look.h"
#include "dialogs/MessageBox.h"
#include "foundation/Cell.h"

namespace {

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
  console.WriteText(0, 24, L"F2 F3 demos, F4-F6 options, ShF9 save. Last key:",
                    MakeAttr(Color::LightGray, Color::Black));
  console.SetCursorPos(59, 8);
  console.SetCursorSize(15);
}

void ShowMessageBoxDemo(CConsole& console) {
  const int answer = MessageBox(Westring("The file already exists. Overwrite it?"),
                                Westring("/home/user/report.txt"), MessageStyle::OkCancelSkipAll);
  wchar_t text[40];
  std::swprintf(text, 40, L" Message box answered %d  ", answer);
  console.WriteText(0, 23, text, MakeAttr(Color::Yellow, Color::Black));
}

void ShowDialogDemo(CConsole& console) {
  static Westring name(L"report.txt");
  static int32_t count = 42;
  static uint8_t overwrite = 1, tristate = 1;
  static int mode = 2, listChoice = 1, colourChoice = 0;
  static float progress = 0.6f;
  static uint8_t colours[3] = {0x1F, 0x4E, 0x70};
  static const char* const kColourNames[3] = {"Panel", "Warning", "Dialog"};
  TObjectStore<Westring> items;
  for (const wchar_t* item : {L"alpha", L"beta", L"gamma", L"delta", L"epsilon", L"zeta", L"eta"})
    items.Append(new Westring(item));

  Dialog dialog(-1, -3, 76, 20, Colour(ColourClass::Messages));
  dialog.AddStaticText(-1, 0, true, "Every dialog element");
  dialog.AddStaticText(1, 2, true, "Name:");
  dialog.AddStringField(8, 2, false, &name, 30, 64, 0);
  dialog.AddStaticText(42, 2, true, "Count:");
  dialog.AddIntegerField(50, 2, false, &count, 8);
  dialog.AddCheckBox(2, 4, true, &overwrite, "_Overwrite existing files", true);
  dialog.AddCheckBox3S(2, 5, true, &tristate, "_Three states", true);
  dialog.AddStaticText(2, 7, true, "Mode:");
  dialog.AddRadioButton(2, 8, false, &mode, 1, "_Ask");
  dialog.AddRadioButton(2, 9, false, &mode, 2, "A_lways");
  dialog.AddRadioButton(2, 10, false, &mode, 3, "N_ever");
  dialog.AddListBox(36, 4, true, 14, 6, &items, &listChoice, 0);
  dialog.AddColourSelector(56, 4, true, 12, 3, kColourNames, 3, colours, &colourChoice, 0);
  dialog.AddStaticText(2, 13, true, "Progress:");
  dialog.AddProgressIndicator(12, 13, true, 40, &progress);
  const TButtonSpec buttons[] = {{DialogResult::Ok, "_OK"}, {'h', "_Help"}, {DialogResult::Cancel, "Cancel"}, {0, nullptr}};
  dialog.AddButtonRow(-1, -1, buttons);
  const int result = dialog.Run();
  if (result == DialogResult::Ok) dialog.CommitAll();
  wchar_t text[80];
  std::swprintf(text, 80, L" Dialog gave %d: name %ls, count %d, mode %d   ", result, name.c_str(),
                count, mode);
  console.WriteText(0, 23, text, MakeAttr(Color::Yellow, Color::Black));
}

// Configuration messages go to the user one message box at a time.
void ShowConfigMessage(const Westring& message) { MessageBox(message, Westring(), MessageStyle::Ok); }

}  // namespace

int main(int argc, char** argv) {
  const Westring programPath = AbsolutePath(argv[0]);
  TStartupOptions options;
  Estring message;
  if (ParseStartupOptions(argc, argv, &options, &message) != 0) {
    std::printf("%s\n", message.c_str());
    return 1;
  }
  // GDK's global lock must exist before the toolkit starts; the console's
  // window-system thread and this thread share it.
  InitGdkThreads();
  Gtk::Main kit(argc, argv);
  // The demonstration has nothing to save: a signal ends it at once, even
  // while a dialog waits for a key.
  std::signal(SIGINT, [](int) { std::_Exit(0); });
  std::signal(SIGTERM, [](int) { std::_Exit(0); });
  {
    CConsole console;
    g_console = &console;
    console.SetIcons({"/usr/local/share/icons/hicolor/16x16/apps/varnak.png",
                      "/usr/local/share/icons/hicolor/scalable/apps/varnak.svg"});
    g_breakFlag = 0;
    ApplyLocaleConventions();
    SetFileLocations(programPath, options.configFile);
    SetConfigMessageHandler(ShowConfigMessage);
    LoadConfig(GetFileLocation(FileKind::Configuration), false);
    ApplyConfiguration();
    ApplyLocaleConventions();
    if (!options.viewFile.IsEmpty() || !options.editFile.IsEmpty()) {
      MessageBox(Westring("The internal viewer and editor are not built yet."), Westring(),
                 MessageStyle::Ok | MessageStyle::Messages);
      return 0;
    }
    DrawDemo(console);
    // Shows each key code as it arrives, until F10 or Esc.
    for (;;) {
      TMouseRecord info;
      const uint32_t code = console.GetKey(&info, 200);
      if (code == 0) continue;
      if (code == Key::F10 || code == Key::Esc) break;
      if (code == Key::F2) ShowMessageBoxDemo(console);
      if (code == Key::F3) ShowDialogDemo(console);
      if (code == Key::F4) RunConfigurationDialog();
      if (code == Key::F5) RunColoursDialog();
      if (code == Key::F6) RunConfirmationsDialog();
      if (code == Key::ShiftF1 + 8) SaveConfig(GetFileLocation(FileKind::Configuration));
      wchar_t text[40];
      std::swprintf(text, 40, L" 0x%06X  state %04X  ", code, info.state);
      console.WriteText(48, 24, text, MakeAttr(Color::Yellow, Color::Black));
    }
    if (g_settings.autoSave) SaveConfig(GetFileLocation(FileKind::Configuration));
    const int last = console.Lines() - 1;
    console.FillArea(0, last - 1, console.Columns(), 2, Colour(ColourClass::CommandLine));
    console.SetCursorSize(15);
    console.SetTitle(L"Varnak");
    console.SetCursorPos(0, last);
    if (!options.exitDirectoryFile.IsEmpty())
      WriteExitDirectoryFile(options.exitDirectoryFile, CurrentDirectory());
  }
  return 0;
}
