#include "dialogs/Help.h"

#include "dialogs/MessageBox.h"
#include "foundation/Westring.h"

namespace {
void (*s_viewer)(int topic) = nullptr;
}  // namespace

void ShowHelp(int topic) {
  if (s_viewer != nullptr) {
    s_viewer(topic);
    return;
  }
  MessageBox(Westring("Help not loaded"), Westring(), MessageStyle::Ok | MessageStyle::Messages);
}

void SetHelpViewer(void (*viewer)(int topic)) { s_viewer = viewer; }
