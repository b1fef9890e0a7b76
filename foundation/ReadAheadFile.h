#pragma once
// Random access to large files for the viewer, the archive readers and file
// find: four cached 16 KiB blocks plus a thread that reads the block the
// caller is likely to want next while the caller works on the current one.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "foundation/RecursiveMutex.h"
#include "foundation/StdFile.h"
#include "foundation/SyncEvent.h"
#include "foundation/Thread.h"

/// A read-only file served from cached blocks, with a sequential position for
/// Read and ReadLine. The caller's members are for one thread; the read-ahead
/// thread it starts shares only the descriptor and its own buffer, under the
/// descriptor mutex. Hides StdFile's Open, Close, Read, ReadLine and moves,
/// which work on the sequential position here.
class ReadAheadFile : public StdFile {
 public:
  static constexpr uint32_t BlockSize = 16384;
  static constexpr int MaxBlocks = 4;

  ReadAheadFile();
  ~ReadAheadFile();

  /// Opens name for reading with a FileLock, reads its size and starts the
  /// read-ahead thread; returns 0 or errno. Without a thread (the system
  /// refused one) the file still works, only without read-ahead.
  [[nodiscard]] int Open(const Westring& name, int lock = FileLock::None);
  /// Stops and joins the thread, frees the cached blocks and closes the
  /// file; returns 0 or the error of closing. KnownSize and Tell are 0 after.
  int Close();

  /// Stops the read-ahead thread for good (until the next Open): a caller
  /// that reads the whole file once from the start is served better by the
  /// system's own read-ahead than by waking a thread for every block.
  void StopReadAhead();
  /// The byte at offset (0-255), or -1 at or past the end of the file or for
  /// a negative offset. Bytes of a block the system failed to read are 0xFF.
  int ByteAt(int64_t offset);
  /// The cached bytes from offset to the end of its block, *count of them;
  /// null (and 0) at or past the end of the file. Valid until the next
  /// ByteAt, BytesAt or Read. Unreadable bytes are 0xFF, as ByteAt gives them.
  const uint8_t* BytesAt(int64_t offset, size_t* count);
  /// Copies up to count bytes from the sequential position and advances it;
  /// returns 0 (a short read is success) or -1 when nothing was left, or
  /// EBADF when no file is open. got, when given, receives the bytes copied.
  [[nodiscard]] int Read(void* buffer, size_t count, size_t* got = nullptr);
  /// StdFile::ReadLine at the sequential position: 0, or -1 when no byte
  /// was left.
  [[nodiscard]] int ReadLine(char* buffer, size_t size);
  /// Reads count bytes at offset straight from the file, past the cache, for
  /// a caller that goes through much of a file once (a search); the byte
  /// count, or -1 with errno on failure. The known size grows with it.
  ssize_t ReadDirect(void* buffer, size_t count, int64_t offset);
  /// Moves the sequential position; no system call. EINVAL when negative.
  [[nodiscard]] int Seek(int64_t position);
  [[nodiscard]] int SeekRelative(int64_t offset) { return Seek(m_position + offset); }
  [[nodiscard]] int Rewind() { return Seek(0); }
  int64_t Tell() const { return m_position; }
  /// The size found at open, raised when reads found the file longer.
  int64_t KnownSize() const { return m_knownSize; }
  /// The errno of the first block read that failed since Open (its bytes
  /// came out as 0xFF), or 0.
  int ReadError() const { return m_readError; }
  /// Takes the size the system gives now, smaller or larger, and forgets the
  /// cached blocks that are not full or reach past it, so that data written
  /// or cut off since is read again; returns 0 or errno.
  int Refresh();

  /// Start of the block the most recent cache miss asked the thread for, or
  /// -1 when that miss chose none. For tests and diagnostics.
  int64_t LastPrefetchRequest() const { return m_lastPrefetchRequest; }
  /// Start of the block waiting in the thread's buffer, or -1.
  int64_t PrefetchedBlock();
  /// Cache misses so far, and how many of them the thread's buffer served.
  uint64_t BlockLoads() const { return m_blockLoads; }
  uint64_t PrefetchHits() const { return m_prefetchHits; }

 private:
  struct TBlock {
    int64_t start = -1;
    uint32_t length = 0;  // valid bytes; fewer than BlockSize at the end
    std::unique_ptr<uint8_t[]> data;
  };

  static void* ThreadMain(void* self);
  void RunReadAhead();
  void StopThread();
  TBlock* FindBlock(int64_t start);
  TBlock* LoadBlock(int64_t start);
  void FillBlock(TBlock& block);
  void RequestPrefetch(int64_t loadedStart);
  int ByteInBlock(const TBlock& block, int64_t offset) const;

  // Most recently used first; m_blockCount of them are in use.
  TBlock m_blocks[MaxBlocks];
  int m_blockCount = 0;
  int64_t m_knownSize = 0;
  int m_readError = 0;
  int64_t m_position = 0;
  int64_t m_previousLoad = -1;
  int64_t m_lastPrefetchRequest = -1;
  uint64_t m_blockLoads = 0;
  uint64_t m_prefetchHits = 0;

  // Shared with the read-ahead thread; all of it only under m_descriptorMutex.
  RecursiveMutex m_descriptorMutex;
  SyncEvent m_wake;
  ThreadHandle m_thread = 0;
  std::unique_ptr<uint8_t[]> m_aheadData;
  uint32_t m_aheadLength = 0;
  int64_t m_aheadRequest = -1;  // block the thread is to read next, -1 none
  int64_t m_aheadReady = -1;    // block held in m_aheadData, -1 none
  bool m_stopRequested = false;
};
