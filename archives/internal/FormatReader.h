#pragma once
// What a format reader works with: the archive file through the viewer's
// block reader, little-endian fields, DOS times, names in the file-name code
// page, and the builder that takes the members it finds. Every reader reads
// headers only and moves over packed data.
#include <cstddef>
#include <cstdint>
#include <functional>

#include "archives/ArchiveEntry.h"
#include "foundation/Westring.h"
#include "viewer/ViewFile.h"

/// A reader's answer: not its format (the next one is tried), read (with the
/// members found so far when the archive ends early), or failed after the
/// user was told why (no other format is tried).
enum class FormatResult { Declined, Read, Failed };

/// One member as a reader found it.
struct TFoundMember {
  Westring path;  // the stored path, "/"-separated; for a file its name is the last part
  bool directory = false;  // the whole path names a directory
  int64_t size = ArchiveEntry::UnknownSize;
  int64_t packedSize = 0;
  int64_t time = 0;  // seconds since the epoch
  uint32_t attributes = 0;
  uint32_t owner = 0, group = 0;
};

class TArchiveBuilder {
 public:
  virtual ~TArchiveBuilder() = default;

  /// The archive file, open; its size.
  virtual ViewFile& File() = 0;
  virtual int64_t FileSize() const = 0;
  virtual const Westring& ArchiveName() const = 0;

  /// Copies up to count bytes at offset; the number copied (0 at the end or
  /// on an error), never more than count.
  size_t ReadAt(int64_t offset, void* buffer, size_t count);

  /// Takes a member: the path is split into directory and name, a leading
  /// "./" (or a path ".") and leading "/" are dropped. False when no more
  /// members can be taken (memory ran out): the reader stops there.
  virtual bool Add(const TFoundMember& member) = 0;
  virtual int Count() const = 0;

  /// Shows message with the archive's name; the reader then returns Failed.
  virtual void Report(const char* message) = 0;
  /// True once the user pressed Esc in the progress window: the reader stops.
  virtual bool Interrupted() const = 0;
};

inline uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
inline uint32_t Le32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }
inline uint64_t Le64(const uint8_t* p) { return Le32(p) | static_cast<uint64_t>(Le32(p + 4)) << 32; }

/// The local time of a DOS date and time, in seconds since the epoch.
int64_t DosTimeToSeconds(uint16_t dosDate, uint16_t dosTime);
/// Bytes of a stored name in the file-name code page (valid UTF-8 is taken
/// as UTF-8), with every "\" turned into "/".
Westring ArchiveName8(const char* bytes, size_t count);
/// Bytes of a UTF-8 name, with every "\" turned into "/".
Westring ArchiveNameUtf8(const char* bytes, size_t count);

using FormatReaderFunction = FormatResult (*)(TArchiveBuilder& archive);

// The readers, one per format; a reader that does not know the file declines.
FormatResult ReadZip(TArchiveBuilder& archive);
FormatResult ReadRar(TArchiveBuilder& archive);
FormatResult ReadLha(TArchiveBuilder& archive);
FormatResult ReadArj(TArchiveBuilder& archive);
FormatResult ReadAce(TArchiveBuilder& archive);
FormatResult ReadHa(TArchiveBuilder& archive);
FormatResult ReadGzip(TArchiveBuilder& archive);
FormatResult ReadTar(TArchiveBuilder& archive);
FormatResult ReadSevenZip(TArchiveBuilder& archive);
FormatResult ReadBzip2(TArchiveBuilder& archive);
/// A gzip or bzip2 file (format ArchiveGzip or ArchiveBzip2) holding a tar:
/// the tar's members; declined for anything else.
FormatResult ReadCompressedTar(TArchiveBuilder& archive, int format);
