// 7-Zip: the archive database (often compressed itself) decoded by
// libarchive, fed from the block reader through our own callbacks. Only the
// headers are asked for: no member is ever read, so the packed streams are
// skipped by offset, solid ones included.
#include <archive.h>
#include <archive_entry.h>
#include <locale.h>

#include <cstring>
#include <memory>
#include <vector>

#include "archives/internal/FormatReader.h"
#include "archives/internal/SevenZipDatabaseCheck.h"

namespace {

constexpr uint8_t kSignature[6] = {'7', 'z', 0xBC, 0xAF, 0x27, 0x1C};
constexpr size_t kChunkSize = ViewFile::BlockSize;
constexpr size_t kStartHeaderSize = 32;
// A compressed database of names, sizes and times rarely shrinks below a
// thirtieth; one that claims to unpack to much more than the file is damaged.
constexpr uint64_t kMaxUnpackRatio = 128;
constexpr uint64_t kUnpackAllowance = 1 << 20;

// libarchive turns the database's UTF-16 names into the current locale's
// multibyte text; under a UTF-8 locale on this thread no name is lost
// whatever locale the program runs in.
class CUtf8Names {
 public:
  CUtf8Names() : m_utf8(newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr))) {
    if (m_utf8 != nullptr) m_previous = uselocale(m_utf8);
  }
  ~CUtf8Names() {
    if (m_utf8 == nullptr) return;
    uselocale(m_previous);
    freelocale(m_utf8);
  }
  CUtf8Names(const CUtf8Names&) = delete;
  CUtf8Names& operator=(const CUtf8Names&) = delete;

 private:
  locale_t m_utf8 = nullptr;
  locale_t m_previous = nullptr;
};

// The archive file as libarchive's client: reads in chunks at a position of
// its own, and seeks and skips by moving that position only.
class CSevenZipSource {
 public:
  explicit CSevenZipSource(TArchiveBuilder& archive)
      : m_archive(archive), m_chunk(new uint8_t[kChunkSize]) {}

  static la_ssize_t Read(struct archive*, void* self, const void** buffer) {
    auto& source = *static_cast<CSevenZipSource*>(self);
    const size_t got = source.m_archive.ReadAt(source.m_position, source.m_chunk.get(), kChunkSize);
    source.m_position += static_cast<int64_t>(got);
    *buffer = source.m_chunk.get();
    return static_cast<la_ssize_t>(got);
  }

  static la_int64_t Skip(struct archive*, void* self, la_int64_t request) {
    auto& source = *static_cast<CSevenZipSource*>(self);
    const int64_t left = source.m_archive.FileSize() - source.m_position;
    const int64_t skipped = request < 0 ? 0 : request < left ? request : left;
    source.m_position += skipped;
    return skipped;
  }

  static la_int64_t Seek(struct archive*, void* self, la_int64_t offset, int whence) {
    auto& source = *static_cast<CSevenZipSource*>(self);
    const int64_t base = whence == SEEK_SET   ? 0
                         : whence == SEEK_CUR ? source.m_position
                                              : source.m_archive.FileSize();
    const int64_t target = base + offset;
    if (target < 0) return ARCHIVE_FATAL;
    source.m_position = target;
    return target;
  }

 private:
  TArchiveBuilder& m_archive;
  int64_t m_position = 0;
  std::unique_ptr<uint8_t[]> m_chunk;
};

bool OpenSource(struct archive* reader, CSevenZipSource& source) {
  return archive_read_support_format_7zip(reader) == ARCHIVE_OK &&
         archive_read_set_read_callback(reader, CSevenZipSource::Read) == ARCHIVE_OK &&
         archive_read_set_skip_callback(reader, CSevenZipSource::Skip) == ARCHIVE_OK &&
         archive_read_set_seek_callback(reader, CSevenZipSource::Seek) == ARCHIVE_OK &&
         archive_read_set_callback_data(reader, &source) == ARCHIVE_OK &&
         archive_read_open1(reader) == ARCHIVE_OK;
}

Westring EntryPath(struct archive_entry* entry) {
  if (const char* utf8 = archive_entry_pathname_utf8(entry))
    return ArchiveNameUtf8(utf8, std::strlen(utf8));
  if (const wchar_t* wide = archive_entry_pathname_w(entry)) return Westring(wide);
  return Westring();
}

TFoundMember MemberOf(struct archive_entry* entry) {
  TFoundMember member;
  member.path = EntryPath(entry);
  member.directory = archive_entry_filetype(entry) == AE_IFDIR;
  member.attributes = member.directory ? ArchiveAttr::Directory : 0;
  if (!member.directory && archive_entry_size_is_set(entry))
    member.size = archive_entry_size(entry);
  if (archive_entry_mtime_is_set(entry)) member.time = archive_entry_mtime(entry);
  return member;
}

// Adds each header's member; the database is decoded at the first header,
// so a failure there means the file is no 7-Zip archive we can read.
FormatResult AddMembers(TArchiveBuilder& archive, struct archive* reader) {
  for (int index = 0;; ++index) {
    if (archive.Interrupted()) return FormatResult::Read;
    struct archive_entry* entry = nullptr;
    const int status = archive_read_next_header(reader, &entry);
    if (status == ARCHIVE_EOF) return FormatResult::Read;
    // A warning still gives the entry (a name that did not convert fully).
    if (status != ARCHIVE_OK && status != ARCHIVE_WARN)
      return index == 0 ? FormatResult::Declined : FormatResult::Read;
    if (!archive.Add(MemberOf(entry))) return FormatResult::Read;
  }
}

// The start header's database must lie inside the file and its counts fit
// it before libarchive may decode it.
bool DatabaseFits(TArchiveBuilder& archive) {
  uint8_t start[kStartHeaderSize];
  if (archive.ReadAt(0, start, sizeof start) != sizeof start) return false;
  const uint64_t offset = Le64(start + 12), size = Le64(start + 20);
  const uint64_t after = static_cast<uint64_t>(archive.FileSize()) - kStartHeaderSize;
  if (offset > after || size > after - offset) return false;
  if (size == 0) return true;  // an empty archive
  std::vector<uint8_t> database(static_cast<size_t>(size));
  if (archive.ReadAt(static_cast<int64_t>(kStartHeaderSize + offset), database.data(),
                     database.size()) != size)
    return false;
  const uint64_t maxUnpacked =
      kMaxUnpackRatio * static_cast<uint64_t>(archive.FileSize()) + kUnpackAllowance;
  return SevenZipDatabaseFits(database.data(), database.size(), maxUnpacked);
}

}  // namespace

FormatResult ReadSevenZip(TArchiveBuilder& archive) {
  uint8_t head[sizeof kSignature];
  if (archive.ReadAt(0, head, sizeof head) != sizeof head ||
      std::memcmp(head, kSignature, sizeof head) != 0)
    return FormatResult::Declined;
  if (!DatabaseFits(archive)) return FormatResult::Declined;

  CUtf8Names names;
  CSevenZipSource source(archive);
  struct archive* reader = archive_read_new();
  if (reader == nullptr) return FormatResult::Declined;
  FormatResult result = FormatResult::Declined;
  if (OpenSource(reader, source)) result = AddMembers(archive, reader);
  archive_read_free(reader);
  return result;
}
