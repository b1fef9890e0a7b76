#pragma once
// The directory tree's commands and the hooks through which the panels and
// the file operations keep it current. Application thread.
class CPanel;

/// Installs the tree behind the panels' and file operations' hooks; called
/// once at start-up, before the panels are first read.
void InstallTreeHooks();

/// Alt+F10: the "Directory Tree" window on the panel's file system (scanned
/// first when there is no data file); the panel goes to the directory chosen.
void RunTreeCommand(CPanel& panel);

/// Writes every tree changed since it was last written.
void SaveDirectoryTrees();
