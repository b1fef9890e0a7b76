#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
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

  std::string Path(const char* leaf) {
    return m_temp / leaf;
  }
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
  const std::string m_dir = m_temp.Path();
};

}  // namespace

TEST_F(StdFileTest, ShortReadSucceedsThenEndOfFileIsSticky) {
  std::string path = Path("four");
  Put(path, "abcd");
  for (bool askCount : {true, false}) {
    StdFile file(Name(path), 0);
    ASSERT_EQ(file.LastError(), 0);
    char buffer[10] = {};
    size_t got = 99;
    EXPECT_EQ(file.Read(buffer, sizeof buffer, askCount ? &got : nullptr), 0)
        << "askCount=" << askCount;
    if (askCount) {
      EXPECT_EQ(got, 4u);
    }
    EXPECT_EQ(std::string(buffer, 4), "abcd");
    EXPECT_EQ(file.Read(buffer, sizeof buffer, askCount ? &got : nullptr), -1)
        << "askCount=" << askCount;
    if (askCount) {
      EXPECT_EQ(got, 0u);
    }
    EXPECT_EQ(file.Write("x", 1), -1) << "the end-of-file error must be sticky for writes too";
    ASSERT_EQ(file.Seek(1), 0) << "a successful seek clears the sticky error";
    EXPECT_EQ(file.Read(buffer, 2), 0);
    EXPECT_EQ(std::string(buffer, 2), "bc");
  }
}

TEST_F(StdFileTest, WrittenBytesByMode) {
  struct Case {
    int flags;
    bool line;
    const char* text;
    std::string expected;
  };
  const int create = OpenFlag::Write | OpenFlag::Create;
  const Case cases[] = {
      {create | OpenFlag::Text, false, "a\nb", "a\r\nb"},
      {create | OpenFlag::Text, false, "\n\n", "\r\n\r\n"},
      {create, false, "a\nb", "a\nb"},
      {create | OpenFlag::Text, true, "x", "x\r\n"},
      {create, true, "x", "x\n"},
  };
  std::string path = Path("text");
  for (const Case& c : cases) {
    StdFile file(Name(path), c.flags);
    ASSERT_EQ(file.LastError(), 0);
    EXPECT_EQ(c.line ? file.WriteLine(c.text) : file.WriteText(c.text), 0);
    EXPECT_EQ(file.Close(), 0);
    EXPECT_EQ(Get(path), c.expected)
        << "flags=" << c.flags << " line=" << c.line << " text=" << c.text;
  }
}

TEST_F(StdFileTest, ReadLineSplitsAndTrims) {
  struct Case {
    std::string content;
    size_t size;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"abc\r\ndef", 80, {"abc", "def"}},
      {"\n\n", 80, {"", ""}},
      {std::string("a\0b\n", 4), 80, {"a", "b"}},
      {"abcdef", 4, {"abc", "def"}},
      {"x\r\r\n", 80, {"x"}},
      {"", 80, {}},
      {std::string(5000, 'q') + "\nz", 6000, {std::string(5000, 'q'), "z"}},
  };
  std::string path = Path("lines");
  for (const Case& c : cases) {
    Put(path, c.content);
    StdFile file(Name(path), 0);
    std::vector<char> buffer(c.size);
    for (const std::string& line : c.lines) {
      EXPECT_EQ(file.ReadLine(buffer.data(), c.size), 0) << "content=" << c.content;
      EXPECT_EQ(std::string(buffer.data()), line) << "content=" << c.content;
    }
    EXPECT_EQ(file.ReadLine(buffer.data(), c.size), -1) << "content=" << c.content;
    EXPECT_STREQ(buffer.data(), "");
  }
}

TEST_F(StdFileTest, SeekInsideBufferMakesNoSystemCall) {
  std::string path = Path("seek");
  std::string bytes = Pattern(10000);
  Put(path, bytes);
  StdFile file(Name(path), 0);
  uint64_t calls = file.SystemCallCount();
  ASSERT_EQ(file.Seek(0), 0);
  EXPECT_EQ(file.SystemCallCount(), calls) << "seek to the descriptor's own position";
  char c = 0;
  ASSERT_EQ(file.Read(&c, 1), 0);
  calls = file.SystemCallCount();
  struct Step {
    int64_t target;
    bool systemCall;
  };
  const Step steps[] = {{4000, false}, {17, false},   {4096, false},
                        {9000, true},  {9001, false}, {100, true}};
  for (const Step& s : steps) {
    ASSERT_EQ(file.Seek(s.target), 0);
    EXPECT_EQ(file.Tell(), s.target);
    EXPECT_EQ(file.SystemCallCount() > calls, s.systemCall) << "seek to " << s.target;
    calls = file.SystemCallCount();
    if (s.target >= static_cast<int64_t>(bytes.size())) continue;
    ASSERT_EQ(file.Read(&c, 1), 0);
    EXPECT_EQ(c, bytes[s.target]) << "byte after seek to " << s.target;
    calls = file.SystemCallCount();
  }
  ASSERT_EQ(file.SeekRelative(-50), 0);
  EXPECT_EQ(file.Tell(), 51);
  EXPECT_EQ(file.Seek(-1), EINVAL);
}

TEST_F(StdFileTest, SeekAfterWriteFlushesFirst) {
  std::string path = Path("flush");
  StdFile file(Name(path), OpenFlag::ReadWrite | OpenFlag::Write | OpenFlag::Create);
  uint64_t calls = file.SystemCallCount();
  ASSERT_EQ(file.WriteText("hello"), 0);
  EXPECT_EQ(file.SystemCallCount(), calls) << "small writes stay in the buffer";
  EXPECT_EQ(Get(path), "");
  ASSERT_EQ(file.Seek(1), 0);
  EXPECT_EQ(Get(path), "hello");
  char buffer[4] = {};
  ASSERT_EQ(file.Read(buffer, 4), 0);
  EXPECT_EQ(std::string(buffer, 4), "ello");
}

TEST_F(StdFileTest, WriteAfterReadLandsAtLogicalPosition) {
  std::string path = Path("mixed");
  Put(path, "0123456789");
  StdFile file(Name(path), OpenFlag::ReadWrite | OpenFlag::Write | OpenFlag::Append);
  ASSERT_EQ(file.Tell(), 10) << "append starts at the end";
  ASSERT_EQ(file.Seek(0), 0);
  char buffer[3];
  ASSERT_EQ(file.Read(buffer, 3), 0);
  ASSERT_EQ(file.Write("ab", 2), 0);
  EXPECT_EQ(file.Tell(), 5);
  ASSERT_EQ(file.Read(buffer, 1), 0);
  EXPECT_EQ(buffer[0], '5') << "reading after a write continues behind it";
  EXPECT_EQ(file.Close(), 0);
  EXPECT_EQ(Get(path), "012ab56789");
}

TEST_F(StdFileTest, OpenFlagsTruncateAppendAndMode) {
  std::string path = Path("flags");
  Put(path, "abc");
  {
    StdFile file(Name(path), OpenFlag::Write | OpenFlag::Append);
    ASSERT_EQ(file.WriteText("d"), 0);
  }
  EXPECT_EQ(Get(path), "abcd") << "the destructor writes the buffer";
  {
    StdFile file(Name(path), OpenFlag::Write);
    ASSERT_EQ(file.WriteText("x"), 0);
  }
  EXPECT_EQ(Get(path), "x") << "write without append truncates";

  mode_t saved = umask(022);
  struct Case {
    const char* leaf;
    int flags;
    mode_t mode;
  };
  for (const Case& c : {Case{"plain", 0, 0644}, Case{"exec", OpenFlag::Executable, 0755}}) {
    std::string created = Path(c.leaf);
    StdFile file(Name(created), OpenFlag::Write | OpenFlag::Create | c.flags);
    struct stat info {};
    ASSERT_EQ(stat(created.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, c.mode) << c.leaf;
  }
  umask(saved);
}

TEST_F(StdFileTest, CloseOnExecUnlessKept) {
  std::string path = Path("exec");
  Put(path, "x");
  for (int flags : {0, OpenFlag::KeepOnExec}) {
    ExposedFile file;
    ASSERT_EQ(file.Open(Name(path), flags), 0);
    bool closeOnExec = (fcntl(file.Descriptor(), F_GETFD) & FD_CLOEXEC) != 0;
    EXPECT_EQ(closeOnExec, flags == 0) << "flags=" << flags;
  }
}

TEST_F(StdFileTest, FailuresAreReportedAndSticky) {
  StdFile missing(Name(Path("missing")), 0);
  EXPECT_EQ(missing.LastError(), ENOENT);
  EXPECT_FALSE(missing.IsOpen());
  char c;
  EXPECT_EQ(missing.Read(&c, 1), ENOENT) << "the open error stays until an open succeeds";

  std::string path = Path("readonly");
  Put(path, "abc");
  StdFile file(Name(path), 0);
  EXPECT_EQ(file.Write("x", 1), 0) << "the byte waits in the buffer";
  EXPECT_EQ(file.Close(), EBADF) << "writing the buffer to a read-only descriptor fails at close";
  EXPECT_EQ(Get(path), "abc");
}

TEST_F(StdFileTest, LocksConflictWithoutWaiting) {
  std::string path = Path("lock");
  Put(path, "x");
  struct Case {
    int first, second;
    int expected;
  };
  const Case cases[] = {
      {FileLock::Exclusive, FileLock::Exclusive, EWOULDBLOCK},
      {FileLock::Exclusive, FileLock::Shared, EWOULDBLOCK},
      {FileLock::Shared, FileLock::Exclusive, EWOULDBLOCK},
      {FileLock::Shared, FileLock::Shared, 0},
      {3, FileLock::Shared, EWOULDBLOCK},
      {FileLock::Exclusive, FileLock::None, 0},
  };
  for (const Case& c : cases) {
    StdFile holder(Name(path), 0, c.first);
    ASSERT_EQ(holder.LastError(), 0);
    StdFile other(Name(path), 0, c.second);
    EXPECT_EQ(other.LastError(), c.expected) << "first=" << c.first << " second=" << c.second;
    EXPECT_EQ(other.IsOpen(), c.expected == 0);
    EXPECT_EQ(holder.Close(), 0);
    EXPECT_EQ(other.Open(Name(path), 0, c.second), 0) << "the lock ends with its file";
  }
}

TEST_F(StdFileTest, TruncateAndSizeSeeBufferedBytes) {
  std::string path = Path("size");
  StdFile file(Name(path), OpenFlag::ReadWrite | OpenFlag::Write | OpenFlag::Create);
  std::string bytes = Pattern(5000);
  ASSERT_EQ(file.Write(bytes.data(), bytes.size()), 0);
  int64_t size = 0;
  ASSERT_EQ(file.Size(&size), 0);
  EXPECT_EQ(size, 5000);
  ASSERT_EQ(file.Truncate(10), 0);
  ASSERT_EQ(file.Size(&size), 0);
  EXPECT_EQ(size, 10);
  EXPECT_EQ(file.Tell(), 5000);

  ASSERT_EQ(file.Seek(2), 0);
  char buffer[10];
  ASSERT_EQ(file.Read(buffer, 1), 0);
  ASSERT_EQ(file.Truncate(5), 0);
  size_t got = 0;
  ASSERT_EQ(file.Read(buffer, sizeof buffer, &got), 0);
  EXPECT_EQ(std::string(buffer, got), bytes.substr(3, 2)) << "no byte read ahead survives the cut";
}

TEST_F(StdFileTest, ModificationTimeRoundTrips) {
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

  ASSERT_EQ(file.Open(Name(path), 0), 0);
  TTimeValue seen;
  ASSERT_EQ(file.ModificationTime(&seen), 0);
  EXPECT_TRUE(seen == wanted);
  const uint16_t dosDate = (2004 - 1980) << 9 | 2 << 5 | 29, dosTime = 23 << 11 | 59 << 5 | 58 / 2;
  ASSERT_EQ(file.SetModificationTime(dosDate, dosTime), 0);
  uint16_t date = 0, time = 0;
  ASSERT_EQ(file.ModificationTime(&date, &time), 0);
  EXPECT_EQ(date, dosDate);
  EXPECT_EQ(time, dosTime);
}

TEST_F(StdFileTest, ChunkedCopyAcrossBufferEdges) {
  std::string path = Path("chunks");
  std::string bytes = Pattern(3 * StdFile::BufferSize + 5);
  {
    StdFile out(Name(path), OpenFlag::Write | OpenFlag::Create);
    for (size_t at = 0; at < bytes.size(); at += 1000)
      ASSERT_EQ(out.Write(bytes.data() + at, std::min<size_t>(1000, bytes.size() - at)), 0);
  }
  ASSERT_EQ(Get(path), bytes);
  StdFile in(Name(path), 0);
  std::string back;
  char chunk[777];
  size_t got = 0;
  while (in.Read(chunk, sizeof chunk, &got) == 0) back.append(chunk, got);
  EXPECT_EQ(in.LastError(), -1);
  EXPECT_EQ(back, bytes);
}

TEST_F(StdFileTest, ReadAfterWriteContinuesBehindTheWrittenBytes) {
  std::string path = Path("rw");
  Put(path, "0123456789");
  // Read and write without append truncates, like write-only does.
  {
    StdFile file(Name(path), OpenFlag::ReadWrite | OpenFlag::Write);
    int64_t size = -1;
    ASSERT_EQ(file.Size(&size), 0);
    EXPECT_EQ(size, 0);
  }
  Put(path, "0123456789");
  StdFile file(Name(path), OpenFlag::ReadWrite | OpenFlag::Write | OpenFlag::Append);
  ASSERT_EQ(file.Rewind(), 0);
  ASSERT_EQ(file.Write("abc", 3), 0);
  EXPECT_EQ(file.Tell(), 3);
  char buffer[4] = {};
  ASSERT_EQ(file.Read(buffer, 4), 0) << "the pending bytes are written before the read";
  EXPECT_EQ(std::string(buffer, 4), "3456");
  EXPECT_EQ(Get(path), "abc3456789");

  // A write far beyond one buffer keeps Tell exact across the flushes.
  std::string bytes = Pattern(2 * StdFile::BufferSize + 100);
  ASSERT_EQ(file.Seek(1), 0);
  ASSERT_EQ(file.Write(bytes.data(), bytes.size()), 0);
  EXPECT_EQ(file.Tell(), 1 + static_cast<int64_t>(bytes.size()));
  ASSERT_EQ(file.SeekRelative(-static_cast<int64_t>(bytes.size())), 0);
  std::string back(bytes.size(), 0);
  size_t got = 0;
  ASSERT_EQ(file.Read(&back[0], back.size(), &got), 0);
  EXPECT_EQ(got, bytes.size());
  EXPECT_EQ(back, bytes);
}

TEST_F(StdFileTest, OpenAgainFlushesTheFileAlreadyOpen) {
  std::string first = Path("first"), second = Path("second");
  Put(second, "2nd");
  StdFile file(Name(first), OpenFlag::Write | OpenFlag::Create);
  ASSERT_EQ(file.WriteText("pending"), 0);
  ASSERT_EQ(file.Open(Name(second), 0), 0);
  EXPECT_EQ(Get(first), "pending");
  EXPECT_TRUE(file.Name() == Name(second));
  EXPECT_EQ(file.Tell(), 0) << "positions start again";
  char buffer[3];
  ASSERT_EQ(file.Read(buffer, 3), 0);
  EXPECT_EQ(std::string(buffer, 3), "2nd");

  // A failed open leaves no file open, and the next open clears its error.
  EXPECT_EQ(file.Open(Name(Path("missing")), 0), ENOENT);
  EXPECT_FALSE(file.IsOpen());
  ASSERT_EQ(file.Open(Name(second), 0), 0);
  EXPECT_EQ(file.LastError(), 0);

  // Create without write access makes an empty file that reads as the end.
  std::string created = Path("created");
  ASSERT_EQ(file.Open(Name(created), OpenFlag::Create), 0);
  EXPECT_EQ(file.Read(buffer, 1), -1);
  EXPECT_EQ(access(created.c_str(), F_OK), 0);
}

TEST_F(StdFileTest, WriteErrorIsStickyUntilSeek) {
  StdFile file(Westring(L"/dev/full"), OpenFlag::Write);
  ASSERT_EQ(file.LastError(), 0);
  std::string bytes = Pattern(StdFile::BufferSize + 10);
  EXPECT_EQ(file.Write(bytes.data(), bytes.size()), ENOSPC) << "the full buffer goes out at once";
  uint64_t calls = file.SystemCallCount();
  EXPECT_EQ(file.Write("x", 1), ENOSPC);
  EXPECT_EQ(file.WriteLine("x"), ENOSPC);
  char c;
  EXPECT_EQ(file.Read(&c, 1), ENOSPC);
  EXPECT_EQ(file.SystemCallCount(), calls) << "a sticky error makes no system call";
  ASSERT_EQ(file.Seek(0), 0);
  EXPECT_EQ(file.LastError(), 0);
  EXPECT_EQ(file.Write("x", 1), 0) << "the byte waits in the buffer";
  EXPECT_EQ(file.Close(), ENOSPC) << "the failure of the last write is the result of close";
  EXPECT_EQ(file.Close(), 0) << "nothing is open any more";
}

TEST_F(StdFileTest, ClosedFileRefusesEveryOperation) {
  StdFile file;
  EXPECT_FALSE(file.IsOpen());
  EXPECT_EQ(file.Close(), 0);
  char c;
  int64_t size = 0;
  TTimeValue time;
  uint16_t date = 0, dosTime = 0;
  std::vector<std::pair<const char*, int>> results = {
      {"Read", file.Read(&c, 1)},
      {"ReadLine", file.ReadLine(&c, 1)},
      {"Write", file.Write("x", 1)},
      {"Seek", file.Seek(0)},
      {"Truncate", file.Truncate(0)},
      {"Size", file.Size(&size)},
      {"ModificationTime", file.ModificationTime(&time)},
      {"ModificationTime DOS", file.ModificationTime(&date, &dosTime)},
      {"SetModificationTime", file.SetModificationTime(TTimeValue{1, 0})},
  };
  for (const auto& r : results) EXPECT_EQ(r.second, EBADF) << r.first;
}

TEST_F(StdFileTest, RawWriteIgnoresTextMode) {
  std::string path = Path("raw");
  {
    StdFile file(Name(path), OpenFlag::Write | OpenFlag::Create | OpenFlag::Text);
    ASSERT_EQ(file.Write("a\nb", 3), 0);
    ASSERT_EQ(file.WriteText(Estring("c\n")), 0);
    ASSERT_EQ(file.WriteLine(Estring("d")), 0);
  }
  EXPECT_EQ(Get(path), "a\nbc\r\nd\r\n");
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
    if (file.Close() != 0) _exit(5);
    _exit(0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "step that failed";
}
