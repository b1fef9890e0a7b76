#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/fsuid.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "../TempDirectory.h"
#include "../dialogs/DialogTestUtil.h"
#include "fileops/CopyFiles.h"
#include "fileops/CopyProgress.h"
#include "foundation/SysCalls.h"

namespace {

using dialogtest::PostKey;
using dialogtest::PostKeys;

void Write(const std::string& path, const std::string& data) {
  std::ofstream(path, std::ios::binary) << data;
}
std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream all;
  all << in.rdbuf();
  return all.str();
}
void SetTime(const std::string& path, time_t seconds) {
  const struct timespec times[2] = {{seconds, 0}, {seconds, 500}};
  utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW);
}

// Every name, type, mode, mtime, size, content and link target under a and
// b agree; the first difference is described.
std::string Differences(const std::string& a, const std::string& b) {
  struct stat x {};
  struct stat y {};
  if (lstat(a.c_str(), &x) || lstat(b.c_str(), &y)) return "missing " + b;
  if (x.st_mode != y.st_mode) return "mode of " + b;
  auto target = [](const std::string& link) {
    char text[4096] = {};
    return std::string(text, std::max<ssize_t>(0, readlink(link.c_str(), text, sizeof text)));
  };
  if (S_ISLNK(x.st_mode)) return target(a) == target(b) ? "" : "target of " + b;
  if (x.st_mtim.tv_sec != y.st_mtim.tv_sec || x.st_mtim.tv_nsec != y.st_mtim.tv_nsec)
    return "time of " + b;
  if (S_ISREG(x.st_mode)) return Read(a) == Read(b) ? "" : "data of " + b;
  // Same count of names on both sides, then each of a's names compared.
  auto count = [](const std::string& dir) {
    int n = 0;
    if (DIR* d = opendir(dir.c_str())) {
      while (readdir(d)) ++n;
      closedir(d);
    }
    return n;
  };
  if (count(a) != count(b)) return "name count of " + b;
  DIR* d = opendir(a.c_str());
  while (const dirent* e = readdir(d)) {
    const std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    const std::string difference = Differences(a + "/" + name, b + "/" + name);
    if (!difference.empty()) {
      closedir(d);
      return difference;
    }
  }
  closedir(d);
  return "";
}

// A tree with the names and kinds a copy must keep exactly.
void MakeTree(const std::string& root) {
  mkdir(root.c_str(), 0750);
  mkdir((root + "/sub dir").c_str(), 0700);
  Write(root + "/with blanks ", "blanks");
  Write(root + "/new\nline", "newline");
  Write(root + "/bad \xff\xfe utf8", std::string(100000, 'x'));
  Write(root + "/" + std::string(255, 'n'), "long");
  Write(root + "/sub dir/read only", "ro");
  chmod((root + "/sub dir/read only").c_str(), 0444);
  symlink("sub dir/read only", (root + "/link").c_str());
  SetTime(root + "/sub dir/read only", 1000000000);
  SetTime(root + "/sub dir", 1100000000);
  SetTime(root, 1200000000);
}

struct CopyEngine : dialogtest::ScreenTest {
  TTempDirectory dir{"vk-copy"};
  Estring At(const std::string& leaf) { return Estring((dir / leaf).c_str()); }
  void TearDown() override {
    EXPECT_EQ(dialogtest::Con().Events().Count(), 0) << "every queued answer used";
  }
};

TEST_F(CopyEngine, TreesCopyAndMoveUnchanged) {
  MakeTree(dir / "src");
  {
    TCopyContext context;
    AddToCopyTotal(At("src"), &context);
    EXPECT_EQ(context.progress.total.load(), 6 + 7 + 100000 + 4 + 2);
    ASSERT_EQ(CopyFile(At("src"), At("copy"), 1, 1, &context), 0);
    EXPECT_EQ(context.progress.done.load(), context.progress.total.load());
  }
  EXPECT_EQ(Differences(dir / "src", dir / "copy"), "");

  struct stat before {};
  struct stat after {};
  stat((dir / "copy").c_str(), &before);
  TCopyContext move;
  ASSERT_EQ(MoveFile(At("copy"), At("moved"), 1, 1, &move), 0);
  stat((dir / "moved").c_str(), &after);
  EXPECT_EQ(before.st_ino, after.st_ino) << "a move within a file system is a rename";
  EXPECT_EQ(Differences(dir / "src", dir / "moved"), "");

  // Across file systems the move copies, then deletes the source.
  TTempDirectory shm("vk-copy", "/dev/shm");
  struct stat here {};
  struct stat there {};
  if (shm.Path().empty() || stat(dir.Path().c_str(), &here) || stat(shm.Path().c_str(), &there) ||
      here.st_dev == there.st_dev) {
    GTEST_SKIP() << "/dev/shm and " << dir.Path() << " are one file system: no cross-device move";
  }
  ASSERT_EQ(MoveFile(At("moved"), Estring((shm / "far").c_str()), 1, 1, &move), 0);
  EXPECT_EQ(Differences(dir / "src", shm / "far"), "");
  EXPECT_NE(access((dir / "moved").c_str(), F_OK), 0) << "the copied source is removed";
  ASSERT_EQ(MoveFile(Estring((shm / "far").c_str()), At("back"), 1, 1, &move), 0);
  EXPECT_EQ(Differences(dir / "src", dir / "back"), "");
}

TEST_F(CopyEngine, FailuresKeepTheSourceAndRemoveThePartCopied) {
  const std::string big(200000, 'b');
  Write(dir / "big", big);
  TCopyContext context;
  // The destination's file system fills up: a file size limit fails the writes.
  struct rlimit limit {};
  getrlimit(RLIMIT_FSIZE, &limit);
  const struct rlimit small = {65536, limit.rlim_max};
  void (*oldHandler)(int) = signal(SIGXFSZ, SIG_IGN);
  setrlimit(RLIMIT_FSIZE, &small);
  PostKey('s');  // Skip at the error
  const int result = CopyFile(At("big"), At("big.copy"), 1, 1, &context);
  setrlimit(RLIMIT_FSIZE, &limit);
  signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(result, CopyResult::Skipped);
  EXPECT_NE(access((dir / "big.copy").c_str(), F_OK), 0) << "the partial destination is deleted";
  EXPECT_EQ(Read(dir / "big"), big);

  PostKey(Key::Enter);  // OK at "File not found"
  EXPECT_EQ(CopyFile(At("gone"), At("gone.copy"), 1, 1, &context), ENOENT);
  PostKey(Key::Enter);  // OK at "Directory cannot be copied into itself"
  mkdir((dir / "tree").c_str(), 0755);
  EXPECT_EQ(CopyFile(At("tree"), At("tree/inside"), 1, 1, &context), CopyResult::Cancelled);
  PostKey(Key::Enter);
  EXPECT_EQ(MoveFile(At("tree"), At("tree/inside"), 1, 1, &context), CopyResult::Cancelled);
  EXPECT_NE(access((dir / "tree/inside").c_str(), F_OK), 0);
  PostKey(Key::Enter);  // any key but Esc skips at "File cannot overwrite itself"
  EXPECT_EQ(CopyFile(At("big"), At("./big"), 1, 1, &context), CopyResult::Skipped);
  EXPECT_EQ(Read(dir / "big"), big);

  // A destination directory this user may not write to, checked as "nobody"
  // when running as root (the superuser passes every permission check).
  mkdir((dir / "locked").c_str(), 0555);
  chmod(dir.Path().c_str(), 0755);
  const int64_t nobody = Sys::UserIdByName(L"nobody");
  if (geteuid() == 0 && nobody < 0) GTEST_SKIP() << "running as root without a \"nobody\" account";
  if (geteuid() == 0) setfsuid(static_cast<uid_t>(nobody));
  PostKey(Key::Esc);  // Cancel at "Access Denied"
  EXPECT_EQ(CopyFile(At("big"), At("locked/big"), 1, 1, &context), CopyResult::Cancelled);
  PostKey('s');
  EXPECT_EQ(MoveFile(At("big"), At("locked/big"), 1, 1, &context), CopyResult::Skipped);
  if (geteuid() == 0) setfsuid(0);
  EXPECT_EQ(Read(dir / "big"), big);
}

// A file of a directory being copied is deleted before its turn comes: it
// is reported, the rest is copied and the directory counts as not complete.
TEST_F(CopyEngine, SourceRemovedDuringTheCopy) {
  mkdir((dir / "src").c_str(), 0755);
  ASSERT_EQ(mkfifo((dir / "src/a pipe").c_str(), 0644), 0);
  Write(dir / "src/b", "b");
  std::thread feeder([&] {
    const int fd = open((dir / "src/a pipe").c_str(), O_WRONLY);
    unlink((dir / "src/b").c_str());  // the copy waits for the pipe's data meanwhile
    (void)!write(fd, "a", 1);
    close(fd);
  });
  PostKey(Key::Enter);  // OK at "File not found"
  TCopyContext context;
  EXPECT_EQ(CopyFile(At("src"), At("dst"), 1, 1, &context), CopyResult::Skipped);
  feeder.join();
  EXPECT_EQ(Read(dir / "dst/a pipe"), "a");
  EXPECT_NE(access((dir / "dst/b").c_str(), F_OK), 0);
}

TEST_F(CopyEngine, AnswersLastForTheCommand) {
  for (const char* side : {"src", "dst"}) {
    mkdir((dir / side).c_str(), 0755);
    for (const char* name : {"a", "b", "c"})
      Write(dir / side + "/" + name, std::string(side) + name);
  }
  SetTime(dir / "dst/a", 1000000000);  // older than their sources
  SetTime(dir / "dst/b", 1000000000);
  SetTime(dir / "dst/c", 2000000000);  // newer than its source
  TCopyContext context;
  PostKeys({'y', 'e'});  // merge the directories; None: skip every existing file
  EXPECT_EQ(CopyFile(At("src"), At("dst"), 1, 1, &context), CopyResult::Skipped);
  EXPECT_EQ(Read(dir / "dst/a") + Read(dir / "dst/b"), "dstadstb");

  TCopyContext all;
  PostKeys({'y', 'd'});  // merge; All Older: only destinations older than their sources
  EXPECT_EQ(CopyFile(At("src"), At("dst"), 1, 1, &all), 0);
  EXPECT_EQ(Read(dir / "dst/a") + Read(dir / "dst/b") + Read(dir / "dst/c"), "srcasrcbdstc");

  TCopyContext always;
  always.mergeAll = true;
  Write(dir / "dst/a", "old");
  PostKey('a');  // All: this and every later file
  EXPECT_EQ(CopyFile(At("src"), At("dst"), 1, 1, &always), 0);
  EXPECT_EQ(Read(dir / "dst/a") + Read(dir / "dst/c"), "srcasrcc");

  PostKey('a');  // the move's All deletes the existing destinations
  Write(dir / "dst/b", "old");
  TCopyContext move;
  EXPECT_EQ(MoveFile(At("src"), At("dst"), 1, 1, &move), 0);
  EXPECT_EQ(Read(dir / "dst/b"), "srcb");
  EXPECT_NE(access((dir / "src").c_str(), F_OK), 0) << "the merged source directory is removed";

  // A source another process holds locked for writing.
  Write(dir / "busy", "data");
  const int writer = open((dir / "busy").c_str(), O_WRONLY);
  ASSERT_EQ(flock(writer, LOCK_EX), 0);
  PostKey('e');  // None: skip every such file
  EXPECT_EQ(CopyFile(At("busy"), At("busy.1"), 1, 2, &move), CopyResult::Skipped);
  EXPECT_EQ(CopyFile(At("busy"), At("busy.2"), 2, 2, &move), CopyResult::Skipped)
      << "no second question";
  PostKey('y');  // OK: copy it anyway
  EXPECT_EQ(CopyFile(At("busy"), At("busy.3"), 1, 1, &always), 0);
  close(writer);
  EXPECT_EQ(Read(dir / "busy.3"), "data");
  EXPECT_NE(access((dir / "busy.1").c_str(), F_OK), 0);
}

TEST(CopyProgressTexts, Times) {
  EXPECT_EQ(CopyBarFilled(5, 3, 36), 36) << "more done than the total fills the bar, no more";
  const std::string text = Westring(CopyStatusText(1 << 20, 3 << 20, 65.5)).ToUtf8().c_str();
  EXPECT_EQ(text.substr(0, 17), "Time: 1:05  BPS: ") << text;
  EXPECT_EQ(text.substr(text.size() - 11), "  ETA: 2:11") << text;
  EXPECT_TRUE(CopyStatusText(0, 10, 5).IsEmpty());
  EXPECT_TRUE(CopyStatusText(10, 10, 0).IsEmpty());
}

// The window of a copy that lasts: it opens after a second with the names,
// the place in the command and the bar over the command's bytes, and Esc
// then ends the copy and removes the part copied.
TEST_F(CopyEngine, SlowCopyShowsProgressAndEscStopsIt) {
  const std::string pipe = dir / "pipe";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0644), 0);
  TCopyContext context;
  context.progress.total = 20000;
  std::string screen;
  bool halfBar = false;
  std::thread feeder([&] {
    const int fd = open(pipe.c_str(), O_WRONLY);
    const std::string half(10000, 'p');
    (void)!write(fd, half.data(), half.size());
    for (int tries = 0; tries < 200; ++tries) {  // the window's first drawing
      usleep(50000);
      screen.clear();
      int filled = 0, empty = 0;
      dialogtest::Con().RunOnWindowThread([&] {  // the grid under its lock
        for (int row = 0; row < dialogtest::Con().Lines(); ++row) {
          for (int col = 0; col < dialogtest::Con().Columns(); ++col) {
            const uint32_t ch = dialogtest::Con().CellAt(col, row).ch;
            filled += ch == 0x2588;
            empty += ch == 0x2591;
            screen += ch < 128 ? static_cast<char>(ch) : '#';
          }
          screen += '\n';
        }
      });
      halfBar = filled > 0 && filled == (filled + empty) / 2;  // 10000 of 20000
      if (halfBar) break;
    }
    PostKey(Key::Esc);
    (void)!write(fd, half.data(), half.size());
    close(fd);
  });
  EXPECT_EQ(CopyFile(Estring(pipe.c_str()), At("out"), 2, 3, &context), CopyResult::Cancelled);
  feeder.join();
  EXPECT_TRUE(halfBar) << screen;
  EXPECT_NE(screen.find("Copying"), std::string::npos) << screen;
  EXPECT_NE(screen.find("(2 of 3)"), std::string::npos) << screen;
  EXPECT_NE(screen.find("Time: 0:0"), std::string::npos) << screen;
  EXPECT_NE(access((dir / "out").c_str(), F_OK), 0) << "the partial destination is deleted";
}

}  // namespace

TEST_F(CopyEngine, DescriptionsGoWithTheirFiles) {
  mkdir((dir / "a").c_str(), 0755);
  mkdir((dir / "b").c_str(), 0755);
  Write(dir / "a/x", "x");
  Write(dir / "a/y z", "y");
  Write(dir / "a/descript.ion", "x  first file\r\n\"y z\" second\r\n");
  Write(dir / "b/descript.ion", "x old\r\n");
  TCopyContext context;
  ASSERT_EQ(CopyFile(At("a/x"), At("b/x"), 1, 1, &context), 0);
  EXPECT_EQ(Read(dir / "b/descript.ion"), "x first file\r\n") << "the old line of that name is replaced";
  ASSERT_EQ(MoveFile(At("a/y z"), At("b/w w"), 1, 1, &context), 0);
  EXPECT_EQ(Read(dir / "b/descript.ion"), "x first file\r\n\"w w\" second\r\n");
  EXPECT_EQ(Read(dir / "a/descript.ion"), "x  first file\r\n") << "a move takes the line out";
  ASSERT_EQ(CopyFile(At("a"), At("c"), 1, 1, &context), 0);
  EXPECT_EQ(Read(dir / "c/descript.ion"), "x first file\r\n") << "built from the copied files' lines";
}
