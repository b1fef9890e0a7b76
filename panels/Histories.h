#pragma once
// What the program remembers across commands: the command history and the
// input histories of dialog fields (both kept in the per-user history file),
// the directories the panels left, and the ten stored paths (the d0..d9
// settings). Application thread.
#include "foundation/StringCollections.h"
#include "foundation/Westring.h"

/// Entries one dialog-field history keeps in the file.
constexpr int SavedInputEntries = 20;
/// Directories the directory history keeps.
constexpr int MaxDirectoryHistory = 100;

/// Executed commands, oldest first.
WestringStore& CommandHistory();
/// Appends command (leading blanks skipped) after removing equal ones; unless
/// doNotSave, appends it to the history file at once.
void AddCommand(const Westring& command, bool doNotSave = false);
/// Removes entry index of the command history (the file keeps it until it is rewritten).
void RemoveCommand(int index);

/// Reads the history file (a missing or unreadable one gives empty
/// histories), keeps the newest MaxHist commands and rewrites the file when
/// it held more; later additions are appended to this file.
void LoadHistories(const Westring& file);
/// Forgets every history and the file (tests, and before a new load).
void ClearHistories();

/// Directories left, oldest first.
WestringStore& DirectoryHistory();
/// Appends directory after removing an equal entry; beyond 100 the oldest goes.
void RecordDirectory(const Westring& directory);
