// Start-up of vk: the command line, the console, file locations, locale
// conventions, vk.ini and the histories, then the main loop; afterwards the
// orderly shutdown.
#include <gdk/gdk.h>
#include <gtkmm/main.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "app/AppTitle.h"
#include "app/MainLoop.h"
#include "archives/ArchivePanel.h"
#include "config/ConfigFile.h"
#include "config/FileLocations.h"
#include "config/LocaleConventions.h"
#include "config/Settings.h"
#include "config/Startup.h"
#include "config/StartupOptions.h"
#include "console/Console.h"
#include "console/GdkLock.h"
#include "console/RunCommand.h"
#include "console/ScreenDump.h"
#include "dialogs/Look.h"
#include "dialogs/MessageBox.h"
#include "editor/Editor.h"
#include "panels/Expression.h"
#include "panels/Histories.h"
#include "panels/Panel.h"
#include "tools/HelpViewer.h"
#include "viewer/FileViewer.h"

namespace {

// "$view" and "$edit" on a command line.
void RunInternalCommand(InternalCommand command, const Westring& arguments) {
  Westring name = arguments;
  name.Trim();
  name = Unescape(name);
  switch (command) {
    case InternalCommand::View:
      if (name.IsEmpty()) MessageBox(Westring("No file specified"), Westring(), MessageStyle::Ok);
      else (void)RunFileViewer(name);
      break;
    case InternalCommand::Edit:
      if (name.IsEmpty()) MessageBox(Westring("No file specified"), Westring(), MessageStyle::Ok);
      else VKEditor::Edit(name);
      break;
  }
}

// vk -v and -e: the file in the viewer, then the editor, and the program ends.
void ViewAndEditOnly(const TStartupOptions& options) {
  if (!options.viewFile.IsEmpty()) (void)RunFileViewer(options.viewFile);
  if (!options.editFile.IsEmpty()) VKEditor::Edit(options.editFile);
}

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
  // A signal ends the program at once, even while a dialog waits for a key.
  std::signal(SIGINT, [](int) { std::_Exit(0); });
  std::signal(SIGTERM, [](int) { std::_Exit(0); });
  {
    CConsole console;
    g_console = &console;
    console.SetIcons({"/usr/local/share/icons/hicolor/16x16/apps/varnak.png",
                      "/usr/local/share/icons/hicolor/scalable/apps/varnak.svg"});
    g_breakFlag = 0;
    EnableScreenDumps();
    ApplyLocaleConventions();
    SetFileLocations(programPath, options.configFile);
    g_childProcessHooks.runInternal = RunInternalCommand;
    g_openArchiveListing = OpenArchiveListing;
    // The viewer hands its file to the editor; whatever it saved, the panels look again.
    g_editAtOffset = [](const Westring& name, int64_t offset) {
      VKEditor::Edit(name, offset);
      for (CPanel* panel : g_panels)
        if (panel != nullptr) panel->MarkForReread();
    };
    SetAssociationPatternCheck([](const Westring& pattern) { return IsValidExpression(pattern.c_str()); });
    // The reports of the load are collected and shown together.
    LoadConfig(GetFileLocation(FileKind::Configuration), false);
    ApplyConfiguration();
    ShowConfigMessages(TakeConfigMessages());
    LoadHelp();
    ApplyLocaleConventions();
    LoadHistories(GetFileLocation(FileKind::Histories));
    if (!options.viewFile.IsEmpty() || !options.editFile.IsEmpty()) {
      ViewAndEditOnly(options);
      console.SetCursorSize(15);
      console.SetCursorPos(0, console.Lines() - 1);
      return 0;
    }
    {
      CMainLoop loop(options);
      loop.Run();
    }
    if (g_settings.autoSave) {
      SaveConfig(GetFileLocation(FileKind::Configuration));
      ShowConfigMessages(TakeConfigMessages());
    }
    const int last = console.Lines() - 1;
    console.FillArea(0, last - 1, console.Columns(), 2, Colour(ColourClass::CommandLine));
    console.SetCursorSize(15);
    SetAppTitle(L"");
    console.SetCursorPos(0, last);
    if (!options.exitDirectoryFile.IsEmpty())
      WriteExitDirectoryFile(options.exitDirectoryFile, CurrentDirectory());
  }
  return 0;
}
