#include "panels/ExecuteCommand.h"

#include <cstdio>

#include "console/ChildEnvironment.h"
#include "console/Console.h"
#include "console/RunCommand.h"
#include "console/UserScreen.h"
#include "dialogs/Look.h"
#include "dialogs/MessageBox.h"
#include "foundation/StdFile.h"
#include "foundation/SysCalls.h"
#include "foundation/Wildcard.h"
#include "panels/CommandLine.h"
#include "panels/Expression.h"
#include "panels/Panel.h"
#include "panels/PathNames.h"
#include "panels/TreeHooks.h"

namespace {

int ChangeDirectoryCommand(const Westring& command, CPanel& panel) {
  const Westring target = DirectoryChangeTarget(command, panel.Directory());
  if (target.IsEmpty()) {
    Westring argument = command.Mid(2);
    MessageBox(Westring("Invalid path"), argument.TrimLeft(), MessageStyle::Ok);
    return -1;
  }
  if (panel.EnterDirectory(target) != 0) {
    // A name the directory lacks may be one the directory tree knows below it.
    const Westring found = g_treeHooks.findDirectory(panel.Directory(), DirectoryChangeArgument(command));
    if (found.IsEmpty() || panel.EnterDirectory(found) != 0) {
      MessageBox(Westring("Invalid directory"), found.IsEmpty() ? target : found, MessageStyle::Ok);
      return -1;
    }
  }
  panel.SetCursorIndex(0);
  panel.SetType(PanelType::Files);
  return 0;
}

// vcdpgm writes the chosen directory into a file. A first line of more than
// one character names a drive: this system has the one root, so the choice
// goes below "/"; without one it goes below the panel's directory. The second line, after its first double quote and without its
// last character, is the choice. The file goes whatever happens.
int ExternalChooserCommand(const Westring& command, int side) {
  CPanel& panel = *g_panels[side];
  Westring rest = command.Mid(3);
  Westring output = TemporaryDirectory();
  output.AddTrailingSlash();
  output += L"vk2cd.$$$";
  const int err = ExecuteCommand(L"vcdpgm.exe " + rest.Trim() + L" > " + ShellQuote(output), side);
  StdFile in;
  Westring prefix = panel.Directory(), chosen;
  bool chose = false;
  char line[4096];
  if (err == 0 && in.Open(output, 0) == 0) {
    if (in.ReadLine(line, sizeof line) == 0) {
      Westring first = Westring::FromUtf8(line);
      if (first.Trim().Length() > 1) prefix = Westring();
      if (in.ReadLine(line, sizeof line) == 0) {
        const Westring second = Westring::FromUtf8(line);
        const int quote = second.Find(L'"');
        if (quote >= 0) {
          chosen = second.Mid(quote + 1).AllButLast(1);
          chose = true;
        }
      }
    }
    (void)in.Close();
  }
  (void)Sys::DeleteFile(output);
  if (!chose) return err;
  const Westring joined = prefix + L"/" + chosen;
  Westring target = joined;
  if (ResolvePath(&target) != 0 || panel.EnterDirectory(target) != 0) {
    MessageBox(Westring("Invalid directory"), joined, MessageStyle::Ok);
    return -1;
  }
  return 0;
}

int SetVariableCommand(const Westring& command) {
  Westring assignment = command.Mid(4);
  assignment.Trim();
  const int equals = assignment.Find(L'=');
  SetEnvironmentVariable(assignment.Left(equals), assignment.Mid(equals + 1));
  return 0;
}

bool BottomRowBlank() {
  const CConsole& console = *g_console;
  const int bottom = console.Lines() - 1;
  for (int col = 0; col < console.Columns(); ++col)
    if (console.CellAt(col, bottom).ch != L' ' && console.CellAt(col, bottom).ch != 0) return false;
  return true;
}

int ShellCommand(const Westring& command, CPanel& panel, const Westring& shown, int flags) {
  if (!(flags & ExecuteFlag::StayInDirectory)) {
    if (int err = Sys::ChangeDirectory(panel.WorkingDirectory())) {
      MessageBox(Sys::ErrorText(err), panel.WorkingDirectory(), MessageStyle::Ok);
      return -1;
    }
  }
  RestoreUserScreen();
  EchoCommandLine(CommandPrompt(panel.Directory()) + (shown.IsEmpty() ? command : shown));
  RunCommand(command);
  SaveUserScreen();
  for (CPanel* each : g_panels)
    if (each != nullptr) each->MarkForReread();
  return 0;
}

}  // namespace

// The line goes on the bottom row as the command line showed it, below any
// output left there, and a line feed makes room for the command's own output.
void EchoCommandLine(const Westring& line) {
  CConsole& console = *g_console;
  const int bottom = console.Lines() - 1;
  if (console.CursorColumn() > 0 || !BottomRowBlank()) {
    console.SetCursorPos(0, bottom);
    console.WriteOutput("\n", 1);
  }
  const uint8_t outputAttr = console.OutputAttr(), attr = Colour(ColourClass::CommandLine);
  console.FillArea(0, bottom, console.Columns(), 1, attr);
  console.SetCursorPos(0, bottom);
  // Rows a long line wraps onto scroll in with the output colour, which is the line's meanwhile.
  console.SetOutputAttr(attr);
  console.WriteOutput(line.ToUtf8().c_str(), -1);
  console.SetOutputAttr(outputAttr);
  console.WriteOutput("\n", 1);
}

bool IsDirectoryChange(const Westring& command) { return WildcardMatch(L"cd[\\. ]*", command.c_str()); }

Westring DirectoryChangeArgument(const Westring& command) {
  Westring argument = command.Mid(2);
  argument.TrimLeft();
  // "\x" keeps x, so "\\" is one backslash, which the resolving makes a separator.
  Westring path = Unescape(argument);
  path.ReplaceAll(L"\\", L"/");
  return path;
}

Westring DirectoryChangeTarget(const Westring& command, const Westring& base) {
  Westring path = DirectoryChangeArgument(command);
  return ResolvePath(&path, base) == 0 ? path : Westring();
}

int ExecuteCommand(const Westring& command, int side, const Westring& shown, int flags) {
  CPanel* panel = g_panels[side];
  if (panel == nullptr || command.IsEmpty()) return -1;
  if (IsDirectoryChange(command)) return ChangeDirectoryCommand(command, *panel);
  if (EvaluateOnName(L"vcd|vcd[\\ ]*", command.c_str()) == 1) return ExternalChooserCommand(command, side);
  if (WildcardMatch(L"set *=*", command.c_str())) return SetVariableCommand(command);
  return ShellCommand(command, *panel, shown, flags);
}
