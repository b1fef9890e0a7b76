#include "tools/DesktopObjects.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <algorithm>
#include <cstdlib>
#include <cwchar>
#include <fstream>
#include <sstream>

#include "console/Console.h"
#include "console/RunCommand.h"
#include "dialogs/Dialog.h"
#include "dialogs/HelpTopics.h"
#include "dialogs/Look.h"
#include "dialogs/MessageBox.h"
#include "foundation/SysCalls.h"
#include "panels/Entry.h"
#include "panels/Panel.h"

namespace {

constexpr int kTitleWidth = 33, kTitleLength = 250;

// Whether the last single launcher was for a terminal session.
uint8_t g_terminalSession = 0;

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? std::string(value) : std::string();
}

// An Exec argument as desktop files read it: in double quotes when it holds
// a reserved character, with ", `, $ and \ escaped inside.
std::string QuotedExecArgument(const std::string& argument) {
  static const char kReserved[] = " \t\n\"'\\><~|&;$*?#()`";
  if (argument.find_first_of(kReserved) == std::string::npos) return argument;
  std::string quoted = "\"";
  for (char c : argument) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

// The value of a desktop-file string key: backslashes doubled, and in Exec
// a percent sign doubled, as field codes start with one.
std::string EscapedExecValue(const std::string& value) {
  std::string out;
  for (char c : value) {
    if (c == '\\') out += "\\\\";
    else if (c == '%') out += "%%";
    else out += c;
  }
  return out;
}

std::string OneLine(const std::string& text) {
  std::string out;
  for (char c : text) out += c == '\n' || c == '\r' ? ' ' : c;
  return out;
}

bool Exists(const Westring& path) {
  struct stat status {};
  return lstat(path.ToUtf8().c_str(), &status) == 0;
}

bool IsExecutableFile(const entry& e, const Westring& path) {
  return !e.IsDirectory() && IsExecutable(path) == 10;
}

// The single entry's dialog: its title and, for a program, the terminal
// choice; false after Esc or Cancel.
bool AskTitle(const entry& e, bool executable, Westring* title) {
  const Westring name(e.Name());
  const Westring caption = L"Make an object for " + name;
  const int columns = g_console != nullptr ? g_console->Columns() : 80;
  const int shown = std::min(caption.Length(), columns - 10);
  const int width = std::max(44, shown + 4);
  const int height = executable ? 8 : 7;
  *title = e.IsDirectory() ? Westring() : name;
  Dialog dialog(-1, -3, width, height, Colour(ColourClass::Messages));
  dialog.SetHelpTopic(HelpTopic::DesktopObjects);
  const Westring heading = caption.Length() > shown ? caption.Left(shown) : caption;
  dialog.WriteText(1, 0, heading.c_str(), dialog.NormalColour());
  dialog.AddStaticText(1, 2, false, "Title:");
  dialog.AddStringField(8, 2, true, title, kTitleWidth, kTitleLength);
  if (executable) dialog.AddCheckBox(1, 3, true, &g_terminalSession, "Terminal session");
  dialog.SetDefaultButton(dialog.AddOkCancel(-1, -1));
  if (dialog.Run() != DialogResult::Ok) return false;
  dialog.CommitAll();
  title->Trim();
  return !title->IsEmpty();
}

// One launcher; a failure is reported and the next entry goes on.
void MakeLauncher(const Westring& desktop, const Westring& title, const Westring& path, bool executable, bool terminal) {
  const Westring file = FreeLauncherPath(desktop, title);
  const int err = WriteLauncherFile(file, LauncherText(title, path, executable, terminal));
  if (err != 0) MessageBox(Sys::ErrorText(err), file, MessageStyle::Ok);
}

struct TBrowser {
  const wchar_t* program;
  const wchar_t* arguments;  // "!" stands for the directory
};
constexpr TBrowser kBrowsers[] = {{L"nautilus", L"--browser !"}, {L"dolphin", L"!"}, {L"xdg-open", L"!"}};

}  // namespace

std::string DesktopDirectoryFromUserDirs(const std::string& text, const std::string& home) {
  std::istringstream lines(text);
  std::string line;
  std::string found;
  while (std::getline(lines, line)) {
    const size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line.compare(start, 16, "XDG_DESKTOP_DIR=") != 0) continue;
    std::string value = line.substr(start + 16);
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
    if (value.compare(0, 5, "$HOME") == 0) value = home + value.substr(5);
    if (!value.empty() && value[0] == '/') found = value;
  }
  return found;
}

Westring DesktopDirectory() {
  std::string directory = Environment("XDG_DESKTOP_DIR");
  const std::string home = Environment("HOME");
  if (directory.empty()) {
    std::string config = Environment("XDG_CONFIG_HOME");
    if (config.empty()) config = home + "/.config";
    std::ifstream file(config + "/user-dirs.dirs");
    std::stringstream text;
    text << file.rdbuf();
    directory = DesktopDirectoryFromUserDirs(text.str(), home);
  }
  if (directory.empty()) directory = home + "/Desktop";
  return Westring::FromUtf8(directory.c_str());
}

Estring LauncherText(const Westring& title, const Westring& path, bool executable, bool terminal) {
  const std::string file = path.ToUtf8().c_str();
  const std::string command = executable ? QuotedExecArgument(file) : "xdg-open " + QuotedExecArgument(file);
  std::string text = "#!/usr/bin/env xdg-open\n";
  text += "[Desktop Entry]\n";
  text += "Version=1.0\n";
  text += "Encoding=UTF-8\n";
  text += "Name=" + OneLine(title.ToUtf8().c_str()) + "\n";
  text += "Exec=" + EscapedExecValue(OneLine(command)) + "\n";
  text += std::string("Terminal=") + (terminal ? "true" : "false") + "\n";
  text += "Type=Application\n";
  return Estring(text.c_str());
}

Westring FreeLauncherPath(const Westring& directory, const Westring& title) {
  Westring base = directory;
  base.AddTrailingSlash();
  base += title;
  Westring path = base + L".desktop";
  for (int n = 2; Exists(path); ++n) {
    wchar_t suffix[32];
    std::swprintf(suffix, 32, L" (%d).desktop", n);
    path = base + suffix;
  }
  return path;
}

int WriteLauncherFile(const Westring& path, const Estring& text) {
  // O_EXCL: a file that appeared since the name was chosen is left alone.
  const int fd = open(path.ToUtf8().c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0755);
  if (fd < 0) return errno;
  int err = 0;
  const char* data = text.c_str();
  size_t left = static_cast<size_t>(text.Length());
  while (left > 0 && err == 0) {
    const ssize_t written = write(fd, data, left);
    if (written < 0 && errno == EINTR) continue;
    if (written < 0) err = errno;
    else {
      data += written;
      left -= static_cast<size_t>(written);
    }
  }
  if (close(fd) != 0 && err == 0) err = errno;
  return err;
}

void RunMakeDesktopObjects(CPanel& panel) {
  if (panel.Type() != PanelType::Files || panel.InArchive()) return;
  const std::vector<int> chosen = panel.ChosenEntries();
  if (chosen.empty()) return;
  const Westring desktop = DesktopDirectory();
  if (panel.TaggedCount() == 0) {
    const entry& e = *panel.At(chosen[0]);
    const Westring path = panel.PathOf(e.Name());
    const bool executable = IsExecutableFile(e, path);
    Westring title;
    if (!AskTitle(e, executable, &title)) return;
    MakeLauncher(desktop, title, path, executable, executable && g_terminalSession != 0);
    return;
  }
  wchar_t caption[64];
  std::swprintf(caption, 64, L"Make %d objects", static_cast<int>(chosen.size()));
  if (MessageBox(Westring(caption), desktop, MessageStyle::OkCancel | MessageStyle::Messages) != 'y') return;
  for (int index : chosen) {
    const entry& e = *panel.At(index);
    const Westring path = panel.PathOf(e.Name());
    MakeLauncher(desktop, Westring(e.Name()), path, IsExecutableFile(e, path), false);
    panel.Tag(index, TagMode::Untag);
  }
  panel.MarkForRedraw();
}

Westring GuiBrowserCommand(const Westring& directory, Westring (*findProgram)(const Westring& name)) {
  for (const TBrowser& browser : kBrowsers) {
    if (findProgram(browser.program).IsEmpty()) continue;
    Westring arguments(browser.arguments);
    arguments.ReplaceAll(L"!", ShellQuote(directory));
    return Westring(browser.program) + L" " + arguments + L" &";
  }
  return Westring();
}

void OpenGuiFileWindow(const CPanel& panel) {
  const Westring command = GuiBrowserCommand(panel.WorkingDirectory(), FindProgram);
  if (command.IsEmpty()) {
    MessageBox(Westring("No graphical file browser was found"), Westring("nautilus, dolphin or xdg-open"),
               MessageStyle::Ok);
    return;
  }
  RunCommand(command);
}
