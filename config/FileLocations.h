#pragma once
// Where the per-user and shared files live: $HOME/.vkl/ and a base name
// taken from the program, or the directory and name of a configuration
// file named on the command line.
#include "foundation/Westring.h"

enum class FileKind { HelpText, Manual, UserMenu, Configuration, Histories, Log, SyntaxDefinitions };

/// Sets the per-user directory and base name: from HOME and the program's
/// file name, or, when configFile is not empty, from that file.
void SetFileLocations(const Westring& programPath, const Westring& configFile);

/// The file of a kind; `shared` picks the shared syntax definitions.
Westring GetFileLocation(FileKind kind, bool shared = false);

/// The syntax definitions to read: the first file that exists of the
/// per-user one, the shared one and the one shipped in the source tree (so a
/// program run from its build tree finds it); empty when there is none.
Westring FindSyntaxDefinitions();
/// The same search with the shared and the source tree's files given.
Westring FindSyntaxDefinitions(const Westring& sharedFile, const Westring& sourceFile);

/// The main user menu: the user's own file when it exists, else the shipped
/// example; empty when there is neither.
Westring FindMainMenu();
/// The shipped example menu: the shared one, else the source tree's.
Westring FindExampleMenu();

/// The help text to load: the shared file, else the one the build wrote;
/// empty when there is neither.
Westring FindHelpFile();
/// The manual's index page: the installed one, else the build's; empty when
/// there is neither.
Westring FindManualIndex();
