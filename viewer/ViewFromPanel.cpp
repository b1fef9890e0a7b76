#include "viewer/ViewFromPanel.h"

#include "console/Console.h"
#include "console/KeyCodes.h"
#include "dialogs/Look.h"
#include "dialogs/Win.h"
#include "panels/Panel.h"
#include "viewer/FileViewer.h"

namespace {

// The nearest entry from index in direction step that is a file, or -1.
int NearestFile(const CPanel& panel, int index, int step) {
  for (int i = index + step; i >= 0 && i < panel.Count(); i += step) {
    const entry* e = panel.At(i);
    if (e != nullptr && !e->IsDirectory() && !e->IsUpDir()) return i;
  }
  return -1;
}

// A small window until a key is pressed.
void ShowNoMoreFiles() {
  Win window(-1, -2, 18, 5, Colour(ColourClass::Messages), Colour(ColourClass::Messages));
  window.WriteCentred(1, "No more files");
  for (;;) {
    TMouseRecord mouse;
    const uint32_t key = g_console->GetKey(&mouse, -1);
    if (key == Key::ModifierChange) continue;
    if (key == Key::Mouse && mouse.action != TMouseRecord::LeftPress && mouse.action != TMouseRecord::RightPress)
      continue;
    return;
  }
}

// Inside an archive the member is extracted first; empty after a failure.
Westring FileToView(CPanel& panel, const entry& current) {
  if (CArchiveListing* archive = panel.Archive()) return archive->ExtractForView(panel.InnerDirectory(), current);
  return panel.PathOf(current.Name());
}

}  // namespace

void ViewFromPanel(CPanel& panel) {
  for (;;) {
    const entry* current = panel.CursorEntry();
    if (current == nullptr) return;
    const Westring path = FileToView(panel, *current);
    if (path.IsEmpty()) return;
    const uint32_t key = RunFileViewer(path);
    if (key != Key::AltUp && key != Key::AltDown) return;
    const int next = NearestFile(panel, panel.CursorIndex(), key == Key::AltUp ? -1 : 1);
    if (next < 0) {
      ShowNoMoreFiles();
      return;
    }
    panel.SetCursorIndex(next);
  }
}
