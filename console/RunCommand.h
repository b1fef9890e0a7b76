#pragma once
// Running a command: detached (window-system programs, commands ending in
// "&") or attached to a pseudo-terminal whose output the console emulates.
// "$view" and "$edit" are internal commands. Application thread.
#include <functional>

#include "foundation/Estring.h"
#include "foundation/ObjectStore.h"
#include "foundation/Westring.h"

enum class InternalCommand { View, Edit };

/// What running a child needs from the layers above, installed at start-up:
/// the configuration gives the PathAppend directories and the message box
/// for failures, the program the internal viewer and editor. Before that,
/// PATH is not extended, failures go to standard error and the internal
/// commands do nothing.
struct TChildProcessHooks {
  /// The directories searched after PATH, read at every use.
  std::function<Westring()> pathAppend;
  /// Tells the user of a failure: the message and the system's text.
  std::function<void(const Westring& message, const Westring& detail)> reportError;
  /// Runs "$view" or "$edit" with the rest of the command line.
  std::function<void(InternalCommand command, const Westring& arguments)> runInternal;
};
extern TChildProcessHooks g_childProcessHooks;

/// Runs a command: the exit status of an attached one (-1 when it was
/// killed by a signal or no pseudo-terminal could be opened), 0 for a
/// detached or internal one.
int RunCommand(const Westring& command);

/// The full path of a program: a name with "/" when the file exists, else
/// the first directory of PATH (or "."), then of PathAppend, holding it;
/// empty when none does.
Westring FindProgram(const Westring& name);
/// True when "/usr/bin/ldd" lists libX11 for the program; false when ldd
/// cannot be run.
bool IsX11Program(const Westring& path);
/// 10 when the file exists with any execute bit, else 11.
int IsExecutable(const Westring& path);

/// Index of the first ch that no backslash precedes, or -1.
int FindUnescaped(const Westring& text, wchar_t ch);
/// The text with each backslash dropped and the character after it kept.
Westring Unescape(const Westring& text);
/// The text with a backslash before every character the shell would take
/// specially: blank, ! $ ~ ` [ ] { } ( ) \ ' " < > & | ;
Westring ShellQuote(const Westring& text);
/// True for the characters ShellQuote escapes.
bool IsShellSpecial(wchar_t ch);
