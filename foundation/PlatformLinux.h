#pragma once
// The one place in foundation/ where interfaces of the system Varnak was
// designed on are mapped to Linux. It maps:
// - getfsstat (the mounted file systems with their mount point, source device
//   and type name, without waiting for unresponsive ones): read from
//   /proc/self/mountinfo, with the figures getfsstat reports taken from
//   statvfs on each mount point, asked on a thread of its own and given up
//   after a time-out, so that a hung network mount holds nobody;
// - the "devfs" type left out of mount lists: Linux's kernel-kept /dev is
//   "devtmpfs", treated the same. Other pseudo file systems (proc, sysfs,
//   devpts, cgroup, ...) report no blocks and fall under the no-blocks rule;
// - the sysctl memory figures of the information panel: physical pages and
//   free pages from sysconf, which Linux takes from sysinfo;
// - handing freed heap memory back to the system: malloc_trim.
#include <cstdint>
#include <string>
#include <vector>

namespace Platform {

/// One mounted file system; every field is the system's bytes (UTF-8 as a rule).
struct TMountEntry {
  std::string mountPoint;
  std::string device;
  std::string fsType;
  unsigned major = 0, minor = 0;  // the device numbers of the file system
  bool answered = false;  // the figures below came back in time (usable lists only)
  uint64_t blocks = 0, totalBytes = 0, availableBytes = 0;
};

/// How long a usable list waits, at most, for the figures of its mounts.
constexpr uint32_t kMountAnswerMs = 1000;

/// Which mounted file systems ReadMountedFileSystems lists.
enum class MountSelection {
  Usable,  // leaves out device file systems and those with no blocks
  All,
};

/// Parses one line of /proc/self/mountinfo, undoing its octal escapes
/// (\040 for a space and so on); false for a malformed line.
bool ParseMountInfoLine(const std::string& line, TMountEntry* entry);
/// True for the file-system types that only hold device nodes (devfs, devtmpfs).
bool IsDeviceFileSystem(const std::string& fsType);
/// Fills the figures of each entry from statvfs, all asked at once on
/// detached threads; an entry whose answer has not come within waitMs stays
/// unanswered (its thread finishes, or hangs, on its own). One whose statvfs
/// fails counts as answered with no blocks.
void AskFileSystemFigures(std::vector<TMountEntry>& entries, uint32_t waitMs);
/// Physical memory of the machine in bytes.
struct TMemoryFigures {
  uint64_t totalBytes = 0;  // every physical page
  uint64_t freeBytes = 0;   // pages that hold nothing at all (not even cache)
};

/// Reads the memory figures; returns 0, or errno when the system gives none
/// (the figures are then 0). Any thread.
[[nodiscard]] int ReadMemoryFigures(TMemoryFigures* figures);

/// Gives the heap's free memory back to the system, so that a large listing
/// replaced by a small one does not keep its pages resident. Any thread.
void ReleaseFreeMemory();

/// Fills list with the mounted file systems in mount order and returns 0, or
/// returns errno when the mount table cannot be read (list is then empty).
/// A usable list comes with the figures; a mount that did not answer in
/// time is kept, a device file system or one with no blocks is left out.
[[nodiscard]] int ReadMountedFileSystems(std::vector<TMountEntry>& list, MountSelection which);

}  // namespace Platform
