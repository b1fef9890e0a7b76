#pragma once
// Command macros: the codes after the macro character (CmdChar, "!") that a
// command line, an association or a user-menu command uses for file names,
// directories, list files and typed text, and the $NAME references; how a
// command runs for a panel; and which association command fits a file.
// Application thread.
#include "foundation/Westring.h"

enum class MacroMode : int {
  Name = 0,         // expand for one given name
  Association = 1,  // as Name; a command without any macro gets " !" appended first
  Analyse = 2,      // only learn the result: no files written, no questions asked
};

/// Expands command for panel side (0 left, 1 right) into *expanded, with
/// name as the current name (the active panel's cursor entry when empty).
/// -1 when a prompt was cancelled or a list file could not be written, 1
/// when the command runs once per tagged entry ("!t"), else 0.
int ExpandMacros(const Westring& command, MacroMode mode, const Westring& name, int side, Westring* expanded);

/// Runs a typed or menu command for a panel: this process's old temporary
/// files are deleted, the command is analysed, then expanded and executed
/// once, or once per tagged entry in panel order when it asks for that (a
/// failing execution ends the loop). An association runs once, expanded in
/// association mode for name (the entry under the cursor when empty). 0, or -1.
int RunForPanel(const Westring& command, int side, bool association = false, const Westring& name = Westring());

/// The sections whose pattern records find a file's command.
enum class AssociationKind : int { Open = 0, View = 1, Edit = 2 };
/// The command of the first record whose pattern (a filter expression)
/// matches name, or empty.
Westring FindAssociation(AssociationKind kind, const Westring& name);
/// The viewer or editor command for name: the Viewer2 or Editor2 setting
/// when alternate, else the association, else the Viewer or Editor
/// setting; empty means the internal one.
Westring ViewerOrEditorCommand(bool edit, bool alternate, const Westring& name);
