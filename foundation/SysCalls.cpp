#include "foundation/SysCalls.h"

#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace Sys {
namespace {

// Paths and names reach the system as UTF-8 and come back decoded from it.
std::string Bytes(const Westring& text) { return text.ToUtf8().c_str(); }

Westring FromBytes(const char* bytes) { return Westring::FromUtf8(bytes); }

// The reentrant account look-ups need a buffer whose size the system only
// suggests, so they are retried with a larger one on ERANGE. The record's
// strings point into buffer, so the caller keeps it while reading them.
template <class Record, class Lookup>
bool LookUpAccount(Record* record, std::vector<char>& buffer, Lookup lookup) {
  long suggested = sysconf(_SC_GETPW_R_SIZE_MAX);
  buffer.resize(suggested > 0 ? static_cast<size_t>(suggested) : 4096);
  for (int attempt = 0; attempt < 8; ++attempt) {
    Record* found = nullptr;
    int err = lookup(record, buffer.data(), buffer.size(), &found);
    if (err != ERANGE) return err == 0 && found != nullptr;
    buffer.resize(buffer.size() * 2);
  }
  return false;
}

const std::vector<gid_t>& ProcessGroups() {
  // Read once: the process's groups do not change while it runs.
  static const std::vector<gid_t> groups = [] {
    std::vector<gid_t> list(1, getegid());
    int count = getgroups(0, nullptr);
    if (count > 0) {
      list.resize(1 + static_cast<size_t>(count));
      count = getgroups(count, list.data() + 1);
      list.resize(1 + static_cast<size_t>(count > 0 ? count : 0));
    }
    return list;
  }();
  return groups;
}

// The GNU and the POSIX strerror_r differ in their result; both are handled.
[[maybe_unused]] const char* ErrorMessage(const char* gnuResult, const char*) { return gnuResult; }
[[maybe_unused]] const char* ErrorMessage(int, const char* buffer) { return buffer; }

char PermissionChar(bool special, bool execute, char set, char unset) {
  if (special) return execute ? set : unset;
  return execute ? 'x' : '-';
}

}  // namespace

int DeleteFile(const char* path) {
  // A link's own permissions mean nothing; access() would ask its target's.
  struct stat info {};
  const bool link = lstat(path, &info) == 0 && S_ISLNK(info.st_mode);
  if (!link && access(path, W_OK) != 0 && errno != ENOENT) return errno;
  return unlink(path) == 0 ? 0 : errno;
}

int DeleteFile(const Westring& path) { return DeleteFile(Bytes(path).c_str()); }

int MakeWritable(const Westring& path, TSavedMode* saved) {
  std::string bytes = Bytes(path);
  struct stat info {};
  if (stat(bytes.c_str(), &info) != 0) return errno;
  // Already writable for the owner: making it writable cannot help, so the
  // caller's access problem lies elsewhere.
  if (info.st_mode & S_IWUSR) return EACCES;
  mode_t mode = info.st_mode & 07777;
  if (chmod(bytes.c_str(), mode | S_IWUSR) != 0) return errno;
  saved->path = path;
  saved->mode = mode;
  saved->remembered = true;
  return 0;
}

int RestoreMode(TSavedMode* saved) {
  if (!saved->remembered) return 0;
  saved->remembered = false;
  return chmod(Bytes(saved->path).c_str(), saved->mode) == 0 ? 0 : errno;
}

int MakeDirectory(const Westring& path) {
  return mkdir(Bytes(path).c_str(), 0777) == 0 ? 0 : errno;
}

int RemoveDirectory(const Westring& path) { return rmdir(Bytes(path).c_str()) == 0 ? 0 : errno; }

namespace {

int RemoveTreeBytes(const std::string& path) {
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0) return errno;
  if (!S_ISDIR(info.st_mode)) return unlink(path.c_str()) == 0 ? 0 : errno;
  // Entries of a directory without write permission could not be unlinked.
  if ((info.st_mode & S_IRWXU) != S_IRWXU) (void)chmod(path.c_str(), info.st_mode | S_IRWXU);
  int first = 0;
  if (DIR* listing = opendir(path.c_str())) {
    std::vector<std::string> names;
    while (const dirent* record = readdir(listing))
      if (std::strcmp(record->d_name, ".") != 0 && std::strcmp(record->d_name, "..") != 0)
        names.emplace_back(record->d_name);
    closedir(listing);
    for (const std::string& name : names) {
      const int err = RemoveTreeBytes(path + "/" + name);
      if (first == 0) first = err;
    }
  } else {
    first = errno;
  }
  const int err = rmdir(path.c_str()) == 0 ? 0 : errno;
  return first != 0 ? first : err;
}

}  // namespace

int RemoveTree(const Westring& path) { return RemoveTreeBytes(Bytes(path)); }

int Rename(const Westring& from, const Westring& to) {
  std::string target = Bytes(to);
  struct stat info {};
  // lstat, so that a dangling symbolic link also counts as an existing name.
  if (lstat(target.c_str(), &info) == 0) return EEXIST;
  return rename(Bytes(from).c_str(), target.c_str()) == 0 ? 0 : errno;
}

int CheckDirectory(const Westring& path) {
  struct stat info {};
  if (stat(Bytes(path).c_str(), &info) != 0) return errno;
  return S_ISDIR(info.st_mode) ? 0 : ENOTDIR;
}

int ChangeDirectory(const Westring& path) { return chdir(Bytes(path).c_str()) == 0 ? 0 : errno; }

Westring CurrentDirectory() {
  char path[512];
  if (!getcwd(path, sizeof path)) return Westring();
  return FromBytes(path);
}

int GetModificationTime(const Westring& path, TTimeValue* time) {
  struct stat info {};
  if (stat(Bytes(path).c_str(), &info) != 0) return errno;
  time->seconds = info.st_mtim.tv_sec;
  time->nanoseconds = static_cast<int32_t>(info.st_mtim.tv_nsec);
  return 0;
}

int SetModificationTime(const Westring& path, const TTimeValue& time) {
  timeval times[2]{};
  gettimeofday(&times[0], nullptr);
  times[1].tv_sec = time.seconds;
  times[1].tv_usec = time.nanoseconds / 1000;
  return utimes(Bytes(path).c_str(), times) == 0 ? 0 : errno;
}

bool IsPlausiblePath(const Westring& path) {
  std::string bytes = Bytes(path);
  return !bytes.empty() && bytes.size() < PATH_MAX;
}

bool Exists(const Westring& path) {
  struct stat info {};
  return IsPlausiblePath(path) && stat(Bytes(path).c_str(), &info) == 0;
}

bool IsSpecialFile(const Westring& path) {
  struct stat info {};
  if (stat(Bytes(path).c_str(), &info) != 0) return false;
  return S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode) || S_ISFIFO(info.st_mode) ||
         S_ISSOCK(info.st_mode);
}

int GetDiskSpace(const Westring& path, TDiskSpace* space) {
  struct statvfs info {};
  if (statvfs(Bytes(path).c_str(), &info) != 0) return errno;
  space->fragmentSize = info.f_frsize;
  space->totalBytes = static_cast<uint64_t>(info.f_blocks) * info.f_frsize;
  space->availableBytes = static_cast<uint64_t>(info.f_bavail) * info.f_frsize;
  return 0;
}

Westring ReadLinkTarget(const Westring& path) {
  char target[2048];
  ssize_t length = readlink(Bytes(path).c_str(), target, sizeof target - 1);
  if (length < 0) return Westring();
  target[length] = 0;
  return FromBytes(target);
}

int64_t UserIdByName(const Westring& name) {
  std::string bytes = Bytes(name);
  passwd record{};
  std::vector<char> buffer;
  bool found = LookUpAccount(&record, buffer, [&](passwd* r, char* buf, size_t size, passwd** out) {
    return getpwnam_r(bytes.c_str(), r, buf, size, out);
  });
  return found ? static_cast<int64_t>(record.pw_uid) : -1;
}

int64_t GroupIdByName(const Westring& name) {
  std::string bytes = Bytes(name);
  group record{};
  std::vector<char> buffer;
  bool found = LookUpAccount(&record, buffer, [&](group* r, char* buf, size_t size, group** out) {
    return getgrnam_r(bytes.c_str(), r, buf, size, out);
  });
  return found ? static_cast<int64_t>(record.gr_gid) : -1;
}

Westring UserName(uid_t uid) {
  passwd record{};
  std::vector<char> buffer;
  if (LookUpAccount(&record, buffer, [&](passwd* r, char* buf, size_t size, passwd** out) {
        return getpwuid_r(uid, r, buf, size, out);
      })) {
    return FromBytes(record.pw_name);
  }
  return FromBytes(std::to_string(uid).c_str());
}

Westring GroupName(gid_t gid) {
  group record{};
  std::vector<char> buffer;
  if (LookUpAccount(&record, buffer, [&](group* r, char* buf, size_t size, group** out) {
        return getgrgid_r(gid, r, buf, size, out);
      })) {
    return FromBytes(record.gr_name);
  }
  return FromBytes(std::to_string(gid).c_str());
}

Westring PermissionString(mode_t mode) {
  char text[10] = "---------";
  if (mode & S_IRUSR) text[0] = 'r';
  if (mode & S_IWUSR) text[1] = 'w';
  text[2] = PermissionChar(mode & S_ISUID, mode & S_IXUSR, 's', 'S');
  if (mode & S_IRGRP) text[3] = 'r';
  if (mode & S_IWGRP) text[4] = 'w';
  text[5] = PermissionChar(mode & S_ISGID, mode & S_IXGRP, 's', 'S');
  if (mode & S_IROTH) text[6] = 'r';
  if (mode & S_IWOTH) text[7] = 'w';
  text[8] = PermissionChar(mode & S_ISVTX, mode & S_IXOTH, 't', 'T');
  return FromBytes(text);
}

int AccessClass(uid_t owner, gid_t group, mode_t mode) {
  if (owner == geteuid()) return (mode >> 6) & 7;
  for (gid_t member : ProcessGroups()) {
    if (member == group) return (mode >> 3) & 7;
  }
  return mode & 7;
}

bool WritableByProcess(mode_t mode, uid_t owner, gid_t group) {
  // A directory read asks this for every entry; the ids come from the
  // system once instead of twice an entry.
  static const uid_t s_user = getuid();
  static const gid_t s_group = getgid();
  if (mode & S_IWOTH) return true;
  if ((mode & S_IWGRP) && group == s_group) return true;
  return (mode & S_IWUSR) && owner == s_user;
}

int ReadMountPoints(TObjectStore<TMountPoint>& list, MountSelection which) {
  list.Clear();
  std::vector<Platform::TMountEntry> entries;
  if (int err = Platform::ReadMountedFileSystems(entries, which)) return err;
  for (const Platform::TMountEntry& entry : entries) {
    auto* mount = new TMountPoint{FromBytes(entry.mountPoint.c_str()), FromBytes(entry.device.c_str()),
                                  FromBytes(entry.fsType.c_str())};
    if (entry.answered) {
      mount->totalBytes = static_cast<int64_t>(entry.totalBytes);
      mount->availableBytes = static_cast<int64_t>(entry.availableBytes);
    }
    list.Append(mount);
  }
  return 0;
}

Westring FileSystemType(const Westring& path) {
  const std::string bytes = Bytes(path);
  std::vector<Platform::TMountEntry> entries;
  if (Platform::ReadMountedFileSystems(entries, MountSelection::All) != 0) return Westring();
  size_t best = 0;
  const Platform::TMountEntry* found = nullptr;
  for (const Platform::TMountEntry& entry : entries) {
    const std::string& point = entry.mountPoint;
    const bool contains = point == "/" ||
                          (bytes.compare(0, point.size(), point) == 0 &&
                           (bytes.size() == point.size() || bytes[point.size()] == '/'));
    if (contains && point.size() >= best) {
      best = point.size();
      found = &entry;
    }
  }
  return found != nullptr ? FromBytes(found->fsType.c_str()) : Westring();
}

Westring ErrorText(int err) {
  char buffer[256] = "";
  const char* message = ErrorMessage(strerror_r(err, buffer, sizeof buffer), buffer);
  std::string text = std::string(message) + " (" + std::to_string(err) + ")";
  return FromBytes(text.c_str());
}

bool IsDotName(const char* name) { return name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)); }

DIR* OpenDirectoryStream(const char* path, int extraFlags, struct stat* status) {
  const int fd = open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC | extraFlags);
  if (fd < 0) return nullptr;
  DIR* stream = status == nullptr || fstat(fd, status) == 0 ? fdopendir(fd) : nullptr;
  if (stream == nullptr) {
    const int err = errno;
    close(fd);
    errno = err;
  }
  return stream;
}

}  // namespace Sys
