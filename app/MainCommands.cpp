// The main loop's commands that are more than one call: view and edit,
// quitting, screen sizes, swapping and hiding panels, the menu bar, the
// options, and the list of commands whose tools are still to come.
#include <utility>

#include "app/AppTitle.h"
#include "app/Clock.h"
#include "app/CommandCodes.h"
#include "app/MainLoop.h"
#include "app/MenuBar.h"
#include "config/ConfigFile.h"
#include "config/FileLocations.h"
#include "config/Settings.h"
#include "config/SettingsDialogs.h"
#include "config/Startup.h"
#include "console/Console.h"
#include "console/KeyCodes.h"
#include "console/RunCommand.h"
#include "dialogs/Dialog.h"
#include "dialogs/Help.h"
#include "dialogs/HelpTopics.h"
#include "dialogs/InputBox.h"
#include "dialogs/MessageBox.h"
#include "editor/Editor.h"
#include "foundation/NumberFormat.h"
#include "foundation/SysCalls.h"
#include "panels/CommandMacros.h"
#include "panels/ExecuteCommand.h"
#include "tools/DirSizes.h"
#include "tools/InfoPanel.h"
#include "viewer/FileViewer.h"
#include "viewer/ViewFromPanel.h"

namespace {

constexpr int kNameFieldWidth = 70;
constexpr int kNameLength = 512;

// Every command whose tool the program does not have yet, in one place: the
// list shrinks as the tools arrive.
struct TNotYetAvailable {
  uint32_t code;
  const char* what;
};
constexpr TNotYetAvailable kNotYetAvailable[] = {
    {Cmd::TreeLeft, "The tree panel"},
    {Cmd::TreeRight, "The tree panel"},
};

// Options menu items that flip one setting.
struct TOptionToggle {
  uint32_t code;
  bool* setting;
  bool rereads;  // the panels show other entries
  bool relayouts;
};

}  // namespace

bool ReportNotAvailable(uint32_t code) {
  for (const TNotYetAvailable& entry : kNotYetAvailable) {
    if (entry.code != code) continue;
    MessageBox(Westring(entry.what) + L" is not available yet.", Westring(), MessageStyle::Ok | MessageStyle::Messages);
    return true;
  }
  return false;
}

bool CMainLoop::RefusedInArchive(uint32_t code) {
  // Members are extracted, added and deleted through the archivers; these
  // would need a file of the file system.
  static constexpr uint32_t kFileCommands[] = {Key::F7,           Key::ShiftCtrlF5, Key::CtrlA, Key::CtrlC,
                                               Cmd::FileDateTime, Key::CtrlI,       Key::AltF7, Key::ShiftAltF7};
  if (!Active().InArchive()) return false;
  for (uint32_t command : kFileCommands) {
    if (command != code) continue;
    MessageBox(Westring("Not available inside an archive"), Westring(), MessageStyle::Ok | MessageStyle::Messages);
    return true;
  }
  return false;
}

void CMainLoop::ViewOrEdit(uint32_t code) {
  const bool edit = code == Key::F4 || code == Key::AltF4 || code == Key::ShiftCtrlF4;
  const bool alternate = code != Key::F3 && code != Key::F4;
  if (!Shown(0) && !Shown(1)) return;
  CPanel& panel = Active();
  const entry* current = panel.CursorEntry();
  if (panel.Type() == PanelType::Info && code == Key::F4) {
    // F4 on the information panel edits the description it shows.
    EditAndReread(DirInfoPath(Panel(1 - m_active).Directory()));
    m_redrawInfo = true;
    return;
  }
  if (current == nullptr || panel.Type() != PanelType::Files) return;
  if (current->IsDirectory()) {
    // F3 on a directory counts what it holds.
    if (!edit) CalculateDirectorySizes(panel, false);
    return;
  }
  if (CArchiveListing* archive = panel.Archive()) {
    const Westring extracted = archive->ExtractForView(panel.InnerDirectory(), *current);
    if (!extracted.IsEmpty()) RunViewerOrEditor(edit, alternate, extracted, true);
    return;
  }
  RunViewerOrEditor(edit, alternate, Westring(current->Name()), true);
}

void CMainLoop::AskAndViewOrEdit(bool edit) {
  const entry* current = Active().CursorEntry();
  Westring name = current != nullptr && !current->IsUpDir() ? Westring(current->Name()) : Westring();
  if (!InputBox(Westring(edit ? "Edit the file:" : "View the file:"), &name, kNameFieldWidth, kNameLength, NoHistory))
    return;
  name.Trim();
  if (!name.IsEmpty()) RunViewerOrEditor(edit, false, name, false);
}

void CMainLoop::RunViewerOrEditor(bool edit, bool alternate, const Westring& name, bool fromPanel) {
  const Westring command = ViewerOrEditorCommand(edit, alternate, name);
  // An archive member comes extracted, as a full path.
  const bool member = Active().InArchive() && fromPanel;
  const Westring path = edit && !member ? Active().PathOf(name.c_str()) : name;
  // The title names the file while its viewer or editor runs.
  SetAppTitle((edit ? name : path).c_str());
  if (!command.IsEmpty()) {
    RunForPanel(command, m_active, true, name);
  } else if (edit) {
    EditAndReread(path);
    // A member saved in the editor goes back into its archive at once.
    if (member) Active().Archive()->PutBackExtracted();
  } else if (fromPanel) {
    ViewFromPanel(Active());
  } else {
    RunFileViewer(path);
  }
  SetAppTitle(nullptr);
  m_redrawAll = true;
}

// The edited file may have been saved under any name: both panels look again.
void CMainLoop::EditAndReread(const Westring& path) {
  VKEditor::Edit(path);
  for (CPanel& panel : m_panels) panel.MarkForReread();
}

// The configuration file in the editor at its [Associations]; what was
// saved there counts as soon as the editor closes.
void CMainLoop::EditAssociations() {
  const Westring file = GetFileLocation(FileKind::Configuration);
  // A first run has no file yet: writing the setup makes one with every section.
  const bool ready = Sys::Exists(file) || SaveConfig(file) == 0;
  if (ready) {
    VKEditor::Edit(file, ConfigSectionOffset(file, "[Associations]"));
    (void)LoadConfig(file, true);
  }
  ShowConfigMessages(TakeConfigMessages());
  for (CPanel& panel : m_panels) panel.MarkForReread();
  m_redrawAll = true;
}

void CMainLoop::Quit() {
  if (!AsksConfirmation(ConfirmBit::Quit)) {
    m_quit = true;
    return;
  }
  const int answer = MessageBox(Westring("Are you sure you want to exit Varnak ?"), Westring(),
                                MessageStyle::OkCancel | MessageStyle::Messages | MessageStyle::YesKey);
  m_quit = answer == 'y';
}

void CMainLoop::ChangeScreenSize(int lines, int columns) {
  RemoveClockWindow();
  g_console->SetScreenSize(lines, columns);  // the resize handler lays the screen out again
  ShowClockWindow();
}

// EGA Lines: 25 lines become the Lines setting when that is larger, else 50;
// any other height becomes 25.
void CMainLoop::ToggleLines() {
  const int lines = g_console->Lines() == 25 ? (g_settings.lines > 25 ? g_settings.lines : 50) : 25;
  ChangeScreenSize(lines, g_console->Columns());
}

// 80 columns become 132; 132 become the Columns setting when that is above
// 80 and not 132, else 80; any other width becomes 80.
void CMainLoop::ToggleColumns() {
  const int columns = g_console->Columns();
  int next = 80;
  if (columns == 80) next = 132;
  else if (columns == 132 && g_settings.columns > 80 && g_settings.columns != 132) next = g_settings.columns;
  ChangeScreenSize(g_console->Lines(), next);
}

// The panels trade directory, style, order, type and filter through their
// settings, then read again.
void CMainLoop::SwapPanels() {
  for (CPanel& panel : m_panels) panel.StoreSettings();
  std::swap(g_settings.left, g_settings.right);
  std::swap(g_settings.leftStyle, g_settings.rightStyle);
  std::swap(g_settings.leftSort, g_settings.rightSort);
  std::swap(g_settings.leftType, g_settings.rightType);
  std::swap(g_settings.leftFilter, g_settings.rightFilter);
  for (int side = 0; side < 2; ++side) {
    m_panels[side].LoadSettings();
    m_panels[side].SetDirectory(side == 0 ? g_settings.left : g_settings.right);
    m_panels[side].MarkForReread();
  }
  std::swap(m_shown[0], m_shown[1]);
  Layout();
  (void)Sys::ChangeDirectory(Active().Directory());
  m_redrawAll = true;
}

void CMainLoop::TogglePanel(int side) {
  m_shown[side] = !m_shown[side];
  if (!m_shown[side] && side == m_active && m_shown[1 - side]) Activate(1 - side);
  if (m_shown[side]) m_panels[side].MarkForReread();
  m_redrawAll = true;
}

void CMainLoop::ToggleInfo(int side) {
  CPanel& panel = m_panels[side];
  if (panel.Type() == PanelType::Info) {
    panel.SetType(PanelType::Files);
    panel.MarkForReread();
  } else {
    panel.EndQuickSearch();
    panel.SetType(PanelType::Info);
    if (!m_shown[side]) TogglePanel(side);
  }
  m_redrawInfo = true;
  m_redrawAll = true;
}

void CMainLoop::RunMenu(bool reopen, const TMouseRecord* click) {
  const uint32_t code = RunMenuBar(m_active, reopen, click);
  if (code != 0) Dispatch(code);
}

void CMainLoop::ShowPanelHelp() {
  const CPanel& panel = Panel(m_active);
  // With the panels off (Ctrl-O) the screen is the commands' output.
  if (!Shown(0) && !Shown(1)) ShowHelp(HelpTopic::Terminal);
  else if (panel.InArchive()) ShowHelp(HelpTopic::Archives);
  else if (panel.Type() == PanelType::Info) ShowHelp(HelpTopic::InfoPanel);
  else ShowHelp(HelpTopic::Panels);
}

// Shift+F1: the manual in the first web browser found, detached.
void CMainLoop::OpenManual() {
  const Westring index = FindManualIndex();
  if (index.IsEmpty()) {
    MessageBox(Westring("The manual is not installed"), Westring(), MessageStyle::Ok);
    return;
  }
  for (const char* browser : {"x-www-browser", "firefox", "mozilla-firefox", "epiphany"}) {
    const Westring path = FindProgram(Westring(browser));
    if (path.IsEmpty()) continue;
    // The page is handed over as a URL; the "&" lets the browser run on its own.
    ExecuteCommand(path + L" " + ShellQuote(L"file://" + index) + L" &", m_active);
    m_redrawAll = true;
    return;
  }
  MessageBox(Westring("No web browser found for the manual"),
             Westring("x-www-browser, firefox, mozilla-firefox or epiphany"), MessageStyle::Ok);
}

void CMainLoop::SaveSetup() {
  for (CPanel& panel : m_panels) panel.StoreSettings();
  g_settings.leftShowing = m_shown[0];
  g_settings.rightShowing = m_shown[1];
  const Westring file = GetFileLocation(FileKind::Configuration);
  SaveConfig(file);
  ShowConfigMessages(TakeConfigMessages());
}

bool CMainLoop::ToggleOption(uint32_t code) {
  const TOptionToggle toggles[] = {
      {Cmd::HiddenFiles, &g_settings.hidden, true, false},     {Key::CtrlH, &g_settings.hidden, true, false},
      {Cmd::PathPrompt, &g_settings.pathPrompt, false, false}, {Cmd::FullScreen, &g_settings.fullScreen, false, true},
      {Cmd::Clock, &g_settings.clock, false, false},      {Cmd::TagDirectories, &g_settings.tagDirs, false, false},
      {Cmd::ThousandSeparator, &g_groupThousands, false, false},      {Cmd::RetainDirCount, &g_settings.retainCount, false, false},
  };
  for (const TOptionToggle& toggle : toggles) {
    if (toggle.code != code) continue;
    *toggle.setting = !*toggle.setting;
    if (toggle.rereads)
      for (CPanel& panel : m_panels) panel.MarkForReread();
    if (toggle.relayouts) Layout();
    m_redrawAll = true;
    return true;
  }
  bool changed = false;
  switch (code) {
    case Cmd::Configuration: changed = RunConfigurationDialog(); break;
    case Cmd::Colours: changed = RunColoursDialog(); break;
    case Cmd::Confirmations: changed = RunConfirmationsDialog(); break;
    case Cmd::SaveSetup: SaveSetup(); return true;
    default: return false;
  }
  if (changed) {
    ApplyConfiguration();
    Layout();
    for (CPanel& panel : m_panels) panel.MarkForReread();
  }
  m_redrawAll = true;
  return true;
}
