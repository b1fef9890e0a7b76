// The copy engine's error box and the numbering of its errors.
#include <cerrno>

#include "dialogs/MessageBox.h"
#include "fileops/CopyFiles.h"
#include "fileops/internal/CopyShared.h"
#include "foundation/SysCalls.h"

namespace {

// The numbers of the message table.
namespace Code {
constexpr int NotFound = 2, IoError = 5, Access = 13, Exists = 17, CrossDevice = 18,
              NotDirectory = 20, NoSpace = 28, ReadOnly = 30, Busy = 35, NameTooLong = 63;
constexpr int DriveNotReady = 0x40000002;
}  // namespace Code

}  // namespace

// The one place where this system's errno values meet the table's numbers.
int CopyErrorCode(int err) {
  switch (err) {
    case EAGAIN:
#if EWOULDBLOCK != EAGAIN
    case EWOULDBLOCK:
#endif
    case EBUSY:
      return Code::Busy;
    case EXDEV:
      return Code::CrossDevice;
    case EACCES:
    case EPERM:
      return Code::Access;
    case EIO:
      return Code::IoError;
    case ENOSPC:
    case EDQUOT:
      return Code::NoSpace;
    case EROFS:
      return Code::ReadOnly;
    case EEXIST:
      return Code::Exists;
    case ENOENT:
      return Code::NotFound;
    case ENOTDIR:
      return Code::NotDirectory;
    case ENAMETOOLONG:
      return Code::NameTooLong;
    case ENXIO:
    case ENOMEDIUM:
      return Code::DriveNotReady;
    default:
      return err == Code::DriveNotReady ? err : -err;  // negative: no table row
  }
}

bool ReportCopyError(int* result, const Estring& source, const Estring& destination,
                     TCopyContext* context) {
  const int err = *result;
  const char* text = nullptr;
  bool onDestination = false, okOnly = false;
  Estring other;
  switch (CopyErrorCode(err)) {
    case Code::NotDirectory:
      text = "Path not found";
      onDestination = okOnly = true;
      break;
    case Code::IoError:
      text = "Error reading disk";
      break;
    case Code::Access:
      text = "Access Denied";
      break;
    case Code::NotFound:
      text = "File not found";
      okOnly = true;
      break;
    case Code::ReadOnly:
      text = "Disk write protected, cannot write";
      break;
    case Code::NoSpace:
      text = "No room for";
      break;
    case Code::NameTooLong:
      text = "Name too long";
      onDestination = okOnly = true;
      break;
    case Code::DriveNotReady:
      text = "Drive not ready";
      break;
    default:
      other = Sys::ErrorText(err).ToUtf8();
      text = other.c_str();
      break;
  }
  const Estring& path = onDestination ? destination : source;
  const int answer = copyengine::Ask(context, text, path,
                                     okOnly ? MessageStyle::Ok : MessageStyle::RetrySkipCancel);
  if (answer == 27) {
    *result = CopyResult::Cancelled;
    return false;
  }
  if (okOnly) return false;
  if (answer == 'r') return true;
  *result = CopyResult::Skipped;
  return false;
}
