#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "foundation/StdFile.h"

namespace {

// Gives the tests the descriptor, to check close-on-exec.
class ExposedFile : public StdFile {
 public:
  using StdFile::Descriptor;
};

class StdFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/vk-stdfile-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    m_dir = pattern;
  }
  void TearDown() override {
    for (const std::string& p : m_paths) unlink(p.c_str());
    rmdir(m_dir.c_str());
  }

  std::string Path(const char* leaf) {
    m_paths.push_back(m_dir + "/" + leaf);
    return m_paths.back();
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

  std::string m_dir;
  std::vector<std::string> m_paths;
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
    EXPECT_EQ(file.Read(buffer, sizeof buffer, askCount ? &got : nullptr), 0) << "askCount=" << askCount;
    if (askCount) {
      EXPECT_EQ(got, 4u);
    }
    EXPECT_EQ(std::string(buffer, 4), "abcd");
    EXPECT_EQ(file.Read(buffer, sizeof buffer, askCount ? &got : nullptr), -1) << "askCount=" << askCount;
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
    EXPECT_EQ(Get(path), c.expected) << "flags=" << c.flags << " line=" << c.line << " text=" << c.text;
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
  const Step steps[] = {{4000, false}, {17, false}, {4096, false}, {9000, true}, {9001, false}, {100, true}};
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
