#pragma once
// The delete engine: one file or link, one directory, or a whole tree, with
// the read-only questions, the "Delete tree?" confirmation and the
// "Deleting the file" window. Copy and move delete through it too, when they
// replace a destination or remove a moved source. Paths are the system's
// bytes. Application thread.
#include <cstdint>
#include <memory>

#include "foundation/Estring.h"

class Win;
struct TCopyContext;

/// What to do with read-only objects, for the whole command.
enum class ReadOnlyMode : uint8_t { Ask = 0, All = 1, None = 2 };

/// How DeleteFile shows itself.
namespace DeleteMode {
constexpr int Single = 0;       // its own window, closed afterwards
constexpr int Series = 1;       // one of many: the window stays
constexpr int CloseWindow = 2;  // closes the window and forgets its width; no path
constexpr int Quiet = 3;        // no window
constexpr int QuietForce = 4;   // no window, no read-only question, a missing file is gone
}  // namespace DeleteMode

/// The state of one delete command (or of a copy's deletions).
struct TDeleteState {
  ReadOnlyMode readOnly = ReadOnlyMode::Ask;
  bool treeAll = false;           // "All" to "Delete tree?"
  bool noUndelete = false;        // recorded with the command; nothing depends on it
  int treeDepth = 0;              // inside a tree deletion nothing more is asked
  bool directoryDeleted = false;  // a directory went during the command
  std::unique_ptr<Win> window;    // "Deleting the file"
  int windowWidth = 0;            // the widest path shown so far
  double lastShown = 0;
  TDeleteState();
  ~TDeleteState();
  TDeleteState(const TDeleteState&) = delete;
  TDeleteState& operator=(const TDeleteState&) = delete;
};

// Results: 1 deleted, 0 not deleted (skipped or failed, the user was told),
// -1 the user cancelled the command.

/// Deletes a file or a symbolic link (never what it points to).
[[nodiscard]] int DeleteFile(const Estring& path, int mode, TCopyContext* context);
/// Deletes a directory; a non-empty one goes through DeleteTree. ".." is
/// refused with 0. expression chooses the files a tree deletion removes.
[[nodiscard]] int DeleteDirectory(const Estring& path, const wchar_t* expression,
                                  TCopyContext* context);
/// Asks before a non-empty directory goes (unless told not to), then removes
/// it with everything below it; 1 when the walk completed, -1 when stopped.
[[nodiscard]] int DeleteTree(const Estring& path, const wchar_t* expression, TCopyContext* context);
