#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "foundation/PlatformLinux.h"
#include "foundation/SysCalls.h"
#include "tests/TempDirectory.h"

namespace {

// Every test works in its own fresh directory below the system's temporary one.
class SysCallsTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(m_temp.Path().empty()); }

  std::string PathBytes(const char* name) const { return m_dir + "/" + name; }
  Westring Path(const char* name) const { return Westring::FromUtf8(PathBytes(name).c_str()); }
  void MakeFile(const char* name, mode_t mode) const {
    int fd = open(PathBytes(name).c_str(), O_CREAT | O_WRONLY, mode);
    ASSERT_GE(fd, 0) << name;
    ASSERT_EQ(fchmod(fd, mode), 0);  // regardless of the umask
    close(fd);
  }
  bool Present(const char* name) const { return access(PathBytes(name).c_str(), F_OK) == 0; }
  mode_t Mode(const char* name) const {
    struct stat info {};
    return stat(PathBytes(name).c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
  }

  TTempDirectory m_temp{"vk-syscalls"};
  const std::string m_dir = m_temp.Path();
};

TEST_F(SysCallsTest, MakeWritableAddsOwnerWriteAndRestores) {
  MakeFile("ro", 0444);
  TSavedMode saved;
  EXPECT_EQ(Sys::MakeWritable(Path("ro"), &saved), 0);
  EXPECT_EQ(Mode("ro"), 0644u);
  EXPECT_EQ(Sys::RestoreMode(&saved), 0);
  EXPECT_EQ(Mode("ro"), 0444u);
  EXPECT_EQ(Sys::RestoreMode(&saved), 0) << "nothing remembered any more";

  // The owner-write rule looks at the mode only, so it holds for the superuser too.
  MakeFile("rw", 0600);
  TSavedMode untouched;
  EXPECT_EQ(Sys::MakeWritable(Path("rw"), &untouched), EACCES);
  EXPECT_FALSE(untouched.remembered);
  EXPECT_EQ(Mode("rw"), 0600u);
  EXPECT_EQ(Sys::MakeWritable(Path("missing"), &untouched), ENOENT);
}

// Runs the read-only delete sequence and returns 0, or the number of the step that failed.
int DeleteReadOnlySequence(const std::string& dir) {
  std::string name = dir + "/ro";
  int fd = open(name.c_str(), O_CREAT | O_WRONLY, 0444);
  if (fd < 0) return 1;
  close(fd);
  chmod(name.c_str(), 0444);
  Westring path = Westring::FromUtf8(name.c_str());
  if (Sys::DeleteFile(path) != EACCES) return 2;
  if (access(name.c_str(), F_OK) != 0) return 3;
  TSavedMode saved;
  if (Sys::MakeWritable(path, &saved) != 0) return 4;
  if (Sys::DeleteFile(path) != 0) return 5;
  if (access(name.c_str(), F_OK) == 0) return 6;
  return 0;
}

TEST_F(SysCallsTest, DeleteRefusesReadOnlyFileUntilMadeWritable) {
  if (geteuid() != 0) {
    EXPECT_EQ(DeleteReadOnlySequence(m_dir), 0);
    return;
  }
  // access() lets the superuser write anything, so the refusal is checked in
  // a child that has given up root for the "nobody" account.
  int64_t nobody = Sys::UserIdByName(Westring::FromUtf8("nobody"));
  if (nobody < 0) GTEST_SKIP() << "no unprivileged account to switch to";
  const uid_t uid = static_cast<uid_t>(nobody);
  ASSERT_EQ(chown(m_dir.c_str(), uid, static_cast<gid_t>(uid)), 0);
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (setgid(static_cast<gid_t>(uid)) != 0 || setuid(uid) != 0) _exit(100);
    _exit(DeleteReadOnlySequence(m_dir));
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == 100) GTEST_SKIP() << "cannot drop root here";
  EXPECT_EQ(WEXITSTATUS(status), 0) << "step that failed";

  // The superuser itself deletes a read-only file at once.
  MakeFile("root-ro", 0444);
  EXPECT_EQ(Sys::DeleteFile(Path("root-ro")), 0);
  EXPECT_FALSE(Present("root-ro"));
}

TEST_F(SysCallsTest, DeleteMissingFileReportsUnlinkError) {
  EXPECT_EQ(Sys::DeleteFile(Path("missing")), ENOENT);
}

TEST_F(SysCallsTest, RenameRefusesExistingTargetAndKeepsBoth) {
  MakeFile("a", 0644);
  MakeFile("b", 0600);
  EXPECT_EQ(Sys::Rename(Path("a"), Path("b")), EEXIST);
  EXPECT_TRUE(Present("a"));
  EXPECT_EQ(Mode("b"), 0600u);
  ASSERT_EQ(symlink("nowhere", PathBytes("dangling").c_str()), 0);
  EXPECT_EQ(Sys::Rename(Path("a"), Path("dangling")), EEXIST);
  EXPECT_EQ(Sys::Rename(Path("a"), Path("c")), 0);
  EXPECT_FALSE(Present("a"));
  EXPECT_TRUE(Present("c"));
  EXPECT_EQ(Sys::Rename(Path("a"), Path("d")), ENOENT);
}

TEST_F(SysCallsTest, DirectoriesAndCurrentDirectory) {
  EXPECT_EQ(Sys::MakeDirectory(Path("sub")), 0);
  EXPECT_EQ(Sys::MakeDirectory(Path("sub")), EEXIST);
  Westring old = Sys::CurrentDirectory();
  ASSERT_FALSE(old.IsEmpty());
  ASSERT_EQ(Sys::ChangeDirectory(Path("sub")), 0);
  EXPECT_EQ(Sys::CurrentDirectory(), Path("sub"));
  EXPECT_EQ(Sys::ChangeDirectory(old), 0);
  MakeFile("sub/x", 0644);
  EXPECT_EQ(Sys::RemoveDirectory(Path("sub")), ENOTEMPTY);
  EXPECT_EQ(unlink(PathBytes("sub/x").c_str()), 0);
  EXPECT_EQ(Sys::RemoveDirectory(Path("sub")), 0);
  EXPECT_EQ(Sys::ChangeDirectory(Path("sub")), ENOENT);
}

TEST_F(SysCallsTest, ModificationTimeKeepsMicroseconds) {
  MakeFile("f", 0644);
  TTimeValue set{1000000000, 123456789};
  ASSERT_EQ(Sys::SetModificationTime(Path("f"), set), 0);
  TTimeValue got;
  ASSERT_EQ(Sys::GetModificationTime(Path("f"), &got), 0);
  EXPECT_EQ(got.seconds, set.seconds);
  EXPECT_EQ(got.nanoseconds, 123456000) << "utimes takes microseconds";
  EXPECT_EQ(Sys::GetModificationTime(Path("missing"), &got), ENOENT);
  EXPECT_EQ(Sys::SetModificationTime(Path("missing"), set), ENOENT);
}

TEST_F(SysCallsTest, ExistsAndSpecialFiles) {
  MakeFile("plain", 0644);
  ASSERT_EQ(mkfifo(PathBytes("fifo").c_str(), 0644), 0);
  ASSERT_EQ(symlink("nowhere", PathBytes("dangling").c_str()), 0);
  int sock = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::string socketPath = PathBytes("sock");
  ASSERT_LT(socketPath.size(), sizeof address.sun_path);
  std::strcpy(address.sun_path, socketPath.c_str());
  ASSERT_EQ(bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  close(sock);

  struct Row {
    const char* path;
    bool exists, special;
  } rows[] = {{"plain", true, false},
              {"fifo", true, true},
              {"sock", true, true},
              {"dangling", false, false},
              {"missing", false, false}};
  for (const Row& row : rows) {
    EXPECT_EQ(Sys::Exists(Path(row.path)), row.exists) << row.path;
    EXPECT_EQ(Sys::IsSpecialFile(Path(row.path)), row.special) << row.path;
  }
  EXPECT_TRUE(Sys::IsSpecialFile(Westring(L"/dev/null")));
  EXPECT_FALSE(Sys::Exists(Westring()));
  EXPECT_FALSE(Sys::IsPlausiblePath(Westring()));
  EXPECT_FALSE(Sys::IsPlausiblePath(Westring::FromUtf8(std::string(PATH_MAX, 'a').c_str())));
  EXPECT_TRUE(Sys::IsPlausiblePath(Westring::FromUtf8(std::string(PATH_MAX - 1, 'a').c_str())));
}

TEST_F(SysCallsTest, LinkTargetAndDiskSpace) {
  const char* target = "t\xC3\xA4rget/\xE2\x82\xAC";  // UTF-8 in the link text
  ASSERT_EQ(symlink(target, PathBytes("link").c_str()), 0);
  EXPECT_EQ(Sys::ReadLinkTarget(Path("link")), Westring(L"t\u00E4rget/\u20AC"));
  MakeFile("plain", 0644);
  EXPECT_TRUE(Sys::ReadLinkTarget(Path("plain")).IsEmpty());

  TDiskSpace space;
  ASSERT_EQ(Sys::GetDiskSpace(Westring::FromUtf8(m_dir.c_str()), &space), 0);
  EXPECT_GT(space.fragmentSize, 0u);
  EXPECT_EQ(space.totalBytes % space.fragmentSize, 0u);
  EXPECT_LE(space.availableBytes, space.totalBytes);
  EXPECT_EQ(Sys::GetDiskSpace(Path("missing"), &space), ENOENT);
}

TEST(SysCallsNames, AccountsByNameAndNumber) {
  EXPECT_EQ(Sys::UserIdByName(Westring(L"root")), 0);
  EXPECT_EQ(Sys::GroupIdByName(Westring(L"root")), 0);
  EXPECT_EQ(Sys::UserIdByName(Westring(L"no-such-user-vk")), -1);
  EXPECT_EQ(Sys::GroupIdByName(Westring(L"no-such-group-vk")), -1);
  EXPECT_EQ(Sys::UserName(0), Westring(L"root"));
  EXPECT_EQ(Sys::GroupName(0), Westring(L"root"));
  EXPECT_EQ(Sys::GroupName(4000000000u), Westring(L"4000000000")) << "unknown group as number";
  EXPECT_EQ(Sys::UserName(4000000001u), Westring(L"4000000001"));
}

TEST_F(SysCallsTest, DirectoryModesAndDirectoryOperands) {
  mode_t saved = umask(0);
  EXPECT_EQ(Sys::MakeDirectory(Path("open")), 0);
  umask(saved);
  EXPECT_EQ(Mode("open"), 0777u) << "made with mode 0777, less the umask";
  EXPECT_EQ(Sys::DeleteFile(Path("open")), EISDIR) << "directories are not files";
  EXPECT_TRUE(Present("open"));
  ASSERT_EQ(Sys::MakeDirectory(Path("other")), 0);
  EXPECT_EQ(Sys::Rename(Path("open"), Path("other")), EEXIST) << "even an empty directory counts";
  EXPECT_EQ(Sys::Rename(Path("open"), Path("moved")), 0);
  EXPECT_EQ(Sys::RemoveDirectory(Path("moved")), 0);
  EXPECT_EQ(Sys::MakeDirectory(Path("missing/sub")), ENOENT);
  MakeFile("file", 0644);
  EXPECT_EQ(Sys::RemoveDirectory(Path("file")), ENOTDIR);
  EXPECT_EQ(Sys::DeleteFile(Path("file/x")), ENOTDIR) << "a path through a file is no missing file";
}

TEST_F(SysCallsTest, LinkTargetIsCutAt2047Bytes) {
  struct Row {
    size_t length, expected;
  } rows[] = {{1, 1}, {2047, 2047}, {2048, 2047}, {3000, 2047}};
  for (const Row& row : rows) {
    std::string target(row.length, 'a');
    std::string link = PathBytes("long");
    unlink(link.c_str());
    ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0) << row.length;
    Westring seen = Sys::ReadLinkTarget(Path("long"));
    EXPECT_EQ(seen.Length(), static_cast<int>(row.expected)) << row.length;
  }
  EXPECT_TRUE(Sys::ReadLinkTarget(Path("missing")).IsEmpty());
}

TEST(SysCallsText, PermissionString) {
  struct Row {
    mode_t mode;
    const wchar_t* text;
  } rows[] = {{0, L"---------"},     {0777, L"rwxrwxrwx"},   {0644, L"rw-r--r--"},
              {04755, L"rwsr-xr-x"}, {04644, L"rwSr--r--"},  {02750, L"rwxr-s---"},
              {02640, L"rw-r-S---"}, {01777, L"rwxrwxrwt"},  {01776, L"rwxrwxrwT"},
              {07000, L"--S--S--T"}, {0100640, L"rw-r-----"}};
  for (const Row& row : rows) {
    EXPECT_EQ(Sys::PermissionString(row.mode), Westring(row.text)) << std::oct << row.mode;
  }
}

TEST(SysCallsText, AccessClassPicksOwnerGroupOrOthers) {
  const mode_t mode = 0752;  // owner 7, group 5, others 2
  EXPECT_EQ(Sys::AccessClass(geteuid(), 4000000000u, mode), 7);
  EXPECT_EQ(Sys::AccessClass(4000000000u, getegid(), mode), 5);
  EXPECT_EQ(Sys::AccessClass(4000000000u, 4000000000u, mode), 2);
  EXPECT_EQ(Sys::AccessClass(geteuid(), getegid(), mode), 7) << "the owner rule wins";
}

TEST(SysCallsText, ErrorTextCarriesTheNumber) {
  EXPECT_EQ(Sys::ErrorText(EACCES), Westring(L"Permission denied (13)"));
  EXPECT_EQ(Sys::ErrorText(ENOENT), Westring(L"No such file or directory (2)"));
  EXPECT_EQ(Sys::ErrorText(ETIMEDOUT), Westring(L"Connection timed out (110)"));
  Westring unknown = Sys::ErrorText(9999);
  EXPECT_EQ(unknown.Right(7), Westring(L" (9999)")) << "unknown numbers still get their number";
}

TEST(MemoryFigures, PhysicalPagesMatchTheKernel) {
  Platform::TMemoryFigures figures;
  ASSERT_EQ(Platform::ReadMemoryFigures(&figures), 0);
  EXPECT_GT(figures.totalBytes, 0u);
  EXPECT_LE(figures.freeBytes, figures.totalBytes);
  EXPECT_EQ(figures.totalBytes % static_cast<uint64_t>(sysconf(_SC_PAGESIZE)), 0u);
  // The kernel's own figure, in KiB, from the other interface it offers.
  FILE* meminfo = std::fopen("/proc/meminfo", "r");
  ASSERT_NE(meminfo, nullptr);
  unsigned long long totalKiB = 0;
  char line[256];
  while (std::fgets(line, sizeof line, meminfo)) {
    if (std::sscanf(line, "MemTotal: %llu kB", &totalKiB) == 1) break;
  }
  std::fclose(meminfo);
  EXPECT_EQ(figures.totalBytes, totalKiB * 1024);
}

TEST(MountTable, ParsesMountInfoLines) {
  struct Row {
    const char* line;
    bool ok;
    const char *mountPoint, *fsType, *device;
  } rows[] = {
      {"36 35 98:0 / /mnt/a rw,noatime master:1 - ext4 /dev/sda1 rw\n", true, "/mnt/a", "ext4",
       "/dev/sda1"},
      {"36 35 98:0 / /mnt/a rw - tmpfs tmpfs rw", true, "/mnt/a", "tmpfs", "tmpfs"},
      {"1 2 0:5 / /media/My\\040Disk rw shared:7 master:2 - vfat /dev/sdb\\0401 rw", true,
       "/media/My Disk", "vfat", "/dev/sdb 1"},
      {"1 2 0:5 / /a\\134b\\01 rw - xfs dev rw", true, "/a\\b\\01", "xfs", "dev"},
      {"36 35 98:0 / /mnt/a rw master:1 ext4 /dev/sda1 rw", false, "", "", ""},
      {"36 35 98:0 / /mnt/a rw - ext4", false, "", "", ""},
      {"", false, "", "", ""},
  };
  for (const Row& row : rows) {
    Platform::TMountEntry entry;
    ASSERT_EQ(Platform::ParseMountInfoLine(row.line, &entry), row.ok) << row.line;
    if (!row.ok) continue;
    EXPECT_EQ(entry.mountPoint, row.mountPoint) << row.line;
    EXPECT_EQ(entry.fsType, row.fsType) << row.line;
    EXPECT_EQ(entry.device, row.device) << row.line;
  }
}

TEST(MountTable, UsableListLeavesOutDeviceAndEmptyFileSystems) {
  TObjectStore<TMountPoint> all, usable;
  ASSERT_EQ(Sys::ReadMountPoints(all, Sys::MountSelection::All), 0);
  ASSERT_EQ(Sys::ReadMountPoints(usable, Sys::MountSelection::Usable), 0);
  ASSERT_GT(all.Count(), 0);
  EXPECT_LE(usable.Count(), all.Count());
  bool sawRoot = false;
  for (TMountPoint* mount : usable) {
    EXPECT_NE(mount->fsType, Westring(L"devtmpfs"));
    EXPECT_NE(mount->fsType, Westring(L"proc")) << "proc has no blocks";
    if (mount->mountPoint == Westring(L"/")) sawRoot = true;
  }
  EXPECT_TRUE(sawRoot) << "the root file system has blocks";
  bool sawProc = false;
  for (TMountPoint* mount : all) sawProc |= mount->fsType == Westring(L"proc");
  EXPECT_TRUE(sawProc) << "all means all";
  ASSERT_EQ(Sys::ReadMountPoints(usable, Sys::MountSelection::Usable), 0);
  EXPECT_LE(usable.Count(), all.Count()) << "a second read replaces the list";
}

TEST(MountTable, DeviceFileSystemNames) {
  EXPECT_TRUE(Platform::IsDeviceFileSystem("devfs"));
  EXPECT_TRUE(Platform::IsDeviceFileSystem("devtmpfs"));
  EXPECT_FALSE(Platform::IsDeviceFileSystem("devpts"));
  EXPECT_FALSE(Platform::IsDeviceFileSystem("tmpfs"));
  EXPECT_EQ(Platform::FileSystemBlocks("/no/such/mount"), 0u);
}

}  // namespace
