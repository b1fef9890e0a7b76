#include "app/MainLoop.h"

#include "app/AppTitle.h"
#include "app/Clock.h"
#include "app/CommandCodes.h"
#include "app/FunctionKeyBar.h"
#include "archives/ArchiveCommands.h"
#include "config/Settings.h"
#include "console/ChildEnvironment.h"
#include "console/Console.h"
#include "console/KeyCodes.h"
#include "console/KeyTable.h"
#include "console/RunCommand.h"
#include "console/ScrollBack.h"
#include "console/UserScreen.h"
#include "dialogs/KeyBar.h"
#include "dialogs/Look.h"
#include "dialogs/MessageBox.h"
#include "dialogs/ScrollBackViewer.h"
#include "fileops/CompareDirectories.h"
#include "fileops/CopyCommand.h"
#include "fileops/FileAttributes.h"
#include "fileops/FileCase.h"
#include "fileops/FileDateTime.h"
#include "fileops/FileInformation.h"
#include "fileops/DeleteCommand.h"
#include "fileops/MakeDirectory.h"
#include "fileops/MakeLinks.h"
#include "foundation/SysCalls.h"
#include "panels/CommandMacros.h"
#include "panels/ExecuteCommand.h"
#include "panels/FilterDialog.h"
#include "panels/HistoryWindows.h"
#include "panels/PathNames.h"
#include "tools/DesktopObjects.h"
#include "tools/DirSizes.h"
#include "tools/FindDialog.h"
#include "tools/InfoPanel.h"
#include "tools/MountPoints.h"
#include "tools/TreeCommands.h"
#include "tools/UserMenuWindow.h"

namespace {

// The Left and Right menus' commands: one code for each side.
enum class PanelAction { Brief, Full, Wide, BriefWide, Unix, SortName, SortExtension, SortTime, SortSize, Unsorted,
                         Reverse, Reread, Filter, OnOff };
struct TPanelCommand {
  uint32_t left, right;
  PanelAction action;
};
constexpr TPanelCommand kPanelCommands[] = {
    {Cmd::BriefLeft, Cmd::BriefRight, PanelAction::Brief},
    {Cmd::FullLeft, Cmd::FullRight, PanelAction::Full},
    {Cmd::WideLeft, Cmd::WideRight, PanelAction::Wide},
    {Cmd::BriefWideLeft, Cmd::BriefWideRight, PanelAction::BriefWide},
    {Cmd::UnixLeft, Cmd::UnixRight, PanelAction::Unix},
    {Cmd::SortNameLeft, Cmd::SortNameRight, PanelAction::SortName},
    {Cmd::SortExtensionLeft, Cmd::SortExtensionRight, PanelAction::SortExtension},
    {Cmd::SortTimeLeft, Cmd::SortTimeRight, PanelAction::SortTime},
    {Cmd::SortSizeLeft, Cmd::SortSizeRight, PanelAction::SortSize},
    {Cmd::UnsortedLeft, Cmd::UnsortedRight, PanelAction::Unsorted},
    {Cmd::ReverseLeft, Cmd::ReverseRight, PanelAction::Reverse},
    {Cmd::RereadLeft, Cmd::RereadRight, PanelAction::Reread},
    {Cmd::FilterLeft, Cmd::FilterRight, PanelAction::Filter},
    {Key::CtrlF1, Key::CtrlF2, PanelAction::OnOff},
};

const TPanelCommand* FindPanelCommand(uint32_t code, int* side) {
  for (const TPanelCommand& command : kPanelCommands) {
    if (code == command.left || code == command.right) {
      *side = code == command.left ? 0 : 1;
      return &command;
    }
  }
  return nullptr;
}

// A panel starts in the directory the program was started in, or in the one
// given (option, else setting): expanded and made absolute against that start
// directory, so that it keeps meaning the same place when the process
// follows the other panel, then read, so that one that cannot be read is
// reported and left for its nearest existing parent.
void StartPanel(CPanel& panel, const Westring& given, const Westring& here) {
  Westring directory = ExpandPath(given);
  if (!directory.IsEmpty() && ResolvePath(&directory, here) != 0) {
    MessageBox(Westring("Invalid path"), given, MessageStyle::Ok);
    directory = Westring();
  }
  panel.SetDirectory(directory.IsEmpty() ? here : directory);
  panel.ReadDirectory();
}

}  // namespace

CMainLoop::CMainLoop(const TStartupOptions& options) {
  InstallTreeHooks();
  InstallInfoPanel();
  Westring here = Sys::CurrentDirectory();
  if (here.IsEmpty()) here = L"/";
  for (int side = 0; side < 2; ++side) {
    m_panels[side].LoadSettings();
    g_panels[side] = &m_panels[side];
  }
  m_shown[0] = g_settings.leftShowing;
  m_shown[1] = g_settings.rightShowing;
  m_active = g_settings.startupSide == 'R' || g_settings.startupSide == 'r' ? 1 : 0;
  if (!m_shown[m_active] && m_shown[1 - m_active]) m_active = 1 - m_active;
  Layout();
  StartPanel(m_panels[0], options.leftDirectory.IsEmpty() ? g_settings.left : options.leftDirectory,
             here);
  StartPanel(m_panels[1],
             options.rightDirectory.IsEmpty() ? g_settings.right : options.rightDirectory, here);
  m_panels[m_active].SetActive(true);
  (void)Sys::ChangeDirectory(Active().Directory());
  SetAppTitle(nullptr);
  InstallClock();
  // A new screen size is laid out at once and drawn before the next key.
  g_console->SetResizeHandler([this] {
    Layout();
    m_redrawAll = true;
  });
  FollowWindowResizes();
}

CMainLoop::~CMainLoop() {
  m_redrawOnResize.reset();
  g_console->SetWindowResizeHandlers(nullptr, nullptr);
  g_console->SetResizeHandler(nullptr);
  RemoveClockWindow();
  for (CPanel& panel : m_panels) panel.StoreSettings();
  g_settings.leftShowing = m_shown[0];
  g_settings.rightShowing = m_shown[1];
  g_panels[0] = g_panels[1] = nullptr;
}

// The clock's saved cells belong to the old grid, so it goes before the
// grid changes and comes back with the redrawn panels. The size the window
// settled at becomes the screen size settings, which Save Setup keeps.
void CMainLoop::FollowWindowResizes() {
  g_console->SetWindowResizeHandlers(RemoveClockWindow, [] {
    g_settings.lines = g_console->Lines();
    g_settings.columns = g_console->Columns();
    g_settings.fontSize = g_console->FontSize();
  });
  m_redrawOnResize = std::make_unique<CRedrawOnResize>([this] {
    m_redrawAll = true;
    BringScreenUpToDate(0);
  });
}

void CMainLoop::Layout() {
  for (CPanel& panel : m_panels) panel.Layout(g_console->Columns(), g_console->Lines(), g_settings.fullScreen);
}

// The commands' screen is the background: it shows where a panel is hidden.
void CMainLoop::DrawAll() {
  CConsole& console = *g_console;
  console.BeginUpdate();
  // The clock goes first, so what it puts back is painted over and it
  // covers fresh cells when it returns.
  RemoveClockWindow();
  RestoreUserScreen();
  for (int side = 0; side < 2; ++side) {
    if (!Shown(side)) continue;
    m_panels[side].MarkForRedraw();
    m_panels[side].Refresh();
  }
  InvalidateFunctionKeyBar();
  m_commandLine.Draw(Active().Directory());
  console.EndUpdate();
  RefreshClock();
  m_redrawAll = false;
}

void CMainLoop::BringScreenUpToDate(uint16_t modifiers) {
  if (m_redrawAll) {
    DrawAll();
  } else {
    for (int side = 0; side < 2; ++side)
      if (Shown(side)) m_panels[side].Refresh();
    m_commandLine.Draw(Active().Directory());
  }
  FollowActiveDirectory();
  // What a command or a read changed in the directory tree is on disk before the next key.
  SaveDirectoryTrees();
  if (FunctionKeyBarNeedsRedraw(modifiers)) DrawFunctionKeyBar(modifiers);
  // While a quick search keeps the keyboard the cursor stands in its text.
  if (g_settings.stickyAlt && Shown(m_active)) Active().PlaceQuickSearchCursor();
}

void CMainLoop::Run() {
  m_redrawAll = true;
  TMouseRecord info;
  uint16_t modifiers = 0;
  while (!m_quit) {
    BringScreenUpToDate(modifiers);
    const uint32_t code = g_console->GetKey(&info, -1);
    modifiers = info.state;
    if (code == 0 || code == Key::ModifierChange) continue;
    if (code == Key::Mouse) {
      DispatchMouse(info);
      continue;
    }
    Dispatch(code);
  }
  // Edited archive members go back before the program ends.
  for (CPanel& panel : m_panels) panel.CloseArchive();
}

// An information panel shows the active panel's directory, whichever it is now.
void CMainLoop::FollowActiveDirectory() {
  CPanel& info = Panel(1 - m_active);
  if (!Shown(1 - m_active) || info.Type() != PanelType::Info) return;
  if (m_infoDirectory.Compare(Active().Directory()) == 0 && !m_redrawInfo) return;
  m_infoDirectory = Active().Directory();
  m_redrawInfo = false;
  info.MarkForRedraw();
  info.Refresh();
}

void CMainLoop::Activate(int side) {
  if (!Shown(side)) return;
  m_panels[m_active].SetActive(false);
  m_panels[m_active].MarkForRedraw();
  m_active = side;
  Active().SetActive(true);
  Active().MarkForRedraw();
  // The process's current directory follows the active panel.
  (void)Sys::ChangeDirectory(Active().Directory());
}

void CMainLoop::Dispatch(uint32_t code) {
  if (code == Key::F9 || code == Key::CtrlN || code == Key::ShiftF10) {
    RunMenu(code == Key::ShiftF10, nullptr);
    return;
  }
  CPanel& panel = Active();
  if (g_settings.stickyAlt && panel.HandleQuickSearchKey(code)) return;
  if (Shown(m_active) && panel.Type() == PanelType::Files && DispatchSelection(code)) return;
  if (code >= Key::CtrlDigit && code <= Key::CtrlDigit + 9) {
    EnterStoredPath(panel, static_cast<int>(code - Key::CtrlDigit));
    return;
  }
  if (code >= Key::CtrlF3 && code <= Key::CtrlF8) {
    Dispatch((m_active == 0 ? Cmd::SortNameLeft : Cmd::SortNameRight) + (code - Key::CtrlF3));
    return;
  }
  if (code <= 31 || code == Key::CtrlBackSpace || (code & (Key::Extended | Key::ShiftFlag | Cmd::First)) != 0) {
    RunCommandCode(code);
    return;
  }
  // A typed character; codes above the character range (a grey key over a hidden panel) do nothing.
  if (code <= 0xFFFF) {
    panel.EndQuickSearch();
    m_commandLine.InsertChar(static_cast<wchar_t>(code));
  }
}

// The grey keypad over a file list: + and - select and unselect a group
// (Shift+Ctrl+Grey + with TagDirs inverted), Ctrl+Grey + and - select and
// unselect everything, * inverts.
bool CMainLoop::DispatchSelection(uint32_t code) {
  CPanel& panel = Active();
  switch (code) {
    case Key::GreyPlus: case Cmd::SelectGroup: panel.SelectGroup(true, false); break;
    case Key::ShiftCtrlGreyPlus: panel.SelectGroup(true, true); break;
    case Key::GreyMinus: case Key::ShiftCtrlGreyMinus: case Cmd::UnselectGroup: panel.SelectGroup(false, false); break;
    case Key::CtrlGreyPlus: panel.TagAll(TagMode::Tag, g_settings.tagDirs); break;
    case Key::CtrlGreyMinus: panel.TagAll(TagMode::Untag, true); break;
    case Key::GreyTimes: case Cmd::InvertSelection: panel.TagAll(TagMode::Toggle, g_settings.tagDirs); break;
    default: return false;
  }
  m_redrawAll = true;
  return true;
}

// A press on the top line opens the menu bar there; one on the bottom line
// is the function key under it.
void CMainLoop::DispatchMouse(const TMouseRecord& mouse) {
  if (mouse.action != TMouseRecord::LeftPress) return;
  if (mouse.row == 0) RunMenu(false, &mouse);
  else if (mouse.row == g_console->Lines() - 1) Dispatch(KeyBarKeyForClick(mouse.column, g_console->Columns()));
}

// The panel menus' commands, then the keys that edit the command line or
// move in the panel, then the binding table.
bool CMainLoop::DispatchToPanel(uint32_t code) {
  int side = 0;
  const TPanelCommand* command = FindPanelCommand(code, &side);
  if (command == nullptr) return false;
  CPanel& panel = Panel(side);
  switch (command->action) {
    case PanelAction::Brief: case PanelAction::Full: case PanelAction::Wide:
    case PanelAction::BriefWide: case PanelAction::Unix:
      // A list style chosen for the information panel makes it a file list again.
      if (panel.Type() == PanelType::Info) ToggleInfo(side);
      panel.SetStyle(static_cast<PanelStyle>(static_cast<int>(command->action) - static_cast<int>(PanelAction::Brief)));
      break;
    case PanelAction::SortName: case PanelAction::SortExtension: case PanelAction::SortTime:
    case PanelAction::SortSize: case PanelAction::Unsorted:
      panel.SetSortOrder(static_cast<SortOrder>(static_cast<int>(command->action) - static_cast<int>(PanelAction::SortName)));
      break;
    case PanelAction::Reverse: panel.ToggleReverse(); break;
    case PanelAction::Reread: panel.MarkForReread(); break;
    case PanelAction::Filter: {
      Westring filter = panel.Filter();
      if (RunFilterDialog(panel.SideName(), &filter)) {
        panel.SetFilter(filter);
        panel.MarkForReread();
      }
      m_redrawAll = true;
      break;
    }
    case PanelAction::OnOff: TogglePanel(side); break;
  }
  panel.MarkForRedraw();
  return true;
}

bool CMainLoop::RunCommandCode(uint32_t code) {
  CPanel& panel = Active();
  if (m_commandLine.HandleEditKey(code)) return true;
  if (Shown(m_active) && panel.Type() == PanelType::Files && panel.HandleCursorKey(code)) {
    panel.EndQuickSearch();
    panel.MarkForRedraw();
    return true;
  }
  if (DispatchToPanel(code)) return true;
  if (code >= Key::ShiftAltF1 && code <= Key::ShiftAltF5) {
    panel.SetStyle(static_cast<PanelStyle>(code - Key::ShiftAltF1));
    panel.MarkForRedraw();
    return true;
  }
  if (ToggleOption(code)) return true;
  if (RefusedInArchive(code)) return true;
  switch (code) {
    case Key::Tab: Activate(1 - m_active); return true;
    case Key::Enter: OnEnter(); return true;
    case Key::F10: Quit(); return true;
    case Key::F3: case Key::F4: case Key::AltF3: case Key::AltF4: case Key::ShiftCtrlF3: case Key::ShiftCtrlF4:
      ViewOrEdit(code);
      return true;
    case Key::ShiftF3: AskAndViewOrEdit(false); return true;
    case Key::ShiftF4: AskAndViewOrEdit(true); return true;
    case Key::F1: ShowPanelHelp(); return true;
    case Key::ShiftF1: OpenManual(); return true;
    case Key::ShiftF9: SaveSetup(); return true;
    case Key::F5: case Key::ShiftF5: case Key::F6: case Key::ShiftF6: {
      const bool move = code == Key::F6 || code == Key::ShiftF6;
      if (!Shown(m_active)) return true;
      if (panel.InArchive() || Panel(1 - m_active).InArchive()) RunArchiveCopy(panel, Panel(1 - m_active), move);
      else RunCopyCommand(panel, Panel(1 - m_active), move, code == Key::ShiftF5 || code == Key::ShiftF6);
      m_redrawAll = true;
      return true;
    }
    case Key::F8: case Key::ShiftF8:
      if (Shown(m_active) && panel.InArchive()) DeleteMembers(panel, Panel(1 - m_active));
      else if (Shown(m_active) && panel.Type() == PanelType::Files)
        RunDeleteCommand(panel, Panel(1 - m_active), code == Key::ShiftF8);
      m_redrawAll = true;
      return true;
    case Key::ShiftF7:
      if (Shown(m_active)) CompressFiles(panel, Panel(1 - m_active));
      m_redrawAll = true;
      return true;
    case Key::F2: case Key::ShiftF2:
      RunUserMenu(panel.WorkingDirectory(), m_active, code == Key::ShiftF2);
      m_redrawAll = true;
      return true;
    case Cmd::EditUserMenu: EditAndReread(UserMenuFileForEditing()); m_redrawAll = true; return true;
    case Cmd::EditAssociations: EditAssociations(); return true;
    case Key::F7:
      if (Shown(m_active)) RunMakeDirectoryCommand(panel, Panel(1 - m_active));
      m_redrawAll = true;
      return true;
    case Key::AltF7: case Key::ShiftAltF7:
      RunFileFind(panel, Panel(1 - m_active), m_active);
      m_redrawAll = true;
      return true;
    case Key::ShiftCtrlF5:
      if (Shown(m_active) && panel.Type() == PanelType::Files) RunMakeLinksCommand(panel, Panel(1 - m_active));
      m_redrawAll = true;
      return true;
    case Key::CtrlA: case Key::CtrlC: case Cmd::FileDateTime: case Key::CtrlI:
      if (!Shown(m_active)) return true;
      if (code == Key::CtrlA) RunFileAttributes(panel, Panel(1 - m_active));
      else if (code == Key::CtrlC) RunFileCase(panel, Panel(1 - m_active));
      else if (code == Key::CtrlI) RunFileInformation(panel);
      else RunFileDateTime(panel, Panel(1 - m_active));
      m_redrawAll = true;
      return true;
    case Key::AltF1: case Key::AltF2: {
      const Westring mountPoint = ChooseMountPoint();
      if (!mountPoint.IsEmpty()) Panel(code == Key::AltF1 ? 0 : 1).EnterOrReport(mountPoint);
      m_redrawAll = true;
      return true;
    }
    case Key::CtrlL: ToggleInfo(panel.Type() == PanelType::Info ? m_active : 1 - m_active); return true;
    case Cmd::InfoLeft: case Cmd::InfoRight: ToggleInfo(code == Cmd::InfoLeft ? 0 : 1); return true;
    case Key::CtrlW: OpenGuiFileWindow(panel); m_redrawAll = true; return true;
    case Key::AltF6:
      if (Shown(m_active)) RunMakeDesktopObjects(panel);
      m_redrawAll = true;
      return true;
    case Key::CtrlK:
      if (Shown(0) && Shown(1)) RunCompareDirectories(Panel(0), Panel(1));
      m_redrawAll = true;
      return true;
    case Key::Insert:
      if (!Shown(m_active)) return true;
      panel.Tag(panel.CursorIndex(), TagMode::Toggle);
      panel.MoveCursor(1);
      panel.MarkForRedraw();
      return true;
    case Key::AltGreyPlus: case Cmd::RestoreSelection:
      panel.RestoreSelection();
      panel.MarkForRedraw();
      return true;
    case Key::CtrlR: panel.MarkForReread(); return true;
    case Key::CtrlU: SwapPanels(); return true;
    case Key::CtrlO: m_panelsOff = !m_panelsOff; m_redrawAll = true; return true;
    case Key::Esc:
      // Esc on an empty command line switches the panels off and on, as Ctrl+O, when asked to.
      if (g_settings.escPanelSwitch) {
        m_panelsOff = !m_panelsOff;
        m_redrawAll = true;
      }
      return true;
    case Key::CtrlB:
      if (!g_keepScrollBack) return true;
      // The scroll-back goes on with the commands' screen, not the panels,
      // and the clock stays off it.
      UninstallClock();
      RestoreUserScreen();
      ShowScrollBack();
      InstallClock();
      m_redrawAll = true;
      return true;
    case Key::CtrlEnter: {
      const entry* current = panel.CursorEntry();
      if (current != nullptr && !current->IsUpDir()) m_commandLine.InsertText(ShellQuote(current->Name()) + L" ");
      return true;
    }
    case Key::CtrlBackslash: case Key::ShiftCtrlBackslash: {
      const Westring target = code == Key::CtrlBackslash ? Westring(L"/") : Panel(1 - m_active).Directory();
      panel.EnterOrReport(target);
      return true;
    }
    case Key::AltF8: {
      const Westring command = ChooseFromCommandHistory();
      if (!command.IsEmpty()) m_commandLine.SetText(command);
      return true;
    }
    case Key::AltBackslash: case Key::ShiftAltF8: {
      const Westring directory = ChooseFromDirectoryHistory();
      if (!directory.IsEmpty()) panel.EnterOrReport(directory);
      return true;
    }
    case Key::AltF5: RunStoredPaths(panel); m_redrawAll = true; return true;
    case Key::AltF10:
      if (Shown(m_active)) RunTreeCommand(panel);
      m_redrawAll = true;
      return true;
    case Key::CtrlQ:
      if (Shown(m_active) && panel.Type() == PanelType::Files) CalculateDirectorySizes(panel, true);
      return true;
    case Key::AltF9: ToggleLines(); return true;
    case Key::ShiftAltF9: ToggleColumns(); return true;
    default: break;
  }
  const wchar_t letter = static_cast<wchar_t>(AltKeyChar(code));
  if (code >= Key::Extended && letter != 0 && letter < 0x10000) {
    if (Shown(m_active)) panel.QuickSearchChar(letter);
    return true;
  }
  return ReportNotAvailable(code);
}

void CMainLoop::OnEnter() {
  if (!m_commandLine.IsEmpty()) {
    m_commandLine.Execute(m_active);
    m_redrawAll = true;
    return;
  }
  CPanel& panel = Active();
  const entry* current = Shown(m_active) && panel.Type() == PanelType::Files ? panel.CursorEntry() : nullptr;
  if (current == nullptr) return;
  if (panel.EnterCursorEntry()) return;
  // A file runs its association, or itself when it is a program.
  const Westring name(current->Name());
  const Westring association = FindAssociation(AssociationKind::Open, name);
  if (!association.IsEmpty()) RunForPanel(association, m_active, true);
  else if (IsExecutable(panel.PathOf(name.c_str())) == 10) ExecuteCommand(L"./" + ShellQuote(name), m_active);
  else return;
  m_redrawAll = true;
}
