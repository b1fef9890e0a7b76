// Window tests (console, dialogs) run against one real console window under
// the private Xvfb that tests/with-xvfb.sh starts; like the program, the
// process has one.
#include <gdk/gdk.h>
#include <gtest/gtest.h>
#include <gtkmm/main.h>

#include "console/Console.h"
#include "console/GdkLock.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  InitGdkThreads();
  Gtk::Main kit(argc, argv);
  CConsole console;
  g_console = &console;
  return RUN_ALL_TESTS();
}
