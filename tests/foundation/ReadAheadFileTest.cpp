#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "foundation/ReadAheadFile.h"

namespace {

constexpr int64_t B = ReadAheadFile::BlockSize;

uint8_t PatternByte(int64_t i) { return static_cast<uint8_t>(i * 7 + i / 251); }

class ReadAheadFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/vk-readahead-XXXXXX";
    int fd = mkstemp(pattern);
    ASSERT_GE(fd, 0);
    close(fd);
    m_path = pattern;
  }
  void TearDown() override { unlink(m_path.c_str()); }

  void Generate(int64_t size) {
    std::ofstream out(m_path, std::ios::binary | std::ios::trunc);
    for (int64_t i = 0; i < size; ++i) out.put(static_cast<char>(PatternByte(i)));
    m_size = size;
  }
  void Open(ReadAheadFile& file) {
    ASSERT_EQ(file.Open(Westring::FromUtf8(m_path.c_str())), 0);
    ASSERT_EQ(file.KnownSize(), m_size);
  }
  // Waits, with a time-out, until the thread holds the block in its buffer.
  static bool WaitForPrefetch(ReadAheadFile& file, int64_t start) {
    for (int i = 0; i < 5000 && file.PrefetchedBlock() != start; ++i) SleepMs(1);
    return file.PrefetchedBlock() == start;
  }

  std::string m_path;
  int64_t m_size = 0;
};

}  // namespace

TEST_F(ReadAheadFileTest, ByteAtMatchesFileAcrossBlockEdges) {
  Generate(5 * B + 123);
  ReadAheadFile file;
  Open(file);
  std::vector<int64_t> offsets = {0, B - 1, B, 2 * B - 1, 5 * B, m_size - 1};
  std::mt19937 random(12345);
  std::uniform_int_distribution<int64_t> anywhere(0, m_size - 1);
  for (int i = 0; i < 3000; ++i) offsets.push_back(anywhere(random));
  for (int64_t offset : offsets)
    ASSERT_EQ(file.ByteAt(offset), PatternByte(offset)) << "offset " << offset;
  for (int64_t offset : {m_size, m_size + 1, m_size + 10 * B, int64_t{-1}})
    EXPECT_EQ(file.ByteAt(offset), -1) << "offset " << offset;
}

TEST_F(ReadAheadFileTest, SequentialReadCoversWholeFile) {
  Generate(3 * B + 10);
  ReadAheadFile file;
  Open(file);
  std::vector<uint8_t> back;
  uint8_t chunk[5000];
  size_t got = 0;
  while (file.Read(chunk, sizeof chunk, &got) == 0) back.insert(back.end(), chunk, chunk + got);
  ASSERT_EQ(static_cast<int64_t>(back.size()), m_size);
  for (int64_t i = 0; i < m_size; ++i) ASSERT_EQ(back[i], PatternByte(i)) << "offset " << i;
  EXPECT_EQ(got, 0u);
  ASSERT_EQ(file.Seek(B - 2), 0);
  ASSERT_EQ(file.Read(chunk, 4, &got), 0);
  EXPECT_EQ(chunk[3], PatternByte(B + 1));
}

TEST_F(ReadAheadFileTest, ReadLineAcrossBlockEdge) {
  std::string text = std::string(B - 1, 'a') + "\r\n" + "tail";
  std::ofstream(m_path, std::ios::binary) << text;
  m_size = static_cast<int64_t>(text.size());
  ReadAheadFile file;
  Open(file);
  std::vector<char> line(2 * B);
  ASSERT_EQ(file.ReadLine(line.data(), line.size()), 0);
  EXPECT_EQ(std::string(line.data()), std::string(B - 1, 'a'));
  ASSERT_EQ(file.ReadLine(line.data(), line.size()), 0);
  EXPECT_STREQ(line.data(), "tail");
  EXPECT_EQ(file.ReadLine(line.data(), line.size()), -1);
}

TEST_F(ReadAheadFileTest, EmptyMissingGrowingAndClosed) {
  Generate(0);
  ReadAheadFile file;
  Open(file);
  EXPECT_EQ(file.ByteAt(0), -1);
  char c;
  EXPECT_EQ(file.Read(&c, 1), -1);
  EXPECT_EQ(file.Open(Westring::FromUtf8("/nonexistent/vk-readahead")), ENOENT);
  EXPECT_EQ(file.ByteAt(0), -1);
  EXPECT_EQ(file.Read(&c, 1), EBADF);
  Generate(10);
  Open(file);
  Generate(2 * B);
  EXPECT_EQ(file.ByteAt(B + 5), PatternByte(B + 5)) << "a file that grew is read further";
  EXPECT_EQ(file.KnownSize(), 2 * B);
  EXPECT_EQ(file.Close(), 0);
  EXPECT_EQ(file.ByteAt(B), -1);
}

// Data appended inside the cached last block, and a file cut short, show
// only after Refresh; full blocks below the new size stay cached.
TEST_F(ReadAheadFileTest, RefreshSeesAppendedAndTruncatedData) {
  Generate(B + 10);
  ReadAheadFile file;
  Open(file);
  EXPECT_EQ(file.ByteAt(5), PatternByte(5));
  EXPECT_EQ(file.ByteAt(B + 20), -1);
  Generate(B + 30);
  EXPECT_EQ(file.ByteAt(B + 20), -1) << "the cached last block still ends at 10";
  ASSERT_EQ(file.Refresh(), 0);
  EXPECT_EQ(file.KnownSize(), B + 30);
  EXPECT_EQ(file.ByteAt(B + 20), PatternByte(B + 20));
  const uint64_t loads = file.BlockLoads();
  EXPECT_EQ(file.ByteAt(7), PatternByte(7));
  EXPECT_EQ(file.BlockLoads(), loads) << "the full first block was kept";
  ASSERT_EQ(truncate(m_path.c_str(), 100), 0);
  ASSERT_EQ(file.Refresh(), 0);
  EXPECT_EQ(file.KnownSize(), 100);
  EXPECT_EQ(file.ByteAt(99), PatternByte(99));
  EXPECT_EQ(file.ByteAt(100), -1);
  EXPECT_EQ(file.ByteAt(B + 20), -1);
}

// A directory opens for reading, but every read of it fails: the bytes inside
// its reported size come back as 0xFF, and the size itself still ends it.
TEST_F(ReadAheadFileTest, UnreadableBlocksReadAsFF) {
  char pattern[] = "/tmp/vk-readahead-dir-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  struct stat info {};
  ASSERT_EQ(stat(pattern, &info), 0);
  const int64_t size = info.st_size;
  {
    ReadAheadFile file;
    ASSERT_EQ(file.Open(Westring::FromUtf8(pattern)), 0);
    ASSERT_EQ(file.KnownSize(), size);
    if (size > 0) {
      EXPECT_EQ(file.ByteAt(0), 0xFF);
      EXPECT_EQ(file.ByteAt(size - 1), 0xFF);
      EXPECT_EQ(file.ReadError(), EISDIR);
    }
    EXPECT_EQ(file.ByteAt(size), -1);
    EXPECT_EQ(file.KnownSize(), size) << "a failed read proves nothing about the size";
  }
  rmdir(pattern);
}

// A run of cached bytes ends with its block or with the file, and without
// the thread every block is read where it is asked for.
TEST_F(ReadAheadFileTest, BytesAtEndsWithTheBlockAndWorksWithoutTheThread) {
  Generate(2 * B + 10);
  ReadAheadFile file;
  Open(file);
  file.StopReadAhead();
  size_t count = 0;
  EXPECT_EQ(file.BytesAt(B - 3, &count)[2], PatternByte(B - 1));
  EXPECT_EQ(count, 3u);
  EXPECT_EQ(file.BytesAt(2 * B + 4, &count)[0], PatternByte(2 * B + 4));
  EXPECT_EQ(count, 6u);
  EXPECT_EQ(file.BytesAt(2 * B + 10, &count), nullptr);
  EXPECT_EQ(file.PrefetchHits(), 0u);
}

// Blocks and the thread's buffer belong to the file they were read from: a
// reopened reader must not serve bytes of the previous file.
TEST_F(ReadAheadFileTest, ReopenForgetsCachedAndPrefetchedBlocks) {
  Generate(3 * B);
  ReadAheadFile file;
  Open(file);
  ASSERT_EQ(file.ByteAt(0), PatternByte(0));
  ASSERT_TRUE(WaitForPrefetch(file, B));
  EXPECT_EQ(file.Close(), 0);
  EXPECT_EQ(file.KnownSize(), 0);
  EXPECT_EQ(file.Tell(), 0);

  std::ofstream(m_path, std::ios::binary | std::ios::trunc) << std::string(2 * B, 'z');
  m_size = 2 * B;
  Open(file);
  EXPECT_EQ(file.PrefetchedBlock(), -1);
  EXPECT_EQ(file.ByteAt(B + 3), 'z');
  EXPECT_EQ(file.ByteAt(3), 'z');
  EXPECT_EQ(file.PrefetchHits(), 0u);
}

// Closing or destroying the reader while its thread may be reading must stop
// and join the thread cleanly (the sanitizer builds check the rest).
TEST_F(ReadAheadFileTest, CloseWhileThreadWorks) {
  Generate(8 * B);
  for (int round = 0; round < 40; ++round) {
    ReadAheadFile file;
    Open(file);
    for (int64_t block = 0; block <= round % 8; ++block)
      ASSERT_EQ(file.ByteAt(block * B + round), PatternByte(block * B + round))
          << "round " << round;
    if (round % 2) {
      EXPECT_EQ(file.Close(), 0);
    }
  }
}

// Scrolling through the file block by block is served by the thread in both
// directions: forwards every next block, backwards once two blocks in a row
// were loaded downwards (the three after the turn are still cached, the
// fourth follows a jump).
TEST_F(ReadAheadFileTest, ScrollingBothWaysIsServedByTheThread) {
  Generate(10 * B + 77);
  ReadAheadFile file;
  Open(file);
  auto visit = [&](int64_t block) {
    for (int64_t offset = block * B; offset < std::min((block + 1) * B, m_size); offset += 509)
      ASSERT_EQ(file.ByteAt(offset), PatternByte(offset)) << "offset " << offset;
  };
  for (int64_t block = 0; block <= 10; ++block) {
    if (block > 0) {
      ASSERT_TRUE(WaitForPrefetch(file, block * B)) << "block " << block;
    }
    visit(block);
  }
  EXPECT_EQ(file.PrefetchHits(), 10u);
  EXPECT_EQ(file.BlockLoads(), 11u);
  for (int64_t block = 10; block >= 0; --block) {
    if (block <= 4) {
      ASSERT_TRUE(WaitForPrefetch(file, block * B)) << "block " << block;
    }
    visit(block);
  }
  EXPECT_EQ(file.PrefetchHits(), 15u);
  EXPECT_EQ(file.BlockLoads(), 18u);
}
