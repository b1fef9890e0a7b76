#pragma once
// F7: make a directory in the active panel's directory (the other panel's
// when the active one shows information), then re-read both panels with the
// cursor on the new name. Application thread.
class CPanel;

void RunMakeDirectoryCommand(CPanel& active, CPanel& other);
