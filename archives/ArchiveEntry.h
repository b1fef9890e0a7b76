#pragma once
// One member of an archive as the archive's own directory gives it, and the
// numbers of the formats recognised, in the order they are tried.
#include <cstdint>

namespace ArchiveAttr {
constexpr uint32_t Directory = 16;
}

/// Kept in its archive's memory pool, texts included.
struct ArchiveEntry {
  const wchar_t* path;  // the directory, "/"-separated, "" at the top; shared by its members
  const wchar_t* name;  // null for an entry that only names a directory
  int64_t size;         // -1 when not known
  int64_t packedSize;
  int64_t time;         // seconds since the epoch
  uint32_t attributes;  // ArchiveAttr::Directory and the format's other bits
  uint32_t owner, group;
  bool dotSlash;  // the stored path began with "./" or was "."

  static constexpr int64_t UnknownSize = -1;
  bool IsDirectory() const { return (attributes & ArchiveAttr::Directory) != 0; }
};

/// Format numbers: also the order in which a file is tried.
enum ArchiveFormat : int {
  ArchiveNone = -1,
  ArchiveZip = 0,
  ArchiveRar = 1,
  ArchiveLha = 2,
  ArchiveArj = 3,
  ArchiveAce = 4,
  ArchiveHa = 5,
  ArchiveGzip = 6,
  ArchiveTar = 7,
  ArchiveSevenZip = 8,
  ArchiveBzip2 = 9,
  ArchiveFormatCount = 10,
};

/// "ZIP", "RAR", "LHA", "ARJ", "ACE", "HA", "GZIP", "TAR", "7Z", "BZIP2"; "" for others.
const char* ArchiveFormatName(int format);
