// Start-up of vk: the command line, the console, file locations, locale
// conventions and vk.ini, then the two panels. Until the main loop exists
// the panel screen below takes the keys the main loop will bind: cursor
// keys, Tab, Enter, Insert, the grey keys, Ctrl+F3..F8, Shift+Alt+F1..F5,
// Ctrl+R, Alt+letters, Shift+F9 and F10 (and Shift+Alt+F6 for the filter);
// the command line runs typed commands, Ctrl+O shows their screen, Ctrl+B
// the scroll-back, Alt+F8, Alt+\\ and Alt+F5 the histories.
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
#include "app/Settings.h"
#include "app/Startup.h"
#include "app/StartupOptions.h"
#include "dialogs/Look.h"
#include "dialogs/MessageBox.h"
#include "console/UserScreen.h"
#include "dialogs/ScrollBackViewer.h"
#include "foundation/Cell.h"
#include "foundation/SysCalls.h"
#include "panels/CommandLine.h"
#include "panels/FilterDialog.h"
#include "panels/Histories.h"
#include "panels/HistoryWindows.h"
#include "panels/Panel.h"

namespace {

constexpr uint32_t CtrlB = 0x02, CtrlO = 0x0F, CtrlR = 0x12, AltGreyPlus = 0x1004E;
constexpr uint32_t AltF5 = 0x1006C, AltF8 = 0x1006F, AltBackslash = 0x1002B;
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
    console.WriteText(0, last, L"Tab Enter Ins Grey+-* CtrlF3-F8 ShAltF1-F6 CtrlO CtrlB AltF8 AltF5 Alt\\ F10",
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
      for (CPanel& panel : m_panels) panel.Refresh();
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

  void DrawPrompt() { m_commandLine.Draw(Active().Directory()); }

  void Dispatch(uint32_t key) {
    CPanel& panel = Active();
    if (g_settings.stickyAlt && panel.HandleQuickSearchKey(key)) return;
    panel.EndQuickSearch();
    // While a command is typed, Home, End and the arrows leave the panel alone.
    if (m_commandLine.HandleEditKey(key)) return;
    if (panel.HandleCursorKey(key)) {
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
        if (m_commandLine.Execute(m_active)) DrawAll();
        else if (panel.EnterCursorEntry()) Activate(m_active);
        return;
      case AltF8: {
        const Westring command = ChooseFromCommandHistory();
        if (!command.IsEmpty()) m_commandLine.SetText(command);
        return;
      }
      case AltBackslash: {
        const Westring directory = ChooseFromDirectoryHistory();
        if (!directory.IsEmpty() && panel.EnterDirectory(directory) != 0)
          MessageBox(Westring("Invalid directory"), directory, MessageStyle::Ok);
        return;
      }
      case AltF5: RunStoredPaths(panel); DrawAll(); return;
      case CtrlB:
        // The scroll-back goes on with the commands' screen, not the panels.
        RestoreUserScreen();
        ShowScrollBack();
        DrawAll();
        return;
      case CtrlO: ShowUserScreen(); DrawAll(); return;
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
        if (key >= Key::CtrlDigit && key <= Key::CtrlDigit + 9) EnterStoredPath(panel, static_cast<int>(key - Key::CtrlDigit));
        // Typed characters build the command line.
        else if (key >= 0x20 && key < Key::Extended) m_commandLine.InsertChar(static_cast<wchar_t>(key));
        return;
    }
  }

  CPanel m_panels[2] = {CPanel(PanelSide::Left), CPanel(PanelSide::Right)};
  int m_active = 0;
  CCommandLine m_commandLine;
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
    LoadHistories(GetFileLocation(FileKind::Histories));
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
