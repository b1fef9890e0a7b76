#pragma once
// The panel screen's loop: it keeps the two panels, the command line, the
// function-key bar, the clock and the title up to date, reads one key at a
// time and dispatches it to a panel command, a tool, the menu bar or the
// command line. Menu items feed their codes into the same dispatch, so an
// item and its key are one command. Application thread.
#include <cstdint>
#include <memory>

#include "config/StartupOptions.h"
#include "panels/CommandLine.h"
#include "panels/Panel.h"

struct TMouseRecord;
class CRedrawOnResize;

class CMainLoop {
 public:
  explicit CMainLoop(const TStartupOptions& options);
  ~CMainLoop();
  CMainLoop(const CMainLoop&) = delete;
  CMainLoop& operator=(const CMainLoop&) = delete;

  /// Runs until the user quits.
  void Run();
  /// Carries out one key code or menu command.
  void Dispatch(uint32_t code);
  int ActiveSide() const { return m_active; }

 private:
  CPanel& Active() { return m_panels[m_active]; }
  CPanel& Panel(int side) { return m_panels[side]; }
  bool Shown(int side) const { return m_shown[side] && !m_panelsOff; }

  // MainLoop.cpp: the screen and the dispatch order.
  void Layout();
  void FollowWindowResizes();
  void DrawAll();
  void BringScreenUpToDate(uint16_t modifiers);
  void Activate(int side);
  /// Redraws an information panel when the active panel's directory changed.
  void FollowActiveDirectory();
  bool DispatchToPanel(uint32_t code);
  bool DispatchSelection(uint32_t code);
  void DispatchMouse(const TMouseRecord& mouse);
  bool RunCommandCode(uint32_t code);
  void OnEnter();

  // MainCommands.cpp: commands with more to them than one call.
  /// Commands that take the entries for files of the file system are
  /// refused, with a message, while a panel shows an archive.
  bool RefusedInArchive(uint32_t code);
  void ViewOrEdit(uint32_t code);
  void AskAndViewOrEdit(bool edit);
  /// fromPanel: the viewer may go on to the panel's other files.
  void RunViewerOrEditor(bool edit, bool alternate, const Westring& name, bool fromPanel);
  void EditAndReread(const Westring& path);
  void Quit();
  void ChangeScreenSize(int lines, int columns);
  void ToggleLines();
  void ToggleColumns();
  void SwapPanels();
  void TogglePanel(int side);
  /// A panel becomes the information panel, or a file list again.
  void ToggleInfo(int side);
  void RunMenu(bool reopen, const TMouseRecord* click);
  /// F1: the topic of what the screen shows: the panels off, an archive,
  /// the information panel or a file list.
  void ShowPanelHelp();
  void OpenManual();
  void EditAssociations();
  void SaveSetup();
  bool ToggleOption(uint32_t code);

  CPanel m_panels[2] = {CPanel(PanelSide::Left), CPanel(PanelSide::Right)};
  CCommandLine m_commandLine;
  int m_active = 0;
  bool m_shown[2] = {true, true};
  bool m_panelsOff = false;  // Ctrl+O: the commands' screen instead of the panels
  bool m_quit = false;
  bool m_redrawAll = true;
  // The directory the information panel was last drawn for.
  Westring m_infoDirectory;
  bool m_redrawInfo = false;
  std::unique_ptr<CRedrawOnResize> m_redrawOnResize;
};

/// Commands whose tools are not part of the program yet: the message box
/// that says so, or false for a code that is not one of them.
bool ReportNotAvailable(uint32_t code);
