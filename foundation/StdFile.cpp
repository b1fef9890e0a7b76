#include "foundation/StdFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cassert>
#include <cerrno>
#include <cstring>

namespace {

int SystemOpenFlags(int flags) {
  int result = O_RDONLY;
  if (flags & OpenFlag::Write) {
    result = (flags & OpenFlag::ReadWrite) ? O_RDWR : O_WRONLY;
    if (!(flags & OpenFlag::Append)) result |= O_TRUNC;
  }
  if (flags & OpenFlag::Create) result |= O_CREAT;
  if (!(flags & OpenFlag::KeepOnExec)) result |= O_CLOEXEC;
  return result;
}

// The lock taken at open. Linux has no open-with-lock flags, so the same
// whole-file BSD lock is taken with flock right after open. It does not wait:
// a conflicting lock fails the open with EWOULDBLOCK, which the copy command
// answers by opening the source again without a lock, and anything else by
// offering Retry. Waiting would hang the only user-interface thread with no
// way to cancel.
int TakeOpenLock(int fd, int lock) {
  if (lock == FileLock::None) return 0;
  int operation = (lock == FileLock::Shared ? LOCK_SH : LOCK_EX) | LOCK_NB;
  while (flock(fd, operation) != 0) {
    if (errno != EINTR) return errno;
  }
  return 0;
}

// Descriptor 0 means "no file" in StdFile, so a file that the system hands
// out as 0 (standard input was closed) is moved to a higher number.
int AvoidDescriptorZero(int fd, int flags) {
  if (fd != 0) return fd;
  int moved = fcntl(0, (flags & OpenFlag::KeepOnExec) ? F_DUPFD : F_DUPFD_CLOEXEC, 1);
  int err = errno;
  close(0);
  errno = err;
  return moved;
}

}  // namespace

StdFile::StdFile() : m_buffer(std::make_unique<uint8_t[]>(BufferSize)) {}

StdFile::StdFile(const Westring& name, int flags, int lock) : StdFile() {
  (void)Open(name, flags, lock);
}

StdFile::~StdFile() { Close(); }

int StdFile::Open(const Westring& name, int flags, int lock) {
  Close();
  m_name = name;
  m_text = (flags & OpenFlag::Text) != 0;
  m_error = 0;
  ResetBuffer();
  mode_t mode = (flags & OpenFlag::Executable) ? 0775 : 0664;
  int fd = open(name.ToUtf8().c_str(), SystemOpenFlags(flags), mode);
  if (fd >= 0) fd = AvoidDescriptorZero(fd, flags);
  if (fd < 0) return Record(errno);
  if (int err = TakeOpenLock(fd, lock)) {
    close(fd);
    return Record(err);
  }
  m_fd = fd;
  if (flags & OpenFlag::Append) {
    off_t end = lseek(fd, 0, SEEK_END);
    m_systemCalls.fetch_add(1, std::memory_order_relaxed);
    if (end < 0) {
      int err = errno;
      Close();
      return Record(err);
    }
    m_fdPos = end;
  }
  return 0;
}

int StdFile::Close() {
  if (m_fd == 0) return 0;
  int err = 0;
  if (m_mode == Mode::Writing && m_bufPos > 0) err = FlushWrite();
  // Linux frees the descriptor even when close fails, so it is never retried.
  if (close(m_fd) != 0 && err == 0) err = errno;
  m_fd = 0;
  ResetBuffer();
  m_error = err;
  return err;
}

int StdFile::Read(void* buffer, size_t count, size_t* got) {
  if (got) *got = 0;
  if (int err = PrepareRead()) return err;
  auto* out = static_cast<uint8_t*>(buffer);
  size_t copied = 0;
  bool atEnd = false;
  while (copied < count && m_error == 0) {
    if (m_bufPos == m_bufFill && !FillBuffer()) {
      atEnd = m_error == 0;
      break;
    }
    size_t take = std::min(count - copied, m_bufFill - m_bufPos);
    memcpy(out + copied, m_buffer.get() + m_bufPos, take);
    m_bufPos += take;
    copied += take;
  }
  if (got) *got = copied;
  if (copied == 0 && atEnd) m_error = -1;
  return m_error;
}

int StdFile::ReadLine(char* buffer, size_t size) {
  assert(size > 0 && "ReadLine needs room for the terminating 0");
  buffer[0] = 0;
  if (int err = PrepareRead()) return err;
  size_t length = 0;
  bool anyByte = false;
  bool atEnd = false;
  while (length + 1 < size) {
    if (m_bufPos == m_bufFill && !FillBuffer()) {
      atEnd = m_error == 0;
      break;
    }
    uint8_t c = m_buffer[m_bufPos++];
    anyByte = true;
    if (c == '\n' || c == 0) break;
    buffer[length++] = static_cast<char>(c);
  }
  while (length > 0 && (buffer[length - 1] == '\r' || buffer[length - 1] == '\n')) --length;
  buffer[length] = 0;
  if (!anyByte && atEnd) m_error = -1;
  return m_error;
}

int StdFile::Write(const void* data, size_t count) {
  return WriteRaw(static_cast<const char*>(data), count);
}

int StdFile::WriteText(const char* text) { return WriteText(text, strlen(text)); }

int StdFile::WriteText(const char* text, size_t length) {
  if (!m_text) return WriteRaw(text, length);
  const char* end = text + length;
  while (text < end) {
    auto* lineFeed = static_cast<const char*>(memchr(text, '\n', end - text));
    const char* stop = lineFeed ? lineFeed : end;
    if (int err = WriteRaw(text, stop - text)) return err;
    if (lineFeed) {
      if (int err = WriteRaw("\r\n", 2)) return err;
    }
    text = stop + (lineFeed ? 1 : 0);
  }
  return m_error;
}

int StdFile::WriteText(const Estring& text) {
  return WriteText(text.c_str(), static_cast<size_t>(text.Length()));
}

int StdFile::WriteLine(const char* text) {
  if (int err = WriteText(text)) return err;
  return WriteText("\n", 1);
}

int StdFile::WriteLine(const Estring& text) {
  if (int err = WriteText(text)) return err;
  return WriteText("\n", 1);
}

int StdFile::Seek(int64_t position) {
  if (m_fd == 0) return Record(EBADF);
  if (m_mode == Mode::Writing) {
    if (m_bufPos > 0 && FlushWrite()) return m_error;
    m_mode = Mode::Reading;
  } else if (m_bufFill > 0) {
    int64_t bufferStart = m_fdPos - static_cast<int64_t>(m_bufFill);
    if (position >= bufferStart && position <= m_fdPos) {
      m_bufPos = static_cast<size_t>(position - bufferStart);
      m_error = 0;
      return 0;
    }
  }
  m_bufPos = m_bufFill = 0;
  if (int err = MoveDescriptor(position)) return err;
  m_error = 0;
  return 0;
}

int StdFile::SeekRelative(int64_t offset) { return Seek(Tell() + offset); }

int64_t StdFile::Tell() const {
  return m_fdPos - static_cast<int64_t>(m_bufFill) + static_cast<int64_t>(m_bufPos);
}

int StdFile::Truncate(int64_t length) {
  if (m_fd == 0) return Record(EBADF);
  // The descriptor is brought to the logical position so that no byte read
  // ahead from beyond the new end survives in the buffer.
  int err = m_mode == Mode::Writing ? FlushPending() : DropReadAhead();
  if (err) return err;
  if (ftruncate(m_fd, length) != 0) return Record(errno);
  return 0;
}

int StdFile::Size(int64_t* size) {
  *size = 0;
  struct stat info {};
  if (int err = StatDescriptor(&info)) return err;
  *size = info.st_size;
  return 0;
}

int StdFile::ModificationTime(TTimeValue* time) {
  *time = TTimeValue{};
  struct stat info {};
  if (int err = StatDescriptor(&info)) return err;
  time->seconds = info.st_mtim.tv_sec;
  time->nanoseconds = static_cast<int32_t>(info.st_mtim.tv_nsec);
  return 0;
}

int StdFile::ModificationTime(uint16_t* dosDate, uint16_t* dosTime) {
  TTimeValue time;
  *dosDate = *dosTime = 0;
  if (int err = ModificationTime(&time)) return err;
  time.ToDos(dosDate, dosTime);
  return 0;
}

int StdFile::SetModificationTime(const TTimeValue& time) {
  if (m_fd == 0) return Record(EBADF);
  if (int err = FlushPending()) return err;
  timespec times[2] = {{0, UTIME_NOW}, {time.seconds, time.nanoseconds}};
  if (futimens(m_fd, times) != 0) return Record(errno);
  return 0;
}

int StdFile::SetModificationTime(uint16_t dosDate, uint16_t dosTime) {
  return SetModificationTime(TTimeValue::FromDos(dosDate, dosTime));
}

ssize_t StdFile::ReadAt(void* buffer, size_t count, int64_t offset) {
  ssize_t n;
  do {
    n = pread(m_fd, buffer, count, offset);
    m_systemCalls.fetch_add(1, std::memory_order_relaxed);
  } while (n < 0 && errno == EINTR);
  return n;
}

void StdFile::ResetBuffer() {
  m_bufPos = m_bufFill = 0;
  m_mode = Mode::Reading;
  m_fdPos = 0;
}

int StdFile::Record(int error) {
  m_error = error;
  return error;
}

int StdFile::PrepareRead() {
  if (m_error) return m_error;
  if (m_fd == 0) return Record(EBADF);
  if (m_mode == Mode::Writing) {
    if (m_bufPos > 0 && FlushWrite()) return m_error;
    m_mode = Mode::Reading;
  }
  return 0;
}

int StdFile::FlushPending() {
  if (m_mode != Mode::Writing || m_bufPos == 0) return 0;
  return FlushWrite();
}

int StdFile::FlushWrite() {
  size_t done = 0;
  int err = 0;
  while (done < m_bufPos) {
    ssize_t n = write(m_fd, m_buffer.get() + done, m_bufPos - done);
    m_systemCalls.fetch_add(1, std::memory_order_relaxed);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      // A write of nothing would loop for ever; the disk is as good as full.
      err = n < 0 ? errno : ENOSPC;
      break;
    }
    done += static_cast<size_t>(n);
  }
  m_fdPos += static_cast<int64_t>(done);
  // Unwritten bytes are dropped: the sticky error reports their loss.
  m_bufPos = 0;
  return err ? Record(err) : 0;
}

int StdFile::DropReadAhead() {
  int64_t logical = Tell();
  m_bufPos = m_bufFill = 0;
  return MoveDescriptor(logical);
}

bool StdFile::FillBuffer() {
  ssize_t n;
  do {
    n = read(m_fd, m_buffer.get(), BufferSize);
    m_systemCalls.fetch_add(1, std::memory_order_relaxed);
  } while (n < 0 && errno == EINTR);
  if (n < 0) {
    Record(errno);
    return false;
  }
  m_fdPos += n;
  m_bufPos = 0;
  m_bufFill = static_cast<size_t>(n);
  return n > 0;
}

int StdFile::MoveDescriptor(int64_t position) {
  if (position == m_fdPos) return 0;
  off_t reached = lseek(m_fd, position, SEEK_SET);
  m_systemCalls.fetch_add(1, std::memory_order_relaxed);
  if (reached < 0) return Record(errno);
  m_fdPos = reached;
  return 0;
}

int StdFile::WriteRaw(const char* data, size_t count) {
  if (m_error) return m_error;
  if (m_fd == 0) return Record(EBADF);
  if (m_mode == Mode::Reading) {
    if (DropReadAhead()) return m_error;
    m_mode = Mode::Writing;
  }
  while (count > 0) {
    size_t take = std::min(BufferSize - m_bufPos, count);
    memcpy(m_buffer.get() + m_bufPos, data, take);
    m_bufPos += take;
    data += take;
    count -= take;
    if (m_bufPos == BufferSize && FlushWrite()) return m_error;
  }
  return 0;
}

int StdFile::StatDescriptor(struct stat* info) {
  if (m_fd == 0) return Record(EBADF);
  if (int err = FlushPending()) return err;
  if (fstat(m_fd, info) != 0) return Record(errno);
  return 0;
}
