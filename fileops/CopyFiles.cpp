#include "fileops/CopyFiles.h"
#include "fileops/Descriptions.h"
#include "panels/TreeHooks.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "console/Console.h"
#include "dialogs/MessageBox.h"
#include "fileops/CopyProgress.h"
#include "fileops/internal/CopyShared.h"
#include "foundation/SysCalls.h"
#include "foundation/TimeValue.h"

using namespace copyengine;

namespace {

// Esc is read only once the progress window may show, one second in.
constexpr double kEscAfterSeconds = 1.0;

enum class Operation : uint8_t { Copy, Move };

void ShowFile(TCopyContext* context, Operation operation, const Estring& source,
              const Estring& destination, int index, int count) {
  TCopyProgressRecord& progress = context->progress;
  if (progress.startTime == 0) progress.startTime = NowSeconds();
  if (!progress.window) progress.window = std::make_unique<CCopyProgress>(&progress);
  progress.window->ShowFile(Westring(operation == Operation::Copy ? L"Copying" : L"Moving"),
                            Shown(source), Shown(destination), index, count);
}

bool NotOlder(const struct stat& destination, const struct stat& source) {
  if (destination.st_mtim.tv_sec != source.st_mtim.tv_sec)
    return destination.st_mtim.tv_sec > source.st_mtim.tv_sec;
  return destination.st_mtim.tv_nsec >= source.st_mtim.tv_nsec;
}

// The overwrite question of a copy; 1 to delete and retry, else the result.
int SettleExisting(const Estring& destination, TCopyContext* context, const struct stat& sourceInfo,
                   const struct stat& destinationInfo) {
  switch (context->overwrite) {
    case OverwriteMode::Always:
      return 1;
    case OverwriteMode::Never:
      return CopyResult::Skipped;
    case OverwriteMode::IfOlder:
      return NotOlder(destinationInfo, sourceInfo) ? 0 : 1;
    case OverwriteMode::Ask:
      break;
  }
  switch (Ask(context, "File already exists, Overwrite?", destination,
              MessageStyle::OkCancelSkipAllOlder | MessageStyle::Messages)) {
    case 'y':
      return 1;
    case 'a':
      context->overwrite = OverwriteMode::Always;
      return 1;
    case 'e':
      context->overwrite = OverwriteMode::Never;
      return CopyResult::Skipped;
    case 'd':
      context->overwrite = OverwriteMode::IfOlder;
      return NotOlder(destinationInfo, sourceInfo) ? 0 : 1;
    case 27:
      return CopyResult::Cancelled;
    default:
      return CopyResult::Skipped;
  }
}

}  // namespace

namespace copyengine {

Westring Shown(const Estring& path) { return Westring::FromUtf8(path.c_str()); }

int Ask(TCopyContext* context, const char* text, const Estring& path, int style) {
  CCopyProgress* window = context->progress.window.get();
  if (window) window->Pause();
  const int answer = MessageBox(Westring(text), Shown(path), style);
  if (window) window->Resume();
  return answer;
}

bool CancelRequested(TCopyContext* context) {
  if (g_breakFlag.load(std::memory_order_relaxed) == 2) return true;
  const double started = context->progress.startTime;
  if (g_console == nullptr || started == 0 || NowSeconds() - started < kEscAfterSeconds)
    return false;
  return g_console->EscPressed();
}

Estring Joined(const Estring& path, const char* name) {
  Estring joined = path;
  if (joined.IsEmpty() || joined[joined.Length() - 1] != '/') joined += '/';
  joined += name;
  return joined;
}

int LinkStatus(const Estring& path, struct stat* info) {
  return lstat(path.c_str(), info) == 0 ? 0 : errno;
}

Estring AbsolutePath(const Estring& path) {
  Estring whole;
  if (path.c_str()[0] != '/') {
    std::vector<char> cwd(4096);
    if (getcwd(cwd.data(), cwd.size())) whole = cwd.data();
    whole += '/';
  }
  whole += path;
  std::vector<Estring> parts;
  const char* p = whole.c_str();
  while (*p) {
    while (*p == '/') ++p;
    const char* end = strchr(p, '/');
    if (!end) end = p + strlen(p);
    Estring part;
    part.Assign(p, static_cast<int>(end - p));
    if (part.IsEmpty() || strcmp(part.c_str(), ".") == 0) {
    } else if (strcmp(part.c_str(), "..") == 0) {
      if (!parts.empty()) parts.pop_back();
    } else {
      parts.push_back(part);
    }
    p = end;
  }
  Estring result;
  for (const Estring& part : parts) {
    result += '/';
    result += part;
  }
  return result.IsEmpty() ? Estring("/") : result;
}

bool SamePath(const Estring& a, const Estring& b) {
  return strcmp(AbsolutePath(a).c_str(), AbsolutePath(b).c_str()) == 0;
}

bool Inside(const Estring& source, const Estring& destination) {
  const Estring from = AbsolutePath(source), to = AbsolutePath(destination);
  const int length = from.Length();
  if (strncmp(from.c_str(), to.c_str(), static_cast<size_t>(length)) != 0) return false;
  return to.c_str()[length] == 0 || to.c_str()[length] == '/' ||
         (length == 1 && from.c_str()[0] == '/');
}

int ListDirectory(const Estring& path, std::vector<Estring>* names, bool withDescriptions) {
  DIR* stream = opendir(path.c_str());
  if (!stream) return errno;
  errno = 0;
  while (const dirent* record = readdir(stream)) {
    const char* name = record->d_name;
    if (strcmp(name, ".") != 0 && strcmp(name, "..") != 0 &&
        (withDescriptions || strcmp(name, "descript.ion") != 0))
      names->emplace_back(name);
    errno = 0;
  }
  const int err = errno;
  closedir(stream);
  // In name order, so that a copy goes the same way each time.
  std::sort(names->begin(), names->end(),
            [](const Estring& a, const Estring& b) { return strcmp(a.c_str(), b.c_str()) < 0; });
  return err;
}

}  // namespace copyengine

int CopyFile(const Estring& source, const Estring& destination, int index, int count,
             TCopyContext* context) {
  ShowFile(context, Operation::Copy, source, destination, index, count);
  struct stat sourceInfo {};
  struct stat destinationInfo {};
  if (context->overwrite == OverwriteMode::IfOlder && LinkStatus(source, &sourceInfo) == 0 &&
      stat(destination.c_str(), &destinationInfo) == 0 && !S_ISDIR(destinationInfo.st_mode) &&
      NotOlder(destinationInfo, sourceInfo))
    return 0;
  const int savedFlags = context->flags;
  for (;;) {
    int result = CopyObject(source, destination, context->overwrite == OverwriteMode::Always, false,
                            context);
    context->flags = savedFlags;
    if (result == 0 || result == CopyResult::Skipped) return result;
    if (result < 0) return CopyResult::Cancelled;
    const int code = CopyErrorCode(result);
    if (code == CopyErrorCode(EEXIST) || code == CopyErrorCode(EACCES)) {
      if (SamePath(source, destination)) {
        return Ask(context, "File cannot overwrite itself", destination, MessageStyle::Ok) == 27
                   ? CopyResult::Cancelled
                   : CopyResult::Skipped;
      }
      if (LinkStatus(destination, &destinationInfo) == 0 && !S_ISDIR(destinationInfo.st_mode) &&
          LinkStatus(source, &sourceInfo) == 0) {
        const int settled = SettleExisting(destination, context, sourceInfo, destinationInfo);
        if (settled != 1) return settled;
        if (int err = DeleteDestination(destination, context)) return err;
        continue;
      }
    }
    if (result == CopyResult::OpenForWriting) {
      if (context->openForWriting < 0) return CopyResult::Skipped;
      if (context->openForWriting == 0) {
        switch (Ask(context, "File is open for writing, copy anyway?", source,
                    MessageStyle::OkCancelSkipAll | MessageStyle::Messages)) {
          case 'y':
            break;
          case 'a':
            context->openForWriting = 1;
            break;
          case 'e':
            context->openForWriting = -1;
            return CopyResult::Skipped;
          case 27:
            return CopyResult::Cancelled;
          default:
            return CopyResult::Skipped;
        }
      }
      context->flags |= CopyFlag::CopyOpenForWriting;
      continue;
    }
    if (!ReportCopyError(&result, source, destination, context)) return result;
  }
}

namespace {

// Moves every entry of the directory source into the existing directory
// destination, then removes source.
int MergeDirectories(const Estring& source, const Estring& destination, TCopyContext* context) {
  std::vector<Estring> names;
  int listed = ListDirectory(source, &names);
  ++context->depth;
  for (const Estring& name : names) {
    if (MoveFile(Joined(source, name.c_str()), Joined(destination, name.c_str()), 1, 1, context) <
        0) {
      --context->depth;
      return CopyResult::Cancelled;
    }
  }
  --context->depth;
  if (listed != 0 && listed != ENOENT) return listed;
  return RemoveMovedDirectory(source, context);
}

}  // namespace

int MoveFile(const Estring& source, const Estring& destination, int index, int count,
             TCopyContext* context) {
  ShowFile(context, Operation::Move, source, destination, index, count);
  for (;;) {
    struct stat sourceInfo {};
    struct stat destinationInfo {};
    int result = LinkStatus(source, &sourceInfo);
    if (result == 0 && S_ISDIR(sourceInfo.st_mode) && Inside(source, destination)) {
      (void)Ask(context, "Directory cannot be copied into itself", destination, MessageStyle::Ok);
      return CopyResult::Cancelled;
    }
    if (result == 0) {
      // A rename when one file system holds both; rename refuses to cross.
      result = LinkStatus(destination, &destinationInfo) == 0 ? EEXIST : 0;
      if (result == 0) result = rename(source.c_str(), destination.c_str()) == 0 ? 0 : errno;
      if (result == 0) {
        context->progress.done.fetch_add(S_ISREG(sourceInfo.st_mode) ? sourceInfo.st_size : 0);
        CarryDescription(source, destination, true);
        if (S_ISDIR(sourceInfo.st_mode))
          g_treeHooks.directoryMoved(Shown(AbsolutePath(source)), Shown(AbsolutePath(destination)));
      }
      if (result == EXDEV)
        result = CopyObject(source, destination, context->overwrite == OverwriteMode::Always, true,
                            context);
    }
    if (result == 0 || result == CopyResult::Skipped) return result;
    if (result < 0) return CopyResult::Cancelled;
    const int code = CopyErrorCode(result);
    if ((code == CopyErrorCode(EEXIST) || code == CopyErrorCode(EACCES)) &&
        LinkStatus(destination, &destinationInfo) == 0 && !SamePath(source, destination)) {
      if (S_ISDIR(sourceInfo.st_mode) && S_ISDIR(destinationInfo.st_mode))
        return MergeDirectories(source, destination, context);
      int answer = 'y';
      if (context->overwrite == OverwriteMode::Never) return CopyResult::Skipped;
      if (context->overwrite != OverwriteMode::Always)
        answer = Ask(context, "File already exists, Overwrite?", destination,
                     MessageStyle::OkCancelSkipAll | MessageStyle::Messages);
      switch (answer) {
        case 'a':
          context->overwrite = OverwriteMode::Always;
          break;
        case 'y':
          break;
        case 'e':
          context->overwrite = OverwriteMode::Never;
          return CopyResult::Skipped;
        case 27:
          return CopyResult::Cancelled;
        default:
          return CopyResult::Skipped;
      }
      if (S_ISDIR(destinationInfo.st_mode)) {
        if (!ReportCopyError(&result, source, destination, context)) return result;
        continue;
      }
      if (int err = DeleteDestination(destination, context)) return err;
      continue;
    }
    if (!ReportCopyError(&result, source, destination, context)) return result;
  }
}

int CopyFile(const Westring& source, const Westring& destination, int index, int count,
             TCopyContext* context) {
  return CopyFile(source.ToUtf8(), destination.ToUtf8(), index, count, context);
}

int MoveFile(const Westring& source, const Westring& destination, int index, int count,
             TCopyContext* context) {
  return MoveFile(source.ToUtf8(), destination.ToUtf8(), index, count, context);
}

void AddToCopyTotal(const Estring& path, TCopyContext* context) {
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0) return;
  if (S_ISREG(info.st_mode)) context->progress.total.fetch_add(info.st_size);
  if (!S_ISDIR(info.st_mode)) return;
  std::vector<Estring> names;
  (void)ListDirectory(path, &names);
  for (const Estring& name : names) AddToCopyTotal(Joined(path, name.c_str()), context);
}
