#include "tools/InfoPlatform.h"

#include <dirent.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "foundation/PlatformLinux.h"

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string RealPath(const std::string& path) {
  char resolved[PATH_MAX];
  return realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : std::string();
}

bool IsPathPrefix(const std::string& prefix, const std::string& path) {
  if (prefix == "/") return true;
  return path.compare(0, prefix.size(), prefix) == 0 && (path.size() == prefix.size() || path[prefix.size()] == '/');
}

// The name in a /dev/disk directory whose link leads to device, or empty.
std::string DiskLinkName(const char* directory, const std::string& device) {
  std::string found;
  DIR* dir = opendir(directory);
  if (dir == nullptr) return found;
  while (const dirent* item = readdir(dir)) {
    if (item->d_name[0] == '.') continue;
    if (RealPath(std::string(directory) + "/" + item->d_name) == device) {
      found = item->d_name;
      break;
    }
  }
  closedir(dir);
  return found;
}

// The mount holding a device: of several (bind mounts), the one with the
// longest mount point that contains the path, the later one on a tie.
bool FindMount(const std::string& path, dev_t device, Platform::TMountEntry* mount) {
  std::vector<Platform::TMountEntry> mounts;
  if (Platform::ReadMountedFileSystems(mounts, Platform::MountSelection::All) != 0) return false;
  bool found = false;
  for (const Platform::TMountEntry& entry : mounts) {
    if (entry.major != major(device) || entry.minor != minor(device)) continue;
    if (!IsPathPrefix(entry.mountPoint, path)) continue;
    if (found && entry.mountPoint.size() < mount->mountPoint.size()) continue;
    *mount = entry;
    found = true;
  }
  return found;
}

}  // namespace

std::string DecodeHexEscapes(const std::string& name) {
  std::string out;
  for (size_t i = 0; i < name.size(); ++i) {
    if (name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x' && HexDigit(name[i + 2]) >= 0 &&
        HexDigit(name[i + 3]) >= 0) {
      out += static_cast<char>(HexDigit(name[i + 2]) * 16 + HexDigit(name[i + 3]));
      i += 3;
    } else {
      out += name[i];
    }
  }
  return out;
}

bool SerialFromUuid(const std::string& uuid, uint32_t* serial) {
  uint32_t value = 0;
  int digits = 0;
  for (char c : uuid) {
    if (c == '-') continue;
    const int digit = HexDigit(c);
    if (digit < 0) return false;
    if (digits == 8) break;
    value = value * 16 + static_cast<uint32_t>(digit);
    ++digits;
  }
  if (digits == 0) return false;
  *serial = value;
  return true;
}

int ReadVolumeFacts(const Westring& directory, TVolumeFacts* facts) {
  const std::string path = RealPath(directory.ToUtf8().c_str());
  struct stat status {};
  if (path.empty() || stat(path.c_str(), &status) != 0) return errno != 0 ? errno : ENOENT;
  Platform::TMountEntry mount;
  if (!FindMount(path, status.st_dev, &mount)) return ENOENT;
  facts->mountPoint = Westring::FromUtf8(mount.mountPoint.c_str());
  facts->fsType = Westring::FromUtf8(mount.fsType.c_str());
  // Only a file system on a block device has a label or a UUID link.
  const std::string device = mount.device.compare(0, 5, "/dev/") == 0 ? RealPath(mount.device) : std::string();
  if (device.empty()) return 0;
  const std::string label = DiskLinkName("/dev/disk/by-label", device);
  if (!label.empty()) facts->label = Westring::FromUtf8(DecodeHexEscapes(label).c_str());
  facts->hasSerial = SerialFromUuid(DiskLinkName("/dev/disk/by-uuid", device), &facts->serial);
  return 0;
}
