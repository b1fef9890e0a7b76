#pragma once
// The screen commands write on: kept while the panels cover it, shown for
// each command and behind hidden panels. Application thread.

/// Puts the commands' screen and its cursor back on the console (an empty
/// screen in the output colour, cursor on the bottom row, the first time).
void RestoreUserScreen();
/// Keeps the console's cells and cursor as the commands' screen.
void SaveUserScreen();
