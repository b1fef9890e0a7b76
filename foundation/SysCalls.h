#pragma once
// Thin wrappers over the system calls the file operations use. Paths are
// Westring and reach the system as UTF-8; functions returning int give 0 or
// an errno value. Any thread may call them; the current directory is shared
// by the whole process.
#include <dirent.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <cstdint>

#include "foundation/ObjectStore.h"
#include "foundation/PlatformLinux.h"
#include "foundation/TimeValue.h"
#include "foundation/Westring.h"

/// One mounted file system, as shown by the mount-point list.
struct TMountPoint {
  Westring mountPoint;
  Westring device;
  Westring fsType;
  int64_t totalBytes = -1;  // -1: not asked for, or no answer in time
  int64_t availableBytes = -1;
};

/// Sizes in bytes of one file system.
struct TDiskSpace {
  uint64_t totalBytes = 0;
  uint64_t availableBytes = 0;  // what an unprivileged user may still use
  uint64_t fragmentSize = 0;
};

/// The mode a file had before MakeWritable, so that RestoreMode can put it back.
struct TSavedMode {
  Westring path;
  mode_t mode = 0;
  bool remembered = false;
};

namespace Sys {

using Platform::MountSelection;

/// Deletes a file; an existing file that access() finds not writable is
/// refused with that error and kept. The superuser passes access(), so it
/// deletes read-only files too. A symbolic link goes whatever its target is.
[[nodiscard]] int DeleteFile(const Westring& path);
/// The same for a path held as the system's bytes.
[[nodiscard]] int DeleteFile(const char* path);
/// Adds the owner-write bit and remembers the old mode in saved; returns
/// EACCES without changing anything when the owner-write bit is already set.
[[nodiscard]] int MakeWritable(const Westring& path, TSavedMode* saved);
/// Puts back the mode remembered by MakeWritable and forgets it; 0 when none was remembered.
[[nodiscard]] int RestoreMode(TSavedMode* saved);
/// Creates a directory with mode 0777 (less the umask).
[[nodiscard]] int MakeDirectory(const Westring& path);
[[nodiscard]] int RemoveDirectory(const Westring& path);
/// Removes a directory with everything below it, without questions: links
/// go as links, read-only directories are made writable first. 0, or the
/// first errno met (the walk goes on past it).
[[nodiscard]] int RemoveTree(const Westring& path);
/// Renames a file or directory; EEXIST, and nothing changes, when the target
/// name exists (also as a dangling symbolic link).
[[nodiscard]] int Rename(const Westring& from, const Westring& to);
[[nodiscard]] int ChangeDirectory(const Westring& path);
/// 0 when path is a directory (links followed), ENOTDIR when it is something
/// else, else the errno of examining it (ENOENT, ELOOP...).
[[nodiscard]] int CheckDirectory(const Westring& path);
/// The process's current directory, or empty when it cannot be read or is
/// longer than 511 bytes.
Westring CurrentDirectory();
/// The modification time of a file, following symbolic links.
[[nodiscard]] int GetModificationTime(const Westring& path, TTimeValue* time);
/// Sets the modification time of a file; the access time becomes now.
[[nodiscard]] int SetModificationTime(const Westring& path, const TTimeValue& time);
/// The shape check used before a path reaches the system: not empty, and its
/// UTF-8 form shorter than PATH_MAX bytes.
bool IsPlausiblePath(const Westring& path);
/// True when the path is plausible and stat() finds it (symbolic links followed).
bool Exists(const Westring& path);
/// True for character and block devices, FIFOs and sockets.
bool IsSpecialFile(const Westring& path);
/// Total and available bytes and the fragment size of the file system holding path.
[[nodiscard]] int GetDiskSpace(const Westring& path, TDiskSpace* space);
/// The target of a symbolic link (at most 2047 bytes), or empty on failure.
Westring ReadLinkTarget(const Westring& path);
/// The user id of a user name, or -1 when the name is unknown.
int64_t UserIdByName(const Westring& name);
/// The group id of a group name, or -1 when the name is unknown.
int64_t GroupIdByName(const Westring& name);
/// The name of a user, or its decimal number when unknown.
Westring UserName(uid_t uid);
/// The name of a group, or its decimal number when unknown.
Westring GroupName(gid_t gid);
/// Nine characters rwxrwxrwx; set-id bits show s (S without execute) and the
/// sticky bit t (T without execute) in the execute places.
Westring PermissionString(mode_t mode);
/// The three permission bits (4 read, 2 write, 1 execute) that apply to this
/// process: the owner's when it is the effective user, the group's when the
/// group is one of the process's groups, else the others'. No superuser rule.
int AccessClass(uid_t owner, gid_t group, mode_t mode);
/// The read-only rule of a listing: true when a write bit applies to the
/// process's real ids (others; the group when it is the real group; the
/// owner when it is the real user). No superuser rule. The ids are read once
/// per process, so a process that changes its ids after the first call keeps
/// the first ones.
bool WritableByProcess(mode_t mode, uid_t owner, gid_t group);
/// Replaces the contents of list with the mounted file systems and returns 0,
/// or errno when the mount table cannot be read.
[[nodiscard]] int ReadMountPoints(TObjectStore<TMountPoint>& list, MountSelection which);
/// The type name of the file system holding an absolute path: that of the
/// mount with the longest mount point containing it (the later mount when
/// two share a point); empty when the mount table cannot be read.
Westring FileSystemType(const Westring& path);
/// The system's text for an error number followed by " (n)".
Westring ErrorText(int err);
/// True for "." and "..", which the walks through directories pass over.
bool IsDotName(const char* name);
/// Opens a directory for reading its records (O_RDONLY | O_DIRECTORY |
/// O_CLOEXEC and extraFlags, such as O_NOFOLLOW), filling *status by fstat
/// when given; null with errno set when it cannot be opened or examined.
/// The caller reads with readdir, uses dirfd for the *at calls, and closes
/// with closedir.
DIR* OpenDirectoryStream(const char* path, int extraFlags = 0, struct stat* status = nullptr);

}  // namespace Sys
