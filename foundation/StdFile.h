#pragma once
// StdFile: every file the program reads or writes goes through this
// 4096-byte buffer on a POSIX descriptor, with errors kept as numbers.
#include <sys/types.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

struct stat;

#include "foundation/Estring.h"
#include "foundation/TimeValue.h"
#include "foundation/Westring.h"

/// Bits of the flags argument of StdFile::Open. 0 opens an existing file
/// for reading.
namespace OpenFlag {
constexpr int ReadWrite = 1;    // together with Write: read and write
constexpr int Write = 2;        // write access; truncates unless Append is set
constexpr int Create = 4;       // create the file when it is missing
constexpr int Append = 8;       // start at the end of the file
constexpr int KeepOnExec = 16;  // otherwise the descriptor closes on exec
constexpr int Text = 32;        // WriteText turns each LF into CR LF
constexpr int Executable = 64;  // create with mode 0775 instead of 0664
}  // namespace OpenFlag

/// The lock argument of StdFile::Open (3 means exclusive as well).
namespace FileLock {
constexpr int None = 0;
constexpr int Exclusive = 1;
constexpr int Shared = 2;
}  // namespace FileLock

/// A buffered file with a sticky error: 0, an errno value, or -1 once the end
/// of the file was reached with nothing read. After an error, Read and Write
/// do nothing and return it until the next successful Open or Seek. Not
/// thread-safe: one thread uses one file. Owns its descriptor and buffer, so
/// it cannot be copied.
class StdFile {
 public:
  static constexpr size_t BufferSize = 4096;

  StdFile();
  /// Opens at once; LastError tells whether that worked.
  StdFile(const Westring& name, int flags, int lock = FileLock::None);
  ~StdFile();
  StdFile(const StdFile&) = delete;
  StdFile& operator=(const StdFile&) = delete;

  /// Closes a file already open, then opens name (converted to UTF-8) with
  /// OpenFlag bits and a FileLock; returns 0 or errno (EWOULDBLOCK when
  /// another process holds a conflicting lock). On failure no file is open.
  [[nodiscard]] int Open(const Westring& name, int flags, int lock = FileLock::None);
  /// Writes the buffer and closes the descriptor; returns the first failure
  /// of the two, else 0 (an earlier sticky error is not repeated). 0 when no
  /// file is open.
  int Close();

  /// Copies up to count bytes to buffer. A short read is success; returns -1
  /// when nothing at all could be read (count 0 reads nothing and returns
  /// the last error). got, when given, receives the bytes copied.
  [[nodiscard]] int Read(void* buffer, size_t count, size_t* got = nullptr);
  /// Reads up to an LF, a 0 byte or size - 1 bytes into buffer, drops the LF
  /// and the trailing CRs and LFs, and 0-terminates it; returns the last error,
  /// so -1 once no byte at all was left. size must be at least 1.
  [[nodiscard]] int ReadLine(char* buffer, size_t size);
  /// Writes count bytes; returns the last error.
  [[nodiscard]] int Write(const void* data, size_t count);
  /// Writes a 0-terminated string, each LF as CR LF in text mode.
  [[nodiscard]] int WriteText(const char* text);
  /// Writes length bytes of text, each LF as CR LF in text mode.
  [[nodiscard]] int WriteText(const char* text, size_t length);
  /// The same for an Estring.
  [[nodiscard]] int WriteText(const Estring& text);
  /// WriteText followed by one line feed (CR LF in text mode).
  [[nodiscard]] int WriteLine(const char* text);
  [[nodiscard]] int WriteLine(const Estring& text);

  /// Moves to an absolute position; clears the sticky error on success.
  /// Inside the bytes read ahead, and at the descriptor's own position, no
  /// system call is made.
  [[nodiscard]] int Seek(int64_t position);
  /// Moves by a signed offset from the current position.
  [[nodiscard]] int SeekRelative(int64_t offset);
  /// Moves to the start.
  [[nodiscard]] int Rewind() { return Seek(0); }
  /// The logical position: where the next byte is read or written.
  int64_t Tell() const;
  /// Writes the buffer and cuts or extends the file to length; the position
  /// stays where it was. Returns 0 or errno.
  [[nodiscard]] int Truncate(int64_t length);
  /// The file's size, with the bytes still buffered written first so that
  /// they count. Returns 0 or errno.
  [[nodiscard]] int Size(int64_t* size);
  /// The modification time; returns 0 or errno.
  [[nodiscard]] int ModificationTime(TTimeValue* time);
  /// The modification time as local DOS date and time words.
  [[nodiscard]] int ModificationTime(uint16_t* dosDate, uint16_t* dosTime);
  /// Sets the modification time (the access time becomes now); buffered
  /// bytes are written first so that a later Close does not overwrite it.
  [[nodiscard]] int SetModificationTime(const TTimeValue& time);
  /// The same from local DOS date and time words.
  [[nodiscard]] int SetModificationTime(uint16_t dosDate, uint16_t dosTime);

  bool IsOpen() const { return m_fd != 0; }
  int LastError() const { return m_error; }
  const Westring& Name() const { return m_name; }
  /// read, write and lseek calls made on this object's descriptors since it
  /// was constructed; any thread may read it.
  uint64_t SystemCallCount() const { return m_systemCalls.load(std::memory_order_relaxed); }

 protected:
  int Descriptor() const { return m_fd; }
  /// pread on the descriptor, counted, retried on EINTR; the file position
  /// and the buffer stay untouched, so another thread may call it while it
  /// holds the owner's lock.
  ssize_t ReadAt(void* buffer, size_t count, int64_t offset);

 private:
  enum class Mode { Reading, Writing };

  void ResetBuffer();
  int Record(int error);
  int PrepareRead();
  int FlushPending();
  int FlushWrite();
  int DropReadAhead();
  bool FillBuffer();
  int MoveDescriptor(int64_t position);
  int WriteRaw(const char* data, size_t count);
  int StatDescriptor(struct stat* info);

  int m_fd = 0;
  int m_error = 0;
  std::unique_ptr<uint8_t[]> m_buffer;
  // Reading: bytes m_bufPos..m_bufFill are still unread. Writing: m_bufPos
  // bytes wait to be written and m_bufFill stays 0, so the logical position
  // is m_fdPos - m_bufFill + m_bufPos in both modes.
  size_t m_bufPos = 0;
  size_t m_bufFill = 0;
  Mode m_mode = Mode::Reading;
  int64_t m_fdPos = 0;
  Westring m_name;
  bool m_text = false;
  std::atomic<uint64_t> m_systemCalls{0};
};
