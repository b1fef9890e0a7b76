#pragma once
// The copy and move engine: one file, link or directory at a time, with the
// questions an existing destination or a failure raises and a progress bar
// over all the bytes of a command. Paths are byte strings (UTF-8 as a rule,
// but any bytes a file system holds), so names that are not valid UTF-8 are
// copied unchanged. Application thread; the progress window is drawn by its
// own thread (CopyProgress.h).
#include <atomic>
#include <cstdint>
#include <memory>

#include "fileops/DeleteFiles.h"
#include "foundation/Estring.h"
#include "foundation/Westring.h"

class CCopyProgress;

/// Results of the per-object operations besides 0 (done) and errno values.
namespace CopyResult {
constexpr int Done = 0;
constexpr int Skipped = 0x10000;         // the user chose to skip it
constexpr int OpenForWriting = 0x10001;  // another process may be writing the source
constexpr int Cancelled = -1;            // the whole command ends
constexpr int Interrupted = -2;
}  // namespace CopyResult

/// What to do with an existing destination file, for the whole command.
enum class OverwriteMode : uint8_t { Ask = 0, Always = 1, Never = 2, IfOlder = 3 };

/// Bits of TCopyContext::flags.
namespace CopyFlag {
constexpr int CopyOpenForWriting = 1;  // copy even when the source is open for writing
}

/// The bar and texts of a command's progress window. The copying thread
/// adds to `done`; the progress thread reads it and owns the last-drawn fields.
struct TCopyProgressRecord {
  std::atomic<int64_t> done{0};
  std::atomic<int64_t> total{0};
  double startTime = 0;                 // NowSeconds() of the first file; 0 before it
  int lastFilled = -1, lastWidth = -1;  // progress thread
  Westring lastText;                    // progress thread
  /// Opened for the first file, closed (screen restored) with the record.
  std::unique_ptr<CCopyProgress> window;
  TCopyProgressRecord();
  ~TCopyProgressRecord();
  TCopyProgressRecord(const TCopyProgressRecord&) = delete;
  TCopyProgressRecord& operator=(const TCopyProgressRecord&) = delete;
};

/// The state of one copy or move command; make one per command.
struct TCopyContext {
  OverwriteMode overwrite = OverwriteMode::Ask;
  bool mergeAll = false;   // "All" to "Directory already exists, merge with source?"
  int openForWriting = 0;  // 0 ask, 1 copy all such files, -1 skip all such files
  int flags = 0;           // CopyFlag bits
  int depth = 0;           // directories entered; only top-level merges are asked about
  bool lowerCaseNames = false;  // names made inside copied directories are lower-cased
  TCopyProgressRecord progress;
  TDeleteState deletion;  // replaced destinations and moved sources go through it
};

/// Copies one file, link or directory (recursively) from source to
/// destination; with `overwrite` an existing destination file is replaced,
/// else the result is EACCES. With `move` the source is removed after a
/// complete copy (a directory only when nothing in it was skipped or failed).
/// Returns a CopyResult or an errno value; a read error that persists is
/// put to the user here and comes back as Skipped or -1. A partial
/// destination file is deleted on failure.
[[nodiscard]] int CopyObject(const Estring& source, const Estring& destination, bool overwrite,
                             bool move, TCopyContext* context);
/// Copies source to destination (entry index of count, 1 the first) through
/// CopyObject, settling an existing destination as the overwrite mode says
/// or by asking. Returns 0, CopyResult::Skipped, -1 to end the command, or
/// the error number the user was told of.
[[nodiscard]] int CopyFile(const Estring& source, const Estring& destination, int index, int count,
                           TCopyContext* context);
/// Moves source to destination: a rename on one file system, else a copy and
/// a delete; an existing destination directory is merged with the source.
/// Results as for CopyFile.
[[nodiscard]] int MoveFile(const Estring& source, const Estring& destination, int index, int count,
                           TCopyContext* context);
/// The same for names held as text (converted to UTF-8).
[[nodiscard]] int CopyFile(const Westring& source, const Westring& destination, int index,
                           int count, TCopyContext* context);
[[nodiscard]] int MoveFile(const Westring& source, const Westring& destination, int index,
                           int count, TCopyContext* context);

/// Adds the bytes of a file or of every file under a directory (links not
/// followed) to the command's total, so that the bar covers all of them.
void AddToCopyTotal(const Estring& path, TCopyContext* context);

/// Tells the user of a failure (*result, an errno value) in copying source
/// to destination. Returns true when the user chose Retry; otherwise *result
/// becomes -1 for Cancel, CopyResult::Skipped for Skip, and stays the error
/// number where the only answer is OK.
[[nodiscard]] bool ReportCopyError(int* result, const Estring& source, const Estring& destination,
                                   TCopyContext* context);

/// The error numbers the copy questions are keyed by: a system's errno
/// value turned into the numbering the table of messages uses (35 busy, 18
/// cross-device, 13 access, 5 input/output, 28 no space, 30 read-only, 17
/// exists, 2 not found, 20 not a directory, 63 name too long).
int CopyErrorCode(int err);
