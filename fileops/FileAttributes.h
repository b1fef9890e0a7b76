#pragma once
// Ctrl+A, " File  Attributes ": the permission bits of the tagged entries
// (or the one under the cursor) as a grid of check boxes, owner and group
// by name. Application thread.
#include <sys/types.h>

#include <cstdint>

class CPanel;

/// The grid's twelve cells in the order User R W X, Group R W X, Other R W
/// X, then S for User, Group, Other (set-user-id, set-group-id, sticky).
constexpr int kAttributeCells = 12;

/// One cell's state: clear, kept as each file has it (tagged files only),
/// or set.
namespace CellState {
constexpr uint8_t Clear = 0, Keep = 1;
/// The set state: 1 for a single file, 2 when files are tagged.
constexpr uint8_t Set(bool tagged) { return tagged ? 2 : 1; }
}  // namespace CellState

/// The mode bit a cell stands for.
mode_t AttributeBit(int cell);
/// The new mode of a file whose mode is current, cell by cell.
mode_t ApplyAttributeCells(mode_t current, const uint8_t (&cells)[kAttributeCells], bool tagged);

/// The dialog, then chown and chmod of each entry with Retry, Skip and
/// Cancel on failures; both panels are read again.
void RunFileAttributes(CPanel& active, CPanel& other);
