#pragma once
// The way every screen and dialog asks for help: ShowHelp(topic) hands the
// topic (dialogs/HelpTopics.h) to the help viewer, which installs itself at
// start-up. Application thread.

/// Shows a help topic in the installed viewer; with no viewer installed the
/// user is told "Help not loaded".
void ShowHelp(int topic);

/// Installs the help viewer ShowHelp calls; null uninstalls it.
void SetHelpViewer(void (*viewer)(int topic));
