#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
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
  mode_t Mode(const char* name) const {
    struct stat info {};
    return stat(PathBytes(name).c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
  }
  TTempDirectory m_temp{"vk-syscalls"};
  const std::string m_dir = m_temp.Path();
};

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
  return access(name.c_str(), F_OK) == 0 ? 6 : 0;
}

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
}

TEST_F(SysCallsTest, DeleteRefusesReadOnlyFileUntilMadeWritable) {
  if (geteuid() != 0) {
    EXPECT_EQ(DeleteReadOnlySequence(m_dir), 0) << "step that failed";
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
  MakeFile("root-ro", 0444);
  EXPECT_EQ(Sys::DeleteFile(Path("root-ro")), 0) << "the superuser deletes it at once";
}

TEST_F(SysCallsTest, FilesAndDirectoriesReportTheRealErrors) {
  MakeFile("a", 0644);
  MakeFile("b", 0600);
  ASSERT_EQ(symlink("nowhere", PathBytes("dangling").c_str()), 0);
  EXPECT_EQ(Sys::Rename(Path("a"), Path("b")), EEXIST);
  EXPECT_EQ(Mode("b"), 0600u) << "rename never replaces its target";
  EXPECT_EQ(Sys::Rename(Path("a"), Path("dangling")), EEXIST) << "a dangling link exists too";
  EXPECT_EQ(Sys::Rename(Path("a"), Path("c")), 0);
  EXPECT_EQ(Sys::DeleteFile(Path("a")), ENOENT);

  mode_t saved = umask(0);
  EXPECT_EQ(Sys::MakeDirectory(Path("sub")), 0);
  umask(saved);
  EXPECT_EQ(Mode("sub"), 0777u) << "made with mode 0777, less the umask";
  EXPECT_EQ(Sys::MakeDirectory(Path("sub")), EEXIST);
  EXPECT_EQ(Sys::MakeDirectory(Path("missing/sub")), ENOENT);
  ASSERT_EQ(Sys::MakeDirectory(Path("other")), 0);
  EXPECT_EQ(Sys::Rename(Path("other"), Path("sub")), EEXIST) << "even an empty directory counts";
  EXPECT_EQ(Sys::DeleteFile(Path("sub")), EISDIR) << "directories are not files";
  MakeFile("sub/x", 0644);
  EXPECT_EQ(Sys::RemoveDirectory(Path("sub")), ENOTEMPTY);
  EXPECT_EQ(Sys::RemoveDirectory(Path("c")), ENOTDIR);
  EXPECT_EQ(Sys::DeleteFile(Path("c/x")), ENOTDIR) << "a path through a file is no missing file";
  EXPECT_EQ(Sys::RemoveDirectory(Path("other")), 0);
  EXPECT_EQ(Sys::ChangeDirectory(Path("other")), ENOENT);
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
}

TEST_F(SysCallsTest, ExistsFollowsLinksAndRefusesOverlongPaths) {
  MakeFile("plain", 0644);
  ASSERT_EQ(symlink("nowhere", PathBytes("dangling").c_str()), 0);
  EXPECT_TRUE(Sys::Exists(Path("plain")));
  EXPECT_FALSE(Sys::Exists(Path("dangling"))) << "the link is followed";
  EXPECT_FALSE(Sys::IsPlausiblePath(Westring()));
  EXPECT_FALSE(Sys::IsPlausiblePath(Westring::FromUtf8(std::string(PATH_MAX, 'a').c_str())));
  EXPECT_TRUE(Sys::IsPlausiblePath(Westring::FromUtf8(std::string(PATH_MAX - 1, 'a').c_str())));
}

TEST_F(SysCallsTest, LinkTargetsAreUtf8AndCutAt2047Bytes) {
  ASSERT_EQ(symlink("t\xC3\xA4rget/\xE2\x82\xAC", PathBytes("link").c_str()), 0);
  EXPECT_EQ(Sys::ReadLinkTarget(Path("link")), Westring(L"t\u00E4rget/\u20AC"));
  EXPECT_TRUE(Sys::ReadLinkTarget(Path("missing")).IsEmpty());
  for (int length : {2047, 2048}) {
    unlink(PathBytes("long").c_str());
    ASSERT_EQ(symlink(std::string(length, 'a').c_str(), PathBytes("long").c_str()), 0);
    EXPECT_EQ(Sys::ReadLinkTarget(Path("long")).Length(), 2047) << "input: " << length;
  }
  TDiskSpace space;
  ASSERT_EQ(Sys::GetDiskSpace(Westring::FromUtf8(m_dir.c_str()), &space), 0);
  EXPECT_LE(space.availableBytes, space.totalBytes);
}

TEST(SysCallsText, AccountsPermissionsAndErrorTexts) {
  EXPECT_EQ(Sys::UserIdByName(Westring(L"root")), 0);
  EXPECT_EQ(Sys::GroupName(4000000000u), Westring(L"4000000000")) << "unknown group as number";
  const std::pair<mode_t, const wchar_t*> modes[] = {
      {04755, L"rwsr-xr-x"}, {02640, L"rw-r-S---"}, {01776, L"rwxrwxrwT"}, {0100640, L"rw-r-----"}};
  for (const auto& [mode, text] : modes)
    EXPECT_EQ(Sys::PermissionString(mode), Westring(text)) << "input: " << std::oct << mode;
  const mode_t mode = 0752;  // owner 7, group 5, others 2
  EXPECT_EQ(Sys::AccessClass(4000000000u, 4000000000u, mode), 2);
  EXPECT_EQ(Sys::AccessClass(geteuid(), getegid(), mode), 7) << "the owner rule wins";
  EXPECT_EQ(Sys::ErrorText(EACCES), Westring(L"Permission denied (13)"));
  EXPECT_EQ(Sys::ErrorText(9999).Right(7), Westring(L" (9999)")) << "unknown numbers get theirs";
}

TEST(MountTable, ParsesMountInfoLines) {
  struct Row {
    const char *line, *mountPoint, *fsType, *device;  // a null mount point: refused
  } rows[] = {
      {"36 35 98:0 / /mnt/a rw,noatime master:1 - ext4 /dev/sda1 rw\n", "/mnt/a", "ext4", "/dev/sda1"},
      {"1 2 0:5 / /media/My\\040Disk rw shared:7 master:2 - vfat /dev/sdb\\0401 rw", "/media/My Disk",
       "vfat", "/dev/sdb 1"},
      {"36 35 98:0 / /mnt/a rw master:1 ext4 /dev/sda1 rw", nullptr, "", ""},
      {"36 35 98:0 / /mnt/a rw - ext4", nullptr, "", ""},
  };
  for (const Row& row : rows) {
    Platform::TMountEntry entry;
    ASSERT_EQ(Platform::ParseMountInfoLine(row.line, &entry), row.mountPoint != nullptr)
        << "input: " << row.line;
    if (!row.mountPoint) continue;
    EXPECT_EQ(entry.mountPoint + "|" + entry.fsType + "|" + entry.device,
              std::string(row.mountPoint) + "|" + row.fsType + "|" + row.device)
        << "input: " << row.line;
  }
  Platform::TMountEntry entry;
  ASSERT_TRUE(Platform::ParseMountInfoLine(rows[0].line, &entry));
  EXPECT_EQ(entry.major * 1000 + entry.minor, 98000u) << "the device numbers";
  EXPECT_FALSE(Platform::ParseMountInfoLine("36 35 zero / /mnt/a rw - ext4 /dev/sda1 rw", &entry));
}

TEST(MountTable, UsableListLeavesOutDeviceAndEmptyFileSystems) {
  TObjectStore<TMountPoint> usable;
  ASSERT_EQ(Sys::ReadMountPoints(usable, Sys::MountSelection::Usable), 0);
  bool sawRoot = false;
  for (TMountPoint* mount : usable) {
    EXPECT_NE(mount->fsType, Westring(L"devtmpfs"));
    EXPECT_NE(mount->fsType, Westring(L"proc")) << "proc has no blocks";
    if (mount->mountPoint == Westring(L"/")) {
      sawRoot = true;
      EXPECT_GT(mount->totalBytes, 0) << "the root answers with its figures";
      EXPECT_LE(mount->availableBytes, mount->totalBytes);
    }
  }
  EXPECT_TRUE(sawRoot) << "the root file system has blocks";
  const int count = usable.Count();
  ASSERT_EQ(Sys::ReadMountPoints(usable, Sys::MountSelection::Usable), 0);
  EXPECT_EQ(usable.Count(), count) << "a second read replaces the list";
}

}  // namespace
