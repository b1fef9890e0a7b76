#include "fileops/MakeDirectory.h"

#include <sys/stat.h>

#include <cerrno>

#include "dialogs/Dialog.h"
#include "dialogs/HelpTopics.h"
#include "dialogs/Look.h"
#include "dialogs/MessageBox.h"
#include "fileops/CopyFiles.h"
#include "fileops/internal/CommandShared.h"
#include "fileops/internal/CopyShared.h"
#include "panels/Panel.h"
#include "panels/TreeHooks.h"

namespace {

constexpr int kWidth = 76, kFieldWidth = 72, kMaxLength = 512;
constexpr int kDirectoryNameHistory = 3;

// The name typed, or empty when the dialog was left with Esc or Cancel.
Westring AskName() {
  Westring text;
  Dialog dialog(-1, -3, kWidth, 6, Colour(ColourClass::Messages));
  dialog.SetHelpTopic(HelpTopic::MakeDirectory);
  dialog.WriteText(1, 0, L"Create the directory", dialog.NormalColour());
  dialog.AddStringField(1, 1, true, &text, kFieldWidth, kMaxLength, kDirectoryNameHistory);
  dialog.SetDefaultButton(dialog.AddPushButton(52, 3, true, DialogResult::Ok, "OK"));
  dialog.AddPushButton(60, 3, false, DialogResult::Cancel, "Cancel");
  if (dialog.Run() != DialogResult::Ok) return Westring();
  dialog.CommitAll();
  return text;
}

// The entry a name made below the directory shows as: its first component.
Westring FirstComponent(const Westring& name) {
  int start = 0;
  while (start < name.Length() && name[start] == L'/') ++start;
  const Westring rest = name.Mid(start);
  const int slash = rest.Find(L'/');
  return slash < 0 ? rest : rest.Left(slash);
}

// 0 when made; else the user has been told and the command ends.
int MakeNamedDirectory(const Estring& path, const Westring& name) {
  TCopyContext context;
  for (;;) {
    int err = mkdir(path.c_str(), 0777) == 0 ? 0 : errno;
    if (err == 0) {
      g_treeHooks.directoryMade(copyengine::Shown(copyengine::AbsolutePath(path)));
      return 0;
    }
    if (err == EEXIST) {
      struct stat info {};
      const bool directory = stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
      MessageBox(Westring(directory ? "Directory already exists" : "File already exists named"),
                 name, MessageStyle::Ok);
      return err;
    }
    if (!ReportCopyError(&err, path, path, &context)) return err;
  }
}

}  // namespace

void RunMakeDirectoryCommand(CPanel& active, CPanel& other) {
  CPanel& panel = active.Type() == PanelType::Files ? active : other;
  Westring name = AskName();
  name.Trim();
  if (name.IsEmpty()) return;
  if (IsCaseFilterFileSystem(panel.Directory())) name.FoldUpper();
  if (MakeNamedDirectory(copyengine::Joined(panel.Directory().ToUtf8(), name.ToUtf8().c_str()),
                         name) != 0)
    return;
  panel.ReadDirectory();
  panel.PutCursorOn(FirstComponent(name).c_str());
  panel.MarkForRedraw();
  (&panel == &active ? other : active).MarkForReread();
}
