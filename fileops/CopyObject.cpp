// CopyObject: one file, link or directory copied, with its data, mode and times.
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "console/Console.h"
#include "dialogs/MessageBox.h"
#include "fileops/CopyFiles.h"
#include "fileops/Descriptions.h"
#include "fileops/CopyProgress.h"
#include "fileops/DeleteFiles.h"
#include "fileops/internal/CopyShared.h"
#include "foundation/TimeValue.h"
#include "panels/TreeHooks.h"

using namespace copyengine;

namespace {

// The delete engine's result as one of the copy engine's.
int AsCopyResult(int deleted) {
  return deleted == 1 ? 0 : deleted < 0 ? CopyResult::Cancelled : CopyResult::Skipped;
}

// The source of a move, once its copy is complete; a failure was put to the user.
int RemoveMovedSource(const Estring& source, TCopyContext* context) {
  return AsCopyResult(DeleteFile(source, DeleteMode::QuietForce, context));
}

constexpr size_t kBufferSize = 32768;
// copy_file_range steps double while one takes under half of this and halve
// while one takes longer, so the cancel poll comes about this often, or after
// every 32768 bytes where even those take longer.
constexpr double kStepSeconds = 0.02;
constexpr size_t kLargestStep = size_t{64} << 20;
constexpr int kReadAttempts = 3;

// ASCII letters only: the bytes of other characters stay as they are.
Estring LowerCased(const Estring& name) {
  std::string lower = name.c_str();
  for (char& ch : lower)
    if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
  return Estring(lower.c_str());
}

bool IsSpecial(mode_t mode) {
  return S_ISCHR(mode) || S_ISBLK(mode) || S_ISFIFO(mode) || S_ISSOCK(mode);
}

// A descriptor closed on every path out.
class TFd {
 public:
  explicit TFd(int fd = -1) : m_fd(fd) {}
  ~TFd() { Close(); }
  TFd(const TFd&) = delete;
  TFd& operator=(const TFd&) = delete;
  int Get() const { return m_fd; }
  /// 0 or the errno of close.
  int Close() {
    if (m_fd < 0) return 0;
    const int err = close(m_fd) == 0 ? 0 : errno;
    m_fd = -1;
    return err;
  }

 private:
  int m_fd;
};

void AddDone(TCopyContext* context, int64_t bytes) {
  context->progress.done.fetch_add(bytes, std::memory_order_relaxed);
}

int WriteAll(int fd, const char* data, size_t count) {
  while (count > 0) {
    const ssize_t wrote = write(fd, data, count);
    if (wrote < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    data += wrote;
    count -= static_cast<size_t>(wrote);
  }
  return 0;
}

// The plain loop: 32768 bytes read, then written. A read error EIO is tried
// again, and after three failures put to the user.
int CopyByBuffer(int in, int out, const Estring& source, const Estring& destination,
                 TCopyContext* context) {
  std::unique_ptr<char[]> buffer(new char[kBufferSize]);
  int failures = 0;
  for (;;) {
    const ssize_t got = read(in, buffer.get(), kBufferSize);
    if (got < 0) {
      if (errno == EINTR) continue;
      int err = errno;
      if (err == EIO && ++failures < kReadAttempts) continue;
      if (err != EIO) return err;
      if (!ReportCopyError(&err, source, destination, context)) return err;
      failures = 0;
      continue;
    }
    if (got == 0) return 0;
    failures = 0;
    if (int err = WriteAll(out, buffer.get(), static_cast<size_t>(got))) return err;
    AddDone(context, got);
    if (CancelRequested(context)) return CopyResult::Cancelled;
  }
}

// In-kernel copying between regular files; *fallBack is set when the file
// systems cannot do it before anything was copied.
int CopyByRange(int in, int out, const Estring& source, const Estring& destination,
                TCopyContext* context, bool* fallBack) {
  size_t step = kBufferSize;
  bool copiedAny = false;
  int failures = 0;
  for (;;) {
    const double started = NowSeconds();
    const ssize_t got = copy_file_range(in, nullptr, out, nullptr, step, 0);
    if (got < 0) {
      if (errno == EINTR) continue;
      const int err = errno;
      if (!copiedAny &&
          (err == EXDEV || err == EINVAL || err == ENOSYS || err == EOPNOTSUPP || err == EBADF)) {
        *fallBack = true;
        return 0;
      }
      if (err == EIO && ++failures < kReadAttempts) continue;
      if (err != EIO) return err;
      int reported = err;
      if (!ReportCopyError(&reported, source, destination, context)) return reported;
      failures = 0;
      continue;
    }
    if (got == 0) return 0;
    copiedAny = true;
    AddDone(context, got);
    if (CancelRequested(context)) return CopyResult::Cancelled;
    const double took = NowSeconds() - started;
    if (took < kStepSeconds / 2 && step < kLargestStep)
      step *= 2;
    else if (took > kStepSeconds && step > kBufferSize)
      step /= 2;
  }
}

int CopyRegular(const Estring& source, const Estring& destination, const struct stat& info,
                bool overwrite, bool move, TCopyContext* context) {
  TFd in(open(source.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
  if (in.Get() < 0) return errno;
  // A writer that locks the file keeps the shared lock from us; the source
  // is then open for writing, which the user is asked about.
  if (!(context->flags & CopyFlag::CopyOpenForWriting) && flock(in.Get(), LOCK_SH | LOCK_NB) != 0 &&
      errno == EWOULDBLOCK)
    return CopyResult::OpenForWriting;

  struct stat existing {};
  const bool exists = LinkStatus(destination, &existing) == 0;
  const bool special = exists && IsSpecial(existing.st_mode);
  if (exists && !overwrite && !special) return EACCES;
  int outFlags = O_WRONLY | O_CREAT | O_CLOEXEC | O_NOCTTY;
  if (!special) outFlags |= O_TRUNC;
  TFd out(open(destination.c_str(), outFlags, (info.st_mode & 0777) | S_IWUSR));
  if (out.Get() < 0) return errno;

  int err = 0;
  bool fallBack = special || !S_ISREG(info.st_mode);
  if (!fallBack) err = CopyByRange(in.Get(), out.Get(), source, destination, context, &fallBack);
  if (fallBack && err == 0) err = CopyByBuffer(in.Get(), out.Get(), source, destination, context);
  if (err == 0 && !special) {
    const struct timespec times[2] = {info.st_atim, info.st_mtim};
    if (futimens(out.Get(), times) != 0) err = errno;
    if (err == 0 && fchmod(out.Get(), info.st_mode & 07777) != 0) err = errno;
  }
  const int closed = out.Close();
  if (err == 0) err = closed;
  if (err != 0) {
    if (!special) (void)DeleteFile(destination, DeleteMode::QuietForce, context);
    return err;
  }
  CarryDescription(source, destination, move);
  return move ? RemoveMovedSource(source, context) : 0;
}

int CopyLink(const Estring& source, const Estring& destination, bool move, TCopyContext* context) {
  std::vector<char> target(4096);
  const ssize_t length = readlink(source.c_str(), target.data(), target.size() - 1);
  if (length < 0) return errno;
  target[static_cast<size_t>(length)] = 0;
  if (symlink(target.data(), destination.c_str()) != 0) return errno;
  return move ? RemoveMovedSource(source, context) : 0;
}

int CopyDirectory(const Estring& source, const Estring& destination, const struct stat& info,
                  bool move, TCopyContext* context) {
  if (Inside(source, destination)) {
    (void)Ask(context, "Directory cannot be copied into itself", destination, MessageStyle::Ok);
    return CopyResult::Cancelled;
  }
  // Owner access until the contents are in; the source's own mode comes last.
  const bool made = mkdir(destination.c_str(), (info.st_mode & 07777) | S_IRWXU) == 0;
  if (made) g_treeHooks.directoryMade(Shown(AbsolutePath(destination)));
  if (!made) {
    if (errno != EEXIST) return errno;
    struct stat existing {};
    if (stat(destination.c_str(), &existing) != 0 || !S_ISDIR(existing.st_mode)) return EEXIST;
    if (!context->mergeAll && context->depth == 0) {
      switch (Ask(context, "Directory already exists, merge with source?", destination,
                  MessageStyle::OkCancelSkipAll | MessageStyle::Messages)) {
        case 'y':
          break;
        case 'a':
          context->mergeAll = true;
          break;
        case 27:
          return CopyResult::Cancelled;
        default:
          return CopyResult::Skipped;
      }
    }
  }
  std::vector<Estring> names;
  if (int err = ListDirectory(source, &names)) return err;
  bool complete = true;
  ++context->depth;
  int result = 0;
  for (const Estring& name : names) {
    if (CancelRequested(context)) {
      result = CopyResult::Cancelled;
      break;
    }
    const Estring from = Joined(source, name.c_str());
    const Estring to = Joined(destination, context->lowerCaseNames ? LowerCased(name).c_str() : name.c_str());
    const int done = move ? MoveFile(from, to, 1, 1, context) : CopyFile(from, to, 1, 1, context);
    if (done < 0) {
      result = CopyResult::Cancelled;
      break;
    }
    if (done != 0) complete = false;
  }
  --context->depth;
  const struct timespec times[2] = {info.st_atim, info.st_mtim};
  (void)utimensat(AT_FDCWD, destination.c_str(), times, 0);
  (void)chmod(destination.c_str(), info.st_mode & 07777);
  if (result != 0) return result;
  if (!move || !complete) return complete ? 0 : CopyResult::Skipped;
  return RemoveMovedDirectory(source, context);
}

}  // namespace

int CopyObject(const Estring& source, const Estring& destination, bool overwrite, bool move,
               TCopyContext* context) {
  int armed = 0;
  const bool armedHere = g_breakFlag.compare_exchange_strong(armed, 1);
  struct stat info {};
  int result = LinkStatus(source, &info);
  if (result == 0) {
    if (S_ISLNK(info.st_mode))
      result = CopyLink(source, destination, move, context);
    else if (S_ISDIR(info.st_mode))
      result = CopyDirectory(source, destination, info, move, context);
    else
      result = CopyRegular(source, destination, info, overwrite, move, context);
  }
  if (armedHere) {
    if (g_breakFlag.exchange(0) == 2 && result == 0) result = CopyResult::Interrupted;
  }
  return result;
}

namespace copyengine {

int RemoveMovedDirectory(const Estring& source, TCopyContext* context) {
  // Raised, the depth keeps a directory that still holds entries without asking.
  ++context->deletion.treeDepth;
  const int deleted = DeleteDirectory(source, L"*", context);
  --context->deletion.treeDepth;
  return AsCopyResult(deleted);
}

int DeleteDestination(const Estring& destination, TCopyContext* context) {
  return AsCopyResult(DeleteFile(destination, DeleteMode::Quiet, context));
}

}  // namespace copyengine
