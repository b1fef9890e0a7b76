#include "foundation/ReadAheadFile.h"

#include <algorithm>
#include <cassert>
#include <cerrno>
#include <cstring>
#include <utility>

ReadAheadFile::ReadAheadFile() : m_aheadData(std::make_unique<uint8_t[]>(BlockSize)) {}

ReadAheadFile::~ReadAheadFile() { Close(); }

int ReadAheadFile::Open(const Westring& name, int lock) {
  Close();
  if (int err = StdFile::Open(name, 0, lock)) return err;
  int64_t size = 0;
  if (int err = Size(&size)) {
    StdFile::Close();
    return err;
  }
  m_knownSize = size;
  m_position = 0;
  m_previousLoad = -1;
  m_lastPrefetchRequest = -1;
  m_blockLoads = m_prefetchHits = 0;
  m_readError = 0;
  // No thread runs yet, so the shared members need no lock here.
  m_aheadRequest = m_aheadReady = -1;
  m_stopRequested = false;
  m_wake.Reset();
  m_thread = StartThread(&ThreadMain, this);
  return 0;
}

int ReadAheadFile::Close() {
  if (!IsOpen()) return 0;
  StopThread();
  for (TBlock& block : m_blocks) block = TBlock{};
  m_blockCount = 0;
  m_knownSize = 0;
  m_position = 0;
  m_aheadRequest = m_aheadReady = -1;
  return StdFile::Close();
}

void ReadAheadFile::StopReadAhead() {
  StopThread();
  m_thread = 0;
  m_aheadRequest = m_aheadReady = -1;
}

ssize_t ReadAheadFile::ReadDirect(void* buffer, size_t count, int64_t offset) {
  if (!IsOpen() || offset < 0) {
    errno = EBADF;
    return -1;
  }
  ssize_t n;
  {
    RecursiveMutexGuard hold(m_descriptorMutex);
    n = ReadAt(buffer, count, offset);
  }
  if (n > 0) m_knownSize = std::max(m_knownSize, offset + n);
  return n;
}

int ReadAheadFile::Refresh() {
  if (!IsOpen()) return EBADF;
  int64_t size = 0;
  if (int err = Size(&size)) return err;
  {
    RecursiveMutexGuard hold(m_descriptorMutex);
    m_aheadReady = -1;
  }
  int kept = 0;
  for (int i = 0; i < m_blockCount; ++i) {
    if (m_blocks[i].length == BlockSize && m_blocks[i].start + BlockSize <= size)
      std::swap(m_blocks[kept++], m_blocks[i]);
  }
  m_blockCount = kept;
  m_knownSize = size;
  return 0;
}

int ReadAheadFile::ByteAt(int64_t offset) {
  if (offset < 0 || !IsOpen()) return -1;
  int64_t start = offset - offset % BlockSize;
  TBlock* block = FindBlock(start);
  if (!block) block = LoadBlock(start);
  return ByteInBlock(*block, offset);
}

const uint8_t* ReadAheadFile::BytesAt(int64_t offset, size_t* count) {
  *count = 0;
  if (offset < 0 || !IsOpen()) return nullptr;
  int64_t start = offset - offset % BlockSize;
  TBlock* block = FindBlock(start);
  if (!block) block = LoadBlock(start);
  const int64_t end = std::min(block->start + block->length, m_knownSize);
  if (offset >= end) return nullptr;
  *count = static_cast<size_t>(end - offset);
  return block->data.get() + (offset - start);
}

int ReadAheadFile::Read(void* buffer, size_t count, size_t* got) {
  if (got) *got = 0;
  if (!IsOpen()) return EBADF;
  auto* out = static_cast<uint8_t*>(buffer);
  size_t copied = 0;
  while (copied < count) {
    int64_t start = m_position - m_position % BlockSize;
    TBlock* block = FindBlock(start);
    if (!block) block = LoadBlock(start);
    int64_t end = std::min(block->start + block->length, m_knownSize);
    if (end <= m_position) break;
    size_t take = static_cast<size_t>(std::min<int64_t>(count - copied, end - m_position));
    memcpy(out + copied, block->data.get() + (m_position - start), take);
    m_position += static_cast<int64_t>(take);
    copied += take;
  }
  if (got) *got = copied;
  return copied == 0 && count > 0 ? -1 : 0;
}

int ReadAheadFile::ReadLine(char* buffer, size_t size) {
  assert(size > 0 && "ReadLine needs room for the terminating 0");
  buffer[0] = 0;
  if (!IsOpen()) return EBADF;
  size_t length = 0;
  bool anyByte = false;
  bool atEnd = false;
  while (length + 1 < size) {
    int c = ByteAt(m_position);
    if (c < 0) {
      atEnd = true;
      break;
    }
    ++m_position;
    anyByte = true;
    if (c == '\n' || c == 0) break;
    buffer[length++] = static_cast<char>(c);
  }
  while (length > 0 && (buffer[length - 1] == '\r' || buffer[length - 1] == '\n')) --length;
  buffer[length] = 0;
  return !anyByte && atEnd ? -1 : 0;
}

int ReadAheadFile::Seek(int64_t position) {
  if (position < 0) return EINVAL;
  m_position = position;
  return 0;
}

int64_t ReadAheadFile::PrefetchedBlock() {
  RecursiveMutexGuard hold(m_descriptorMutex);
  return m_aheadReady;
}

void* ReadAheadFile::ThreadMain(void* self) {
  static_cast<ReadAheadFile*>(self)->RunReadAhead();
  return nullptr;
}

// The caller signals with the mutex held, and the flag is cleared only under
// the mutex after the request was served, so no request is lost between the
// wake-up and the reset.
void ReadAheadFile::RunReadAhead() {
  for (;;) {
    (void)m_wake.Wait(WaitForever);
    RecursiveMutexGuard hold(m_descriptorMutex);
    if (hold.Error() != 0 || m_stopRequested) return;
    if (m_aheadRequest >= 0) {
      ssize_t n = ReadAt(m_aheadData.get(), BlockSize, m_aheadRequest);
      m_aheadLength = n > 0 ? static_cast<uint32_t>(n) : 0;
      m_aheadReady = n >= 0 ? m_aheadRequest : -1;
      m_aheadRequest = -1;
    }
    m_wake.Reset();
  }
}

// A separate stop flag rather than a special offset: "nothing to read" and
// "end now" stay two states that cannot be confused.
void ReadAheadFile::StopThread() {
  if (m_thread == 0) return;
  {
    RecursiveMutexGuard hold(m_descriptorMutex);
    m_stopRequested = true;
    m_wake.Signal();
  }
  (void)JoinThread(m_thread);
}

ReadAheadFile::TBlock* ReadAheadFile::FindBlock(int64_t start) {
  for (int i = 0; i < m_blockCount; ++i) {
    if (m_blocks[i].start != start) continue;
    std::rotate(m_blocks, m_blocks + i, m_blocks + i + 1);
    return &m_blocks[0];
  }
  return nullptr;
}

ReadAheadFile::TBlock* ReadAheadFile::LoadBlock(int64_t start) {
  // A new block while fewer than MaxBlocks exist, else the least recently
  // used one; either sits at the end and moves to the front.
  if (m_blockCount < MaxBlocks) ++m_blockCount;
  std::rotate(m_blocks, m_blocks + m_blockCount - 1, m_blocks + m_blockCount);
  TBlock& block = m_blocks[0];
  if (!block.data) block.data = std::make_unique<uint8_t[]>(BlockSize);
  block.start = start;
  ++m_blockLoads;
  FillBlock(block);
  RequestPrefetch(start);
  m_previousLoad = start;
  return &block;
}

void ReadAheadFile::FillBlock(TBlock& block) {
  RecursiveMutexGuard hold(m_descriptorMutex);
  if (m_aheadReady == block.start) {
    std::swap(block.data, m_aheadData);
    block.length = m_aheadLength;
    m_aheadReady = -1;
    ++m_prefetchHits;
  } else {
    // Read here and now; the thread would only repeat the same read.
    if (m_aheadRequest == block.start) m_aheadRequest = -1;
    ssize_t n = ReadAt(block.data.get(), BlockSize, block.start);
    if (n < 0) {
      if (m_readError == 0) m_readError = errno;
      // Unreadable bytes show as 0xFF, as a damaged disk would give them.
      memset(block.data.get(), 0xFF, BlockSize);
      block.length = BlockSize;
      return;
    }
    block.length = static_cast<uint32_t>(n);
  }
  // An empty block past the end proves nothing about the size.
  if (block.length > 0) m_knownSize = std::max(m_knownSize, block.start + block.length);
}

// Scrolling either way through a file loads neighbouring blocks in a row;
// the thread then fetches the block beyond them in the same direction.
void ReadAheadFile::RequestPrefetch(int64_t loadedStart) {
  int64_t next = -1;
  bool forward =
      m_blockCount == 1 || (m_previousLoad >= 0 && loadedStart == m_previousLoad + BlockSize);
  if (forward) {
    next = loadedStart + BlockSize;
  } else if (loadedStart > 0 && loadedStart == m_previousLoad - BlockSize) {
    next = loadedStart - BlockSize;
  }
  m_lastPrefetchRequest = next;
  if (next < 0 || m_thread == 0) return;
  RecursiveMutexGuard hold(m_descriptorMutex);
  m_aheadRequest = next;
  m_wake.Signal();
}

int ReadAheadFile::ByteInBlock(const TBlock& block, int64_t offset) const {
  int64_t index = offset - block.start;
  if (offset >= m_knownSize || index >= block.length) return -1;
  return block.data[index];
}
