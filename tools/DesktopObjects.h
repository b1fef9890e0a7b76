#pragma once
// Desktop integration: launcher files on the user's desktop for panel
// entries (Alt+F6), and the desktop's graphical file browser on a directory
// (Ctrl+W). Application thread.
#include <string>

#include "foundation/Estring.h"
#include "foundation/Westring.h"

class CPanel;

/// The user's desktop directory: XDG_DESKTOP_DIR from the environment, else
/// from the user-dirs.dirs file of the configuration directory, else
/// "Desktop" under HOME.
Westring DesktopDirectory();
/// The XDG_DESKTOP_DIR a user-dirs.dirs text names ($HOME expanded to home),
/// or empty when it names none.
std::string DesktopDirectoryFromUserDirs(const std::string& text, const std::string& home);

/// A launcher file's text: for an executable its own path, else "xdg-open"
/// on the path; the Exec value quoted as desktop files quote arguments.
Estring LauncherText(const Westring& title, const Westring& path, bool executable, bool terminal);
/// A path in directory for title that names no existing file: title.desktop,
/// else "title (2).desktop" and on.
Westring FreeLauncherPath(const Westring& directory, const Westring& title);
/// Writes a launcher file that must not exist yet: 0 or errno.
int WriteLauncherFile(const Westring& path, const Estring& text);

/// Alt+F6: launchers for the tagged entries, or the one under the cursor.
void RunMakeDesktopObjects(CPanel& panel);

/// The browser command line for a directory: the first of the known
/// browsers that findProgram finds, with its argument template; empty
/// when none is found.
Westring GuiBrowserCommand(const Westring& directory, Westring (*findProgram)(const Westring& name));
/// Ctrl+W: the graphical file browser on the panel's directory, detached.
void OpenGuiFileWindow(const CPanel& panel);
