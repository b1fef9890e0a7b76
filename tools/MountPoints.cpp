// The mount-point chooser: the " Mount Points " list and eject through GIO.
#include "tools/MountPoints.h"

#include <gio/gio.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <mutex>

#include "console/Console.h"
#include "console/KeyCodes.h"
#include "dialogs/Dialog.h"
#include "dialogs/HelpTopics.h"
#include "dialogs/ListBox.h"
#include "dialogs/Look.h"
#include "dialogs/MessageBox.h"
#include "foundation/NumberFormat.h"
#include "foundation/StringCollections.h"
#include "foundation/SyncEvent.h"
#include "foundation/SysCalls.h"

namespace {

constexpr uint32_t kEjectWaitMs = 15000;
constexpr int kSizeWidth = 7;

// A file system that did not answer in time shows "?".
Westring FigureText(int64_t bytes) {
  return bytes < 0 ? Westring(L"?").FitRight(kSizeWidth) : FormatSizeAsShown(bytes, kSizeWidth);
}

struct TColumns {
  int device = 6, mountPoint = 11, type = 11;  // at least the headings
};

Westring Row(const TColumns& c, const Westring& device, const Westring& mount, const Westring& type,
             const Westring& size, const Westring& free) {
  return device.FitLeft(c.device) + L" " + mount.FitLeft(c.mountPoint) + L" " + type.FitLeft(c.type) + L" " +
         size.FitRight(kSizeWidth) + L" " + free.FitRight(kSizeWidth);
}

// One run of the dialog: 1 chosen (*selected), 0 Esc, 2 read again.
int RunList(const TObjectStore<TMountPoint>& list, int* selected) {
  TColumns columns;
  for (const TMountPoint* m : list) {
    columns.device = std::max(columns.device, m->device.Length());
    columns.mountPoint = std::max(columns.mountPoint, m->mountPoint.Length());
    columns.type = std::max(columns.type, m->fsType.Length());
  }
  const int screenColumns = g_console->Columns(), lines = g_console->Lines();
  // Too wide for the screen: the device column gives way first, then the
  // mount points'.
  int excess = columns.device + columns.mountPoint + columns.type + 2 * kSizeWidth + 4 - (screenColumns - 6);
  for (int* column : {&columns.device, &columns.mountPoint}) {
    const int room = std::max(0, *column - 11);
    const int cut = std::min(room, std::max(0, excess));
    *column -= cut;
    excess -= cut;
  }
  const int fixed = columns.mountPoint + columns.type + 2 * kSizeWidth + 4;
  WestringStore rows;
  for (const TMountPoint* m : list)
    rows.AppendCopy(Row(columns, m->device, m->mountPoint, m->fsType, FigureText(m->totalBytes),
                        FigureText(m->availableBytes)));
  const int width = std::min(screenColumns - 2, columns.device + fixed + 4);
  const int height = std::min(list.Count() + 4, lines - 5);
  Dialog dialog(-1, -3, width, height, Colour(ColourClass::Messages));
  dialog.SetHelpTopic(HelpTopic::MountPoints);
  dialog.DrawTitle(L" Mount Points ");
  dialog.WriteText(1, 0, Row(columns, L"Device", L"Mount Point", L"File System", L"Size", L"Free").Left(width - 3).c_str());
  const Westring hint(L" Alt-E=Eject ");  // on the bottom frame line
  g_console->WriteText(dialog.Left() + (width - hint.Length()) / 2, dialog.Bottom(), hint.c_str(), dialog.Attr());
  dialog.AddListBox(1, 1, true, width - 4, height - 3, &rows, selected, 0);
  dialog.AddExitKey(Key::CtrlR);
  dialog.AddExitKey(Key::AltE);
  for (;;) {
    const int result = dialog.Run();
    if (result == DialogResult::Ok) return 1;
    if (result == static_cast<int>(Key::CtrlR)) return 2;
    if (result != static_cast<int>(Key::AltE)) return 0;
    EjectMountPoint(list.At(*selected)->mountPoint);
    return 2;
  }
}

struct TEjectState {
  SyncEvent done;
  std::mutex lock;
  std::string error;
};

void EjectFinished(GObject* mount, GAsyncResult* result, gpointer data) {
  auto* state = static_cast<std::shared_ptr<TEjectState>*>(data);
  GError* error = nullptr;
  if (!g_mount_eject_with_operation_finish(G_MOUNT(mount), result, &error)) {
    std::lock_guard<std::mutex> guard((*state)->lock);
    (*state)->error = error != nullptr ? error->message : "?";
  }
  if (error != nullptr) g_error_free(error);
  (*state)->done.Signal();
  delete state;
}

// The process's directory, when it lies inside mountPoint, moves to its
// parent; returns the directory to go back to, or empty.
Westring LeaveMountPoint(const Westring& mountPoint) {
  char* here = getcwd(nullptr, 0);
  if (here == nullptr) return Westring();
  const Westring current(here);
  std::free(here);
  Westring inside = mountPoint;
  inside.AddTrailingSlash();
  if (current != mountPoint && current.Left(inside.Length()) != inside) return Westring();
  const Westring parent = mountPoint.DirPart().IsEmpty() ? Westring(L"/") : mountPoint.DirPart();
  return Sys::ChangeDirectory(parent) == 0 ? current : Westring();
}

}  // namespace

Westring ChooseMountPoint() {
  int selected = 0;
  for (;;) {
    TObjectStore<TMountPoint> list;
    if (Sys::ReadMountPoints(list, Sys::MountSelection::Usable) != 0 || list.Count() == 0) return Westring();
    selected = std::min(selected, list.Count() - 1);
    const int result = RunList(list, &selected);
    if (result == 1) return list.At(selected)->mountPoint;
    if (result == 0) return Westring();
  }
}

void EjectMountPoint(const Westring& mountPoint) {
  const Westring previous = LeaveMountPoint(mountPoint);
  GFile* file = g_file_new_for_path(mountPoint.ToUtf8().c_str());
  GMount* mount = g_file_find_enclosing_mount(file, nullptr, nullptr);
  g_object_unref(file);
  if (mount != nullptr) {
    auto state = std::make_shared<TEjectState>();
    Dialog window(-1, -3, 15, 5, Colour(ColourClass::Messages));
    window.WriteCentred(1, L"Ejecting...");
    g_mount_eject_with_operation(mount, G_MOUNT_UNMOUNT_NONE, nullptr, nullptr, EjectFinished,
                                 new std::shared_ptr<TEjectState>(state));
    g_object_unref(mount);
    const int waited = state->done.Wait(kEjectWaitMs);
    std::string error;
    {
      std::lock_guard<std::mutex> guard(state->lock);
      error = state->error;
    }
    if (waited != 0) MessageBox(L"eject failed", mountPoint, MessageStyle::Ok);
    else if (!error.empty()) MessageBox(L"Error ejecting", Westring(error.c_str()), MessageStyle::Ok);
  }
  if (!previous.IsEmpty()) (void)Sys::ChangeDirectory(previous);
}
