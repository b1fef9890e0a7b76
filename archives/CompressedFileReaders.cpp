// GZIP and BZIP2 files packed from one file: a single member, listed from
// the header and the file's own name without unpacking anything.
#include <algorithm>
#include <cstring>
#include <cwchar>

#include "archives/internal/FormatReader.h"

namespace {

// RFC 1952, 2.3: the fixed part of a gzip member header.
constexpr int kGzipFixedLength = 10;
constexpr int kGzipFlagsAt = 3, kGzipTimeAt = 4;
constexpr uint8_t kGzipHeaderCrc = 0x02, kGzipExtra = 0x04, kGzipName = 0x08, kGzipComment = 0x10;
// A stored name or comment longer than this (its NUL included) is cut there.
constexpr int64_t kGzipTextMax = 1025;
// CRC32 and ISIZE after the packed data.
constexpr int64_t kGzipTrailerLength = 8;

// The archive's name without its directory, with one suffix dropped or
// replaced by ".tar" ("x.tgz" packs "x.tar"), compared without regard to
// case; unchanged when neither suffix is there or nothing would be left.
Westring NameFromArchiveName(const Westring& archiveName, const wchar_t* packedSuffix,
                             const wchar_t* tarSuffix) {
  const Westring name = archiveName.NamePart();
  const int length = name.Length();
  const int packed = static_cast<int>(std::wcslen(packedSuffix));
  const int tar = static_cast<int>(std::wcslen(tarSuffix));
  if (length > packed && name.Right(packed).EqualsNoCase(packedSuffix))
    return name.Left(length - packed);
  if (length > tar && name.Right(tar).EqualsNoCase(tarSuffix))
    return name.Left(length - tar) + L".tar";
  return name;
}

// Reads the gzip header's optional parts in the order RFC 1952 stores them.
class CGzipHeader {
 public:
  explicit CGzipHeader(TArchiveBuilder& archive) : m_archive(archive) {}

  /// False when the file is no gzip file.
  bool Read() {
    uint8_t fixed[kGzipFixedLength];
    if (m_archive.ReadAt(0, fixed, sizeof fixed) != sizeof fixed || fixed[0] != 0x1F ||
        fixed[1] != 0x8B)
      return false;
    const uint8_t flags = fixed[kGzipFlagsAt];
    m_time = Le32(fixed + kGzipTimeAt);
    m_length = kGzipFixedLength;
    if ((flags & kGzipExtra) != 0) SkipExtra();
    if ((flags & kGzipName) != 0) m_name = ReadText();
    if ((flags & kGzipComment) != 0) (void)ReadText();
    if ((flags & kGzipHeaderCrc) != 0) m_length += 2;
    return true;
  }

  int64_t Length() const { return m_length; }
  int64_t Time() const { return m_time; }
  /// The stored name, as the file was called when packed; may be empty.
  const Westring& StoredName() const { return m_name; }

 private:
  void SkipExtra() {
    uint8_t length[2];
    if (m_archive.ReadAt(m_length, length, sizeof length) != sizeof length) {
      m_length += sizeof length;
      return;
    }
    m_length += sizeof length + Le16(length);
  }

  // A NUL-terminated text at the header's end; the header grows past it.
  Westring ReadText() {
    char text[kGzipTextMax];
    const size_t got = m_archive.ReadAt(m_length, text, sizeof text);
    const void* nul = std::memchr(text, 0, got);
    const size_t length =
        nul != nullptr ? static_cast<size_t>(static_cast<const char*>(nul) - text) : got;
    m_length += static_cast<int64_t>(nul != nullptr ? length + 1 : got);
    return ArchiveName8(text, length);
  }

  TArchiveBuilder& m_archive;
  int64_t m_length = 0;
  int64_t m_time = 0;
  Westring m_name;
};

}  // namespace

FormatResult ReadGzip(TArchiveBuilder& archive) {
  CGzipHeader header(archive);
  if (!header.Read()) return FormatResult::Declined;
  const int64_t fileSize = archive.FileSize();
  TFoundMember member;
  // The stored name may carry the directory it was packed in; "." and ".."
  // would name no member.
  member.path = header.StoredName().NamePart();
  if (member.path.IsEmpty() || member.path == L"." || member.path == L"..")
    member.path = NameFromArchiveName(archive.ArchiveName(), L".gz", L".tgz");
  member.time = header.Time();
  member.packedSize = std::max<int64_t>(0, fileSize - header.Length());
  // ISIZE, the unpacked size modulo 4 GiB, closes the file; a file too short
  // to have a trailer after its header has no size to give.
  uint8_t isize[4];
  if (fileSize - header.Length() >= kGzipTrailerLength &&
      archive.ReadAt(fileSize - 4, isize, sizeof isize) == sizeof isize)
    member.size = Le32(isize);
  (void)archive.Add(member);
  return FormatResult::Read;
}

FormatResult ReadBzip2(TArchiveBuilder& archive) {
  uint8_t signature[3];
  if (archive.ReadAt(0, signature, sizeof signature) != sizeof signature ||
      std::memcmp(signature, "BZh", 3) != 0)
    return FormatResult::Declined;
  TFoundMember member;
  member.path = NameFromArchiveName(archive.ArchiveName(), L".bz2", L".tbz");
  member.packedSize = archive.FileSize();
  (void)archive.Add(member);
  return FormatResult::Read;
}
