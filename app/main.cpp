// Start-up of vk: the command line, the console, file locations, locale
// conventions and vk.ini, then the two panels. Until the main loop exists
// the panel screen below takes the keys the main loop will bind: cursor
// keys, Tab, Enter, Insert, the grey keys, Ctrl+F3..F8, Shift+Alt+F1..F5,
// Ctrl+R, Alt+letters, Shift+F9 and F10 (and Shift+Alt+F6 for the filter);
// typed text and Enter run a command, Ctrl+O shows its screen, Ctrl+B the
// scroll-back.
#include <gdk/gdk.h>
#include <gtkmm/main.h>
#include <unistd.h>

#include <csignal>
#include <memory>
#include <cstdlib>
#include <cstdio>
#include <cwchar>
#include <string>

#include "console/Console.h"
#include "console/GdkLock.h"
#include "console/KeyCodes.h"
#include "console/KeyTable.h"
#include "app/ConfigFile.h"
#include "app/FileLocations.h"
#include "app/LocaleConventions.h"
#include "app/RunCommand.h"
#include "app/Settings.h"
#include "app/Startup.h"
#include "app/StartupOptions.h"
#include "dialogs/Look.h"
#include "dialogs/MessageBox.h"
#include "dialogs/ScrollBackViewer.h"
#include "foundation/Cell.h"
#include "foundation/SysCalls.h"
#include "panels/FilterDialog.h"
#include "panels/Panel.h"

namespace {

constexpr uint32_t CtrlB = 0x02, CtrlO = 0x0F, CtrlR = 0x12, AltGreyPlus = 0x1004E;
// Until the menus exist the filter dialog borrows a key without a command.
constexpr uint32_t FilterKey = 0x3006D;  // Shift+Alt+F6

// Configuration messages go to the user one message box at a time.
void ShowConfigMessage(const Westring& message) { MessageBox(message, Westring(), MessageStyle::Ok); }

class CPanelScreen {
 public:
  CPanelScreen(const TStartupOptions& options) {
    const Westring here = Sys::CurrentDirectory();
    for (int side = 0; side < 2; ++side) {
      CPanel& panel = m_panels[side];
      panel.LoadSettings();
      const Westring& given = side == 0 ? options.leftDirectory : options.rightDirectory;
      if (!given.IsEmpty()) panel.SetDirectory(given);
      if (panel.Directory().IsEmpty()) panel.SetDirectory(here);
      g_panels[side] = &panel;
    }
    m_active = g_settings.startupSide == 'R' || g_settings.startupSide == 'r' ? 1 : 0;
    Layout();
    for (CPanel& panel : m_panels) panel.ReadDirectory();
    Activate(m_active);
  }
  ~CPanelScreen() {
    for (CPanel& panel : m_panels) panel.StoreSettings();
    g_panels[0] = g_panels[1] = nullptr;
  }

  void Layout() {
    for (CPanel& panel : m_panels) panel.Layout(g_console->Columns(), g_console->Lines(), g_settings.fullScreen);
  }

  void DrawAll() {
    CConsole& console = *g_console;
    console.BeginUpdate();
    console.FillArea(0, 0, console.Columns(), console.Lines(), Colour(ColourClass::CommandLine));
    for (CPanel& panel : m_panels) panel.Draw();
    const int last = console.Lines() - 1;
    console.WriteText(0, last, L"Tab Enter Ins Grey+-* CtrlF3-F8 ShAltF1-F5 ShAltF6 CtrlO CtrlB CtrlR F10",
                      Colour(ColourClass::CommandLine));
    DrawPrompt();
    console.EndUpdate();
  }

  // Runs until F10.
  void Run() {
    DrawAll();
    for (;;) {
      TMouseRecord info;
      const uint32_t key = g_console->GetKey(&info, -1);
      if (key == 0 || key == Key::ModifierChange) continue;
      if (key == Key::F10) return;
      Dispatch(key);
      DrawPrompt();
    }
  }

 private:
  CPanel& Active() { return m_panels[m_active]; }

  void Activate(int side) {
    m_panels[m_active].SetActive(false);
    m_panels[m_active].Draw();
    m_active = side;
    Active().SetActive(true);
    Active().Draw();
    // The process's current directory follows the active panel.
    (void)!chdir(Active().Directory().ToUtf8().c_str());
  }

  void DrawPrompt() {
    const Westring prompt = Active().Directory() + L">" + m_commandLine;
    const int row = g_console->Lines() - 2;
    g_console->FillArea(0, row, g_console->Columns(), 1, Colour(ColourClass::CommandLine));
    g_console->WriteText(0, row, prompt.c_str(), Colour(ColourClass::CommandLine));
    g_console->SetCursorPos(prompt.Length() < g_console->Columns() ? prompt.Length() : g_console->Columns() - 1, row);
    g_console->SetCursorSize(15);
  }

  void Dispatch(uint32_t key) {
    CPanel& panel = Active();
    if (g_settings.stickyAlt && panel.HandleQuickSearchKey(key)) return;
    panel.EndQuickSearch();
    // While a command is typed, Home, End and the arrows leave the panel alone.
    if (m_commandLine.IsEmpty() && panel.HandleCursorKey(key)) {
      panel.Draw();
      return;
    }
    if (key >= Key::CtrlF3 && key <= Key::CtrlF8) {
      const int order = static_cast<int>(key - Key::CtrlF3);
      if (order == 5) panel.ToggleReverse();
      else panel.SetSortOrder(static_cast<SortOrder>(order));
      panel.Draw();
      return;
    }
    if (key >= Key::ShiftAltF1 && key <= Key::ShiftAltF5) {
      panel.SetStyle(static_cast<PanelStyle>(key - Key::ShiftAltF1));
      panel.Draw();
      return;
    }
    const wchar_t letter = static_cast<wchar_t>(AltKeyChar(key));
    if (key >= Key::Extended && letter < 0x10000 && letter != 0) {
      panel.QuickSearchChar(letter);
      return;
    }
    switch (key) {
      case Key::Tab: Activate(1 - m_active); return;
      case Key::Enter:
        if (!m_commandLine.IsEmpty()) ExecuteCommandLine();
        else if (panel.EnterCursorEntry()) Activate(m_active);
        return;
      case Key::BackSpace: m_commandLine = m_commandLine.AllButLast(1); return;
      case CtrlB:
        // The scroll-back goes on with the commands' screen, not the panels.
        RestoreUserScreen();
        ShowScrollBack();
        DrawAll();
        return;
      case CtrlO: ShowUserScreen(); return;
      case Key::Insert:
        panel.Tag(panel.CursorIndex(), TagMode::Toggle);
        panel.MoveCursor(1);
        panel.Draw();
        return;
      case Key::GreyPlus: panel.SelectGroup(true, false); DrawAll(); return;
      case Key::GreyMinus: panel.SelectGroup(false, false); DrawAll(); return;
      case Key::GreyTimes: panel.TagAll(TagMode::Toggle, g_settings.tagDirs); panel.Draw(); return;
      case AltGreyPlus: panel.RestoreSelection(); return;
      case CtrlR: panel.ReadDirectory(); panel.Draw(); return;
      case FilterKey: {
        Westring filter = panel.Filter();
        if (RunFilterDialog(panel.SideName(), &filter)) {
          panel.SetFilter(filter);
          panel.ReadDirectory();
        }
        DrawAll();
        return;
      }
      case Key::ShiftF1 + 8:
        for (CPanel& side : m_panels) side.StoreSettings();
        SaveConfig(GetFileLocation(FileKind::Configuration));
        return;
      default:
        // Typed characters build the command line.
        if (key >= 0x20 && key < Key::Extended && m_commandLine.Length() < 511) m_commandLine += static_cast<wchar_t>(key);
        return;
    }
  }

  // The screen commands write on, kept while the panels cover it.
  void SaveUserScreen() {
    CConsole& console = *g_console;
    m_userScreen = console.SaveArea(0, 0, console.Columns(), console.Lines());
    m_userCursorCol = console.CursorColumn();
    m_userCursorRow = console.CursorRow();
  }
  void RestoreUserScreen() {
    CConsole& console = *g_console;
    if (m_userScreen == nullptr) {
      console.FillArea(0, 0, console.Columns(), console.Lines(), console.OutputAttr());
      console.SetCursorPos(0, console.Lines() - 1);
      return;
    }
    console.RestoreArea(0, 0, console.Columns(), console.Lines(), m_userScreen.get());
    console.SetCursorPos(m_userCursorCol, m_userCursorRow);
  }

  // Enter: the typed command runs on the user screen, then the panels return.
  void ExecuteCommandLine() {
    Westring command = m_commandLine;
    command.Trim();
    m_commandLine = Westring();
    if (command.IsEmpty()) return;
    RestoreUserScreen();
    const Westring echo = Active().Directory() + L">" + command + L"\n";
    g_console->WriteOutput(echo.ToUtf8().c_str(), -1);
    RunCommand(command);
    SaveUserScreen();
    for (CPanel& panel : m_panels) panel.ReadDirectory();
    DrawAll();
  }

  // Ctrl+O: the user screen until a key.
  void ShowUserScreen() {
    RestoreUserScreen();
    TMouseRecord info;
    while (g_console->GetKey(&info, -1) == Key::ModifierChange) {
    }
    DrawAll();
  }

  CPanel m_panels[2] = {CPanel(PanelSide::Left), CPanel(PanelSide::Right)};
  int m_active = 0;
  Westring m_commandLine;
  std::unique_ptr<TCell[]> m_userScreen;
  int m_userCursorCol = 0, m_userCursorRow = 0;
};

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
  // Until the main loop owns shutdown, a signal ends the program at once,
  // even while a dialog waits for a key.
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
    {
      CPanelScreen screen(options);
      console.SetResizeHandler([&screen] {
        screen.Layout();
        screen.DrawAll();
      });
      screen.Run();
      console.SetResizeHandler(nullptr);
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
