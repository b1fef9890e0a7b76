#include "fileops/DeleteFiles.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "config/Settings.h"
#include "console/Console.h"
#include "dialogs/Dialog.h"
#include "dialogs/HelpTopics.h"
#include "dialogs/Look.h"
#include "dialogs/MessageBox.h"
#include "fileops/CopyFiles.h"
#include "fileops/Descriptions.h"
#include "fileops/internal/CopyShared.h"
#include "foundation/SysCalls.h"
#include "foundation/TimeValue.h"
#include "panels/Expression.h"
#include "panels/TreeHooks.h"

using namespace copyengine;

namespace {

constexpr int kMinWindowWidth = 18;
// A tree of many small files would spend its time drawing names nobody can read.
constexpr double kRedrawSeconds = 0.05;

// The "Deleting the file" window: the path centred below the title; a path
// wider than the window reopens it wider.
void ShowDeleting(const Estring& path, TDeleteState& state, TCopyContext* context) {
  const double now = NowSeconds();
  if (context->progress.startTime == 0) context->progress.startTime = now;
  if (g_console == nullptr) return;  // no screen to show it on
  if (state.window && now - state.lastShown < kRedrawSeconds) return;
  state.lastShown = now;
  Westring shown = Shown(path);
  const int limit = std::max(kMinWindowWidth, g_console->Columns() - 8);
  if (shown.Length() > limit) shown = shown.Right(limit);
  g_console->BeginUpdate();
  if (!state.window || shown.Length() > state.windowWidth) {
    state.windowWidth = std::max({state.windowWidth, shown.Length(), kMinWindowWidth});
    state.window.reset();  // the screen it covered comes back first
    const uint8_t attr = Colour(ColourClass::Messages);
    state.window = std::make_unique<Win>(-1, -3, state.windowWidth + 4, 4, attr, attr);
  }
  state.window->Clear();
  state.window->WriteCentred(0, "Deleting the file");
  state.window->WriteCentred(1, shown.c_str());
  g_console->EndUpdate();
}

void CloseWindow(TDeleteState& state) {
  state.window.reset();
  state.windowWidth = kMinWindowWidth;
}

int Removed(const Estring& path) { return unlink(path.c_str()) == 0 ? 0 : errno; }

bool DirectoryOfIsWritable(const Estring& path) {
  const char* slash = strrchr(path.c_str(), '/');
  Estring directory(".");
  if (slash == path.c_str()) directory = "/";
  else if (slash != nullptr) directory.Assign(path.c_str(), static_cast<int>(slash - path.c_str()));
  return access(directory.c_str(), W_OK) == 0;
}

// The question about a file the user may not write; 1 to remove it, 0 to
// leave it, -1 to cancel, 2 to try again.
int AskAboutReadOnlyFile(const Estring& path, TCopyContext* context) {
  switch (Ask(context, "File is Read Only, Delete anyway?", path,
              MessageStyle::OkCancelSkipAll | MessageStyle::Messages)) {
    case 'y':
      return 1;
    case 'a':
      context->deletion.readOnly = ReadOnlyMode::All;
      return 1;
    case 'e':
      context->deletion.readOnly = ReadOnlyMode::None;
      return 0;
    case 's':
      return 0;
    case 27:
      return -1;
    default:
      return 2;
  }
}

int RemoveFile(const Estring& path, bool force, TCopyContext* context) {
  TDeleteState& state = context->deletion;
  bool direct = force;
  for (;;) {
    const bool checked = !direct && state.readOnly != ReadOnlyMode::All;
    int err = checked ? Sys::DeleteFile(path.c_str()) : Removed(path);
    if (err == 0) {
      DropDescription(path);
      return 1;
    }
    if (force && (err == ENOENT || err == ENOTDIR)) return 0;
    // Refused because the file is not writable, not because its directory is not.
    if (checked && err == EACCES && access(path.c_str(), W_OK) != 0) {
      if (state.readOnly == ReadOnlyMode::None) return 0;
      if (DirectoryOfIsWritable(path)) {
        const int answer = AskAboutReadOnlyFile(path, context);
        if (answer == 1) direct = true;
        if (answer == 0 || answer == -1) return answer;
        continue;
      }
    }
    if (!ReportCopyError(&err, path, path, context)) return err == CopyResult::Cancelled ? -1 : 0;
  }
}

bool IsReadOnly(const struct stat& info) {
  return !Sys::WritableByProcess(info.st_mode, info.st_uid, info.st_gid);
}

// Error 13 on a directory marked read-only: asked about (unless read-only
// objects go without asking), then its write bit is set. 1 to try again, 0
// to leave it, -1 to end the command.
int ClearReadOnlyDirectory(const Estring& path, const struct stat& info, TCopyContext* context) {
  TDeleteState& state = context->deletion;
  if (state.readOnly == ReadOnlyMode::None) return 0;
  if (state.readOnly != ReadOnlyMode::All) {
    switch (Ask(context, "Directory is Read Only, Delete anyway?", path,
                MessageStyle::OkCancelSkipAll | MessageStyle::Messages)) {
      case 'y':
        break;
      case 'a':
        state.readOnly = ReadOnlyMode::All;
        break;
      case 27:
        return -1;
      default:
        return 0;
    }
  }
  if (chmod(path.c_str(), (info.st_mode & 07777) | S_IWUSR) != 0) {
    (void)Ask(context, "Unable to clear Read Only flag", path, MessageStyle::Ok);
    return -1;
  }
  return 1;
}

// rmdir with its questions; the directory is known to be empty or listed.
int RemoveEmptyDirectory(const Estring& path, TCopyContext* context) {
  bool cleared = false;
  for (;;) {
    int err = rmdir(path.c_str()) == 0 ? 0 : errno;
    if (err == 0 || err == ENOENT || err == ENOTDIR) {
      if (err != 0) (void)Ask(context, "Directory does not exist, cannot delete", path, MessageStyle::Ok);
      DropDescription(path);
      g_treeHooks.directoryRemoved(Shown(AbsolutePath(path)));
      context->deletion.directoryDeleted = true;
      return 1;
    }
    // Entries the walk left (skipped, failed, not matching) keep it quietly.
    if ((err == ENOTEMPTY || err == EEXIST) && context->deletion.treeDepth > 0) return 0;
    struct stat info {};
    if (!cleared && (err == EACCES || err == EPERM) && lstat(path.c_str(), &info) == 0 && IsReadOnly(info)) {
      const int settled = ClearReadOnlyDirectory(path, info, context);
      if (settled != 1) return settled;
      cleared = true;
      continue;
    }
    if (!ReportCopyError(&err, path, path, context)) return err == CopyResult::Cancelled ? -1 : 0;
  }
}

bool Matches(const wchar_t* expression, const Estring& name) {
  if (wcscmp(expression, L"*") == 0) return true;
  return EvaluateOnName(expression, Shown(name).c_str()) == 1;
}

// Everything below path, then path itself; 1 when the walk completed, -1
// when the user stopped it.
int RemoveTree(const Estring& path, const wchar_t* expression, TCopyContext* context) {
  std::vector<Estring> names;
  for (int err; (err = ListDirectory(path, &names, true)) != 0;) {
    names.clear();
    if (!ReportCopyError(&err, path, path, context)) {
      if (err == CopyResult::Cancelled) return -1;
      break;
    }
  }
  for (const Estring& name : names) {
    if (CancelRequested(context)) return -1;
    const Estring full = Joined(path, name.c_str());
    struct stat info {};
    int result = 1;
    if (LinkStatus(full, &info) == 0 && S_ISDIR(info.st_mode))
      result = RemoveTree(full, expression, context);
    else if (Matches(expression, name))
      result = DeleteFile(full, DeleteMode::Series, context);
    if (result < 0) return -1;
  }
  // The walk has emptied it, unless entries stayed: rmdir says which, so it
  // is not listed again.
  return RemoveEmptyDirectory(path, context) < 0 ? -1 : 1;
}

// "Directory ... is not empty / Delete tree?": 1 to go on, 2 for "All",
// -1 to cancel. With the typed confirmation the word must be "YES".
int ConfirmTree(const Estring& path) {
  Westring shown = Shown(path);
  const int limit = g_console->Columns() - 10;
  if (shown.Length() > limit) shown = shown.Right(limit);
  int width = std::max(shown.Length(), 27) + 2;
  width = (width + 1) / 2 * 2 + 2;
  const bool typed = AsksConfirmation(ConfirmBit::YesForNonEmptyDir);
  Dialog dialog(-1, -3, width, 8, Colour(ColourClass::Messages));
  dialog.SetHelpTopic(HelpTopic::Delete);
  dialog.WriteCentred(0, "Directory");
  dialog.WriteCentred(1, shown.c_str());
  dialog.WriteCentred(2, "is not empty");
  dialog.WriteCentred(3, "Delete tree?");
  Westring word;
  if (typed) {
    const int col = (dialog.Width() - 15) / 2;
    dialog.AddStaticText(col, 5, true, "Type \"YES\"");
    dialog.AddStringField(col + 11, 5, true, &word, 4, 4);
    dialog.SetFocusTo(1);
  } else {
    static const TButtonSpec kButtons[] = {
        {DialogResult::Ok, "_OK"}, {DialogResult::Cancel, "Cancel"}, {'a', "_All"}, {0, nullptr}};
    dialog.AddButtonRow(-1, 5, kButtons);
  }
  const int result = dialog.Run();
  if (typed) {
    if (result != DialogResult::Ok) return -1;
    dialog.CommitAll();
    return word.Trim().EqualsNoCase(L"YES") ? 1 : -1;
  }
  return result == DialogResult::Ok ? 1 : result == 'a' ? 2 : -1;
}

}  // namespace

TDeleteState::TDeleteState() : windowWidth(kMinWindowWidth) {}
TDeleteState::~TDeleteState() = default;

int DeleteFile(const Estring& path, int mode, TCopyContext* context) {
  TDeleteState& state = context->deletion;
  if (mode == DeleteMode::CloseWindow) {
    CloseWindow(state);
    return 0;
  }
  if (mode == DeleteMode::Single || mode == DeleteMode::Series) ShowDeleting(path, state, context);
  const int result = RemoveFile(path, mode == DeleteMode::QuietForce, context);
  if (mode == DeleteMode::Single) CloseWindow(state);
  return result;
}

int DeleteDirectory(const Estring& path, const wchar_t* expression, TCopyContext* context) {
  const char* slash = strrchr(path.c_str(), '/');
  if (strcmp(slash ? slash + 1 : path.c_str(), "..") == 0) return 0;
  const Estring absolute = AbsolutePath(path);
  struct stat info {};
  int err = LinkStatus(absolute, &info);
  if (err == 0 && !S_ISDIR(info.st_mode)) err = ENOTDIR;
  if (err != ENOENT && err != ENOTDIR) {
    std::vector<Estring> names;
    if (ListDirectory(absolute, &names, true) == 0 && !names.empty())
      return DeleteTree(absolute, expression, context);
  }
  return RemoveEmptyDirectory(absolute, context);
}

int DeleteTree(const Estring& path, const wchar_t* expression, TCopyContext* context) {
  TDeleteState& state = context->deletion;
  if (state.treeDepth > 0) return 0;
  if (AsksConfirmation(ConfirmBit::DeleteNonEmptyDir) && !state.treeAll) {
    const int answer = ConfirmTree(path);
    if (answer < 0) return -1;
    if (answer == 2) state.treeAll = true;
  }
  ++state.treeDepth;
  int armed = 0;
  const bool armedHere = g_breakFlag.compare_exchange_strong(armed, 1);
  int result = RemoveTree(path, expression, context);
  if (armedHere && g_breakFlag.exchange(0) == 2) result = -1;
  CloseWindow(state);
  --state.treeDepth;
  return result;
}
