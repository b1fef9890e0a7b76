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

// The message of each numbered error, whether it names the destination, and
// whether OK is its only answer (the others offer Retry, Skip and Cancel);
// any other error shows the system's own text.
struct TErrorRow {
  int code;
  const char* text;
  bool onDestination, okOnly;
};
constexpr TErrorRow kErrorRows[] = {
    {Code::NotDirectory, "Path not found", true, true},
    {Code::IoError, "Error reading disk", false, false},
    {Code::Access, "Access Denied", false, false},
    {Code::NotFound, "File not found", false, true},
    {Code::ReadOnly, "Disk write protected, cannot write", false, false},
    {Code::NoSpace, "No room for", false, false},
    {Code::NameTooLong, "Name too long", true, true},
    {Code::DriveNotReady, "Drive not ready", false, false},
};

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
  const TErrorRow* row = nullptr;
  for (const TErrorRow& candidate : kErrorRows)
    if (candidate.code == CopyErrorCode(err)) row = &candidate;
  const Estring other = row == nullptr ? Sys::ErrorText(err).ToUtf8() : Estring();
  const char* text = row != nullptr ? row->text : other.c_str();
  const bool onDestination = row != nullptr && row->onDestination;
  const bool okOnly = row != nullptr && row->okOnly;
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
