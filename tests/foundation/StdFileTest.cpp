#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "foundation/StdFile.h"
#include "tests/TempDirectory.h"

namespace {

// Gives the tests the descriptor, to check close-on-exec.
class ExposedFile : public StdFile {
 public:
  using StdFile::Descriptor;
};

class StdFileTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(m_temp.Path().empty()); }
  std::string Path(const char* leaf) { return m_temp / leaf; }
  static Westring Name(const std::string& path) { return Westring::FromUtf8(path.c_str()); }
  static void Put(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  static std::string Get(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  static std::string Pattern(size_t size) {
    std::string bytes(size, 0);
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 + i / 251);
    return bytes;
  }
  TTempDirectory m_temp{"vk-stdfile"};
};

}  // namespace

TEST_F(StdFileTest, ShortReadSucceedsThenEndOfFileIsStickyUntilASeek) {
  Put(Path("four"), "abcd");
  StdFile file(Name(Path("four")), 0);
  ASSERT_EQ(file.LastError(), 0);
  char buffer[10] = {};
  size_t got = 99;
  EXPECT_EQ(file.Read(buffer, sizeof buffer, &got), 0);
  EXPECT_EQ(std::string(buffer, got), "abcd");
  EXPECT_EQ(file.Read(buffer, sizeof buffer, &got), -1);
  EXPECT_EQ(got, 0u);
  EXPECT_EQ(file.Write("x", 1), -1) << "the end-of-file error must be sticky for writes too";
  ASSERT_EQ(file.Seek(1), 0) << "a successful seek clears the sticky error";
  EXPECT_EQ(file.Read(buffer, 2), 0);
  EXPECT_EQ(std::string(buffer, 2), "bc");
}

TEST_F(StdFileTest, TextModeWritesCrLfAndRawWritesStayRaw) {
  const int create = OpenFlag::Write | OpenFlag::Create;
  for (int flags : {create | OpenFlag::Text, create}) {
    {
      StdFile file(Name(Path("text")), flags);
      ASSERT_EQ(file.WriteText("a\n\n"), 0);
      ASSERT_EQ(file.WriteLine("x"), 0);
      ASSERT_EQ(file.Write("\n", 1), 0);
    }
    EXPECT_EQ(Get(Path("text")), flags == create ? "a\n\nx\n\n" : "a\r\n\r\nx\r\n\n")
        << "input: flags=" << flags;
  }
}

TEST_F(StdFileTest, ReadLineSplitsAndTrims) {
  struct Case {
    std::string content;
    size_t size;
    std::vector<std::string> lines;
  } cases[] = {
      {"abc\r\ndef", 80, {"abc", "def"}}, {std::string("a\0b\n", 4), 80, {"a", "b"}},
      {"abcdef", 4, {"abc", "def"}},      {"x\r\r\n", 80, {"x"}},
      {std::string(5000, 'q') + "\nz", 6000, {std::string(5000, 'q'), "z"}},
  };
  for (const Case& c : cases) {
    Put(Path("lines"), c.content);
    StdFile file(Name(Path("lines")), 0);
    std::vector<char> buffer(c.size);
    for (const std::string& line : c.lines) {
      EXPECT_EQ(file.ReadLine(buffer.data(), c.size), 0) << "input: " << c.content;
      EXPECT_EQ(std::string(buffer.data()), line) << "input: " << c.content;
    }
    EXPECT_EQ(file.ReadLine(buffer.data(), c.size), -1) << "input: " << c.content;
    EXPECT_STREQ(buffer.data(), "");
  }
}

TEST_F(StdFileTest, SeekInsideTheBufferMakesNoSystemCall) {
  std::string bytes = Pattern(10000);
  Put(Path("seek"), bytes);
  StdFile file(Name(Path("seek")), 0);
  char c = 0;
  ASSERT_EQ(file.Read(&c, 1), 0);
  uint64_t calls = file.SystemCallCount();
  const std::pair<int64_t, bool> steps[] = {{17, false}, {4096, false}, {9000, true}, {100, true}};
  for (const auto& [target, systemCall] : steps) {
    ASSERT_EQ(file.Seek(target), 0);
    EXPECT_EQ(file.Tell(), target);
    EXPECT_EQ(file.SystemCallCount() > calls, systemCall) << "input: seek to " << target;
    ASSERT_EQ(file.Read(&c, 1), 0);
    EXPECT_EQ(c, bytes[target]) << "input: byte after seek to " << target;
    calls = file.SystemCallCount();
  }
  ASSERT_EQ(file.SeekRelative(-50), 0);
  EXPECT_EQ(file.Tell(), 51);
  EXPECT_EQ(file.Seek(-1), EINVAL);
}

// Reads and writes share one logical position: pending bytes go out before
// a seek or a read, and a write after a read lands behind the bytes read.
TEST_F(StdFileTest, ReadAndWriteKeepOneLogicalPosition) {
  std::string path = Path("mixed");
  Put(path, "0123456789");
  StdFile file(Name(path), OpenFlag::ReadWrite | OpenFlag::Write | OpenFlag::Append);
  ASSERT_EQ(file.Tell(), 10) << "append starts at the end";
  uint64_t calls = file.SystemCallCount();
  ASSERT_EQ(file.WriteText("!"), 0);
  EXPECT_EQ(file.SystemCallCount(), calls) << "small writes stay in the buffer";
  EXPECT_EQ(Get(path), "0123456789");
  ASSERT_EQ(file.Seek(0), 0);
  EXPECT_EQ(Get(path), "0123456789!") << "a seek writes the buffer first";
  char buffer[4] = {};
  ASSERT_EQ(file.Read(buffer, 3), 0);
  ASSERT_EQ(file.Write("ab", 2), 0);
  EXPECT_EQ(file.Tell(), 5);
  ASSERT_EQ(file.Read(buffer, 4), 0) << "the pending bytes are written before the read";
  EXPECT_EQ(std::string(buffer, 4), "5678");
  EXPECT_EQ(Get(path), "012ab56789!");

  // Written and read back in chunks that straddle the buffer edges.
  std::string bytes = Pattern(3 * StdFile::BufferSize + 5);
  ASSERT_EQ(file.Seek(1), 0);
  for (size_t at = 0; at < bytes.size(); at += 1000)
    ASSERT_EQ(file.Write(bytes.data() + at, std::min<size_t>(1000, bytes.size() - at)), 0);
  EXPECT_EQ(file.Tell(), 1 + static_cast<int64_t>(bytes.size())) << "exact across flushes";
  ASSERT_EQ(file.Seek(1), 0);
  std::string back;
  char chunk[777];
  size_t got = 0;
  while (file.Read(chunk, sizeof chunk, &got) == 0) back.append(chunk, got);
  EXPECT_EQ(back, bytes);
}

TEST_F(StdFileTest, OpenFlagsTruncateAppendModeAndCloseOnExec) {
  std::string path = Path("flags");
  Put(path, "abc");
  {
    StdFile file(Name(path), OpenFlag::Write | OpenFlag::Append);
    ASSERT_EQ(file.WriteText("d"), 0);
  }
  EXPECT_EQ(Get(path), "abcd") << "the destructor writes the buffer";
  StdFile(Name(path), OpenFlag::ReadWrite | OpenFlag::Write);
  EXPECT_EQ(Get(path), "") << "write without append truncates, with read access too";

  mode_t saved = umask(022);
  for (auto [leaf, flags, mode] : {std::make_tuple("plain", 0, 0644), std::make_tuple("exec", OpenFlag::Executable, 0755)}) {
    StdFile file(Name(Path(leaf)), OpenFlag::Write | OpenFlag::Create | flags);
    struct stat info {};
    ASSERT_EQ(stat(Path(leaf).c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, static_cast<mode_t>(mode)) << "input: " << leaf;
  }
  umask(saved);
  for (int flags : {0, OpenFlag::KeepOnExec}) {
    ExposedFile file;
    ASSERT_EQ(file.Open(Name(path), flags), 0);
    EXPECT_EQ((fcntl(file.Descriptor(), F_GETFD) & FD_CLOEXEC) != 0, flags == 0)
        << "input: flags=" << flags;
  }
}

TEST_F(StdFileTest, FailuresAreReportedAndSticky) {
  StdFile missing(Name(Path("missing")), 0);
  EXPECT_EQ(missing.LastError(), ENOENT);
  EXPECT_FALSE(missing.IsOpen());
  char c;
  EXPECT_EQ(missing.Read(&c, 1), ENOENT) << "the open error stays until an open succeeds";

  Put(Path("readonly"), "abc");
  StdFile file(Name(Path("readonly")), 0);
  EXPECT_EQ(file.Write("x", 1), 0) << "the byte waits in the buffer";
  EXPECT_EQ(file.Close(), EBADF) << "writing the buffer to a read-only descriptor fails at close";
  EXPECT_EQ(Get(Path("readonly")), "abc");

  StdFile full(Westring(L"/dev/full"), OpenFlag::Write);
  ASSERT_EQ(full.LastError(), 0);
  std::string bytes = Pattern(StdFile::BufferSize + 10);
  EXPECT_EQ(full.Write(bytes.data(), bytes.size()), ENOSPC) << "the full buffer goes out at once";
  uint64_t calls = full.SystemCallCount();
  EXPECT_EQ(full.WriteLine("x"), ENOSPC);
  EXPECT_EQ(full.Read(&c, 1), ENOSPC);
  EXPECT_EQ(full.SystemCallCount(), calls) << "a sticky error makes no system call";
  ASSERT_EQ(full.Seek(0), 0);
  EXPECT_EQ(full.Write("x", 1), 0);
  EXPECT_EQ(full.Close(), ENOSPC) << "the failure of the last write is the result of close";
  EXPECT_EQ(full.Close(), 0) << "nothing is open any more";
}

TEST_F(StdFileTest, LocksConflictWithoutWaiting) {
  Put(Path("lock"), "x");
  struct Case {
    int first, second, expected;
  } cases[] = {
      {FileLock::Exclusive, FileLock::Shared, EWOULDBLOCK}, {FileLock::Shared, FileLock::Exclusive, EWOULDBLOCK},
      {FileLock::Shared, FileLock::Shared, 0},              {FileLock::Exclusive, FileLock::None, 0},
  };
  for (const Case& c : cases) {
    StdFile holder(Name(Path("lock")), 0, c.first);
    ASSERT_EQ(holder.LastError(), 0);
    StdFile other(Name(Path("lock")), 0, c.second);
    EXPECT_EQ(other.LastError(), c.expected) << "input: first=" << c.first << " second=" << c.second;
    EXPECT_EQ(holder.Close(), 0);
    EXPECT_EQ(other.Open(Name(Path("lock")), 0, c.second), 0) << "the lock ends with its file";
  }
}

TEST_F(StdFileTest, TruncateAndSizeSeeBufferedBytes) {
  StdFile file(Name(Path("size")), OpenFlag::ReadWrite | OpenFlag::Write | OpenFlag::Create);
  std::string bytes = Pattern(5000);
  ASSERT_EQ(file.Write(bytes.data(), bytes.size()), 0);
  int64_t size = 0;
  ASSERT_EQ(file.Size(&size), 0);
  EXPECT_EQ(size, 5000);
  ASSERT_EQ(file.Seek(2), 0);
  char buffer[10];
  ASSERT_EQ(file.Read(buffer, 1), 0);
  ASSERT_EQ(file.Truncate(5), 0);
  ASSERT_EQ(file.Size(&size), 0);
  EXPECT_EQ(size, 5);
  size_t got = 0;
  ASSERT_EQ(file.Read(buffer, sizeof buffer, &got), 0);
  EXPECT_EQ(std::string(buffer, got), bytes.substr(3, 2)) << "no byte read ahead survives the cut";
}

TEST_F(StdFileTest, CloseKeepsTheModificationTimeSet) {
  std::string path = Path("time");
  StdFile file(Name(path), OpenFlag::ReadWrite | OpenFlag::Write | OpenFlag::Create);
  const TTimeValue wanted{1000000000, 500000000};
  ASSERT_EQ(file.WriteText("pending"), 0);
  ASSERT_EQ(file.SetModificationTime(wanted), 0);
  ASSERT_EQ(file.Close(), 0);
  struct stat info {};
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mtim.tv_sec, wanted.seconds) << "closing must not overwrite the time set";
  EXPECT_EQ(info.st_mtim.tv_nsec, wanted.nanoseconds);
}

TEST_F(StdFileTest, OpenAgainFlushesTheFileAlreadyOpen) {
  std::string first = Path("first"), second = Path("second");
  Put(second, "2nd");
  StdFile file(Name(first), OpenFlag::Write | OpenFlag::Create);
  ASSERT_EQ(file.WriteText("pending"), 0);
  ASSERT_EQ(file.Open(Name(second), 0), 0);
  EXPECT_EQ(Get(first), "pending");
  char buffer[3];
  ASSERT_EQ(file.Read(buffer, 3), 0);
  EXPECT_EQ(std::string(buffer, 3), "2nd") << "positions start again";
}

// Standard input closed, the system hands out descriptor 0, which StdFile
// uses for "no file"; the file must still open and work. Runs in a child so
// that the test process keeps its standard input.
TEST_F(StdFileTest, DescriptorZeroIsNotMistakenForNoFile) {
  std::string path = Path("zero");
  Put(path, "zero");
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    close(0);
    ExposedFile file;
    if (file.Open(Name(path), 0) != 0) _exit(1);
    if (!file.IsOpen() || file.Descriptor() == 0) _exit(2);
    if (fcntl(0, F_GETFD) != -1) _exit(3);  // the stray descriptor 0 is closed again
    char buffer[4];
    if (file.Read(buffer, 4) != 0 || std::string(buffer, 4) != "zero") _exit(4);
    _exit(file.Close() != 0 ? 5 : 0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "step that failed";
}
