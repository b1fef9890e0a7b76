#pragma once
// The help window: one topic of the help text at a time, 74 columns wide
// and the screen height less 5 lines, scrolled by line and by page, with F1
// going to the index. Application thread.

/// Reads the help file of this run (the shared one, else the one the build
/// wrote) and installs the viewer that F1 everywhere reaches. Without a file
/// every F1 says "Help not loaded".
void LoadHelp();

/// Shows a topic until Esc; the screen beneath is put back.
void RunHelpViewer(int topic);
