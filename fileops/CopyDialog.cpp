#include "fileops/CopyDialog.h"

#include <cwchar>

#include "console/KeyCodes.h"
#include "dialogs/Dialog.h"
#include "dialogs/HelpTopics.h"
#include "dialogs/Look.h"
#include "dialogs/MessageBox.h"
#include "foundation/NameMask.h"
#include "foundation/SysCalls.h"
#include "panels/HistoryWindows.h"
#include "panels/PathNames.h"
#include "panels/TreeHooks.h"

namespace {

constexpr int kWidth = 76, kFieldWidth = 72, kMaxLength = 512;
constexpr int kDestinationHistory = 10;

// "/a/b" is below "/a"; "/a" below "/".
Westring ParentOf(const Westring& path) {
  const Westring parent = path.DirPart();
  return parent.IsEmpty() ? Westring(L"/") : parent;
}

bool HasWildcard(const Westring& name) { return name.Find(L'*') >= 0 || name.Find(L'?') >= 0; }

// Alt+D, F5 and F6: the field keeps its directory part, or a bare name gets
// the other panel's directory in front.
Westring DirectoryPartOf(const Westring& text, const Westring& otherDirectory) {
  const int slash = text.FindLast(L'/');
  if (slash >= 0) return text.Left(slash + 1);
  Westring joined = otherDirectory;
  joined.AddTrailingSlash();
  return joined + text;
}

}  // namespace

Westring CopyDialogTitle(bool move, int count, const Westring& name) {
  if (count > 1) {
    wchar_t title[64];
    std::swprintf(title, 64, L"%ls %d file%lc to", move ? L"Move" : L"Copy", count, count > 1 ? L's' : L' ');
    return Westring(title);
  }
  return Westring(move ? L"Move/Rename \"" : L"Copy \"") + name + L"\" to";
}

bool RunCopyDialog(bool move, const Westring& title, const Westring& otherDirectory, TCopyRequest* request) {
  Westring text = request->destination;
  int overwrite = request->overwrite;
  for (;;) {
    Dialog dialog(-1, -3, kWidth, move ? 7 : 9, Colour(ColourClass::Messages));
    dialog.SetHelpTopic(HelpTopic::Copy);
    dialog.WriteText(1, 0, title.c_str(), dialog.NormalColour());
    dialog.AddStringField(1, 1, true, &text, kFieldWidth, kMaxLength, kDestinationHistory);
    dialog.AddPushButton(1, 3, true, static_cast<int>(Key::F10), "F10-_Tree");
    dialog.AddPushButton(14, 3, false, static_cast<int>(Key::AltBackslash), "Dir _Hist");
    dialog.SetDefaultButton(dialog.AddPushButton(52, 3, false, DialogResult::Ok, "OK"));
    dialog.AddPushButton(60, 3, false, DialogResult::Cancel, "Cancel");
    if (!move) {
      dialog.AddStaticText(1, 5, true, "Overwrite");
      dialog.AddRadioButton(12, 5, false, &overwrite, 0, "As_k");
      dialog.AddRadioButton(24, 5, false, &overwrite, 1, "_Always");
      dialog.AddRadioButton(38, 5, false, &overwrite, 2, "N_ever");
      dialog.AddRadioButton(51, 5, false, &overwrite, 3, "If O_lder");
    }
    for (uint32_t key : {Key::F10, Key::AltBackslash, Key::AltD, Key::F5, Key::F6}) dialog.AddExitKey(key);
    const int result = dialog.Run();
    if (result == DialogResult::Cancel) return false;
    dialog.CommitAll();
    if (result == static_cast<int>(Key::F10)) {
      const Westring chosen = g_treeHooks.chooseDirectory(text);
      if (!chosen.IsEmpty()) text = chosen;
    } else if (result == static_cast<int>(Key::AltBackslash)) {
      const Westring chosen = ChooseFromDirectoryHistory();
      if (!chosen.IsEmpty()) text = chosen + L"/";
    } else if (result == static_cast<int>(Key::AltD) || result == static_cast<int>(Key::F5) ||
               result == static_cast<int>(Key::F6)) {
      text = DirectoryPartOf(text, otherDirectory);
    } else {
      request->destination = text;
      request->overwrite = overwrite;
      return true;
    }
  }
}

int CheckDestination(const Westring& typed, const Westring& base, int count, TDestination* out) {
  Westring path = typed;
  path.Trim();
  out->intoDirectory = path.Length() > 1 && path[path.Length() - 1] == L'/';
  if (path.IsEmpty() || ResolvePath(&path, base) != 0) {
    MessageBox(Westring("Invalid path"), typed, MessageStyle::Ok);
    return -1;
  }
  const bool isDirectory = Sys::CheckDirectory(path) == 0;
  if (count > 1 && !isDirectory && !HasWildcard(path.NamePart())) {
    MessageBox(Westring("Destination must be a valid directory"), path, MessageStyle::Ok);
    return -1;
  }
  const Westring directory = out->intoDirectory ? path : ParentOf(path);
  if ((out->intoDirectory && !isDirectory) || Sys::CheckDirectory(directory) != 0) {
    MessageBox(Westring("Directory does not exist"), directory, MessageStyle::Ok);
    return -1;
  }
  out->path = path;
  return 0;
}

Westring CopyTarget(const TDestination& destination, const Westring& source) {
  const Westring& path = destination.path;
  const Westring name = source.NamePart();
  const Westring last = path.NamePart();
  Westring inside = path;
  inside.AddTrailingSlash();
  if (HasWildcard(last)) {
    Westring directory = ParentOf(path);
    directory.AddTrailingSlash();
    return directory + ApplyNameMask(last, name);
  }
  if (destination.intoDirectory) return inside + name;
  if (Sys::CheckDirectory(path) == 0 && path != source && last != name) return inside + name;
  return path;
}
