#include "archives/ArchivePanel.h"

#include <sys/stat.h>

#include <cerrno>

#include "archives/ArchiveReader.h"
#include "archives/ArchiverCommand.h"
#include "archives/ExtractedMember.h"
#include "panels/DirSearch.h"
#include "panels/Entry.h"

namespace {

// What tells that the archive file changed since it was read.
struct TFileStamp {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = -1;
  timespec modified{};
  bool operator==(const TFileStamp& o) const {
    return device == o.device && inode == o.inode && size == o.size && modified.tv_sec == o.modified.tv_sec &&
           modified.tv_nsec == o.modified.tv_nsec;
  }
};

TFileStamp StampOf(const Westring& path) {
  struct stat info {};
  TFileStamp stamp;
  if (stat(path.ToUtf8().c_str(), &info) != 0) return stamp;
  stamp.device = info.st_dev;
  stamp.inode = info.st_ino;
  stamp.size = info.st_size;
  stamp.modified = info.st_mtim;
  return stamp;
}

class CArchiveReaderListing final : public CArchiveListing {
 public:
  ~CArchiveReaderListing() override = default;
  const Westring& ArchivePath() const override { return m_reader.Name(); }
  bool HasDirectory(const Westring& inner) const override { return m_reader.HasDirectory(inner); }
  int List(const Westring& inner, const std::function<bool(entry*)>& add) override;
  int Format() const override { return m_reader.Format(); }
  void Totals(int64_t* uncompressed, int64_t* compressed) const override;
  bool HoldsTar() const override { return m_reader.HoldsTar(); }
  int RefreshIfChanged() override;
  Westring ExtractForView(const Westring& inner, const entry& member) override;
  void PutBackExtracted() override;

  bool Open(const Westring& path);

 private:
  ArchiveReader m_reader;
  TFileStamp m_stamp;
  CExtractedMember m_extracted;
};

bool CArchiveReaderListing::Open(const Westring& path) {
  m_stamp = StampOf(path);
  return m_reader.Open(path) != ArchiveNone;
}

void CArchiveReaderListing::Totals(int64_t* uncompressed, int64_t* compressed) const {
  *uncompressed = *compressed = 0;
  for (int i = 0; i < m_reader.Count(); ++i) {
    const ArchiveEntry& member = m_reader.At(i);
    if (member.size < 0) *uncompressed = -1;
    else if (*uncompressed >= 0) *uncompressed += member.size;
    if (member.packedSize < 0) *compressed = -1;
    else if (*compressed >= 0) *compressed += member.packedSize;
  }
}

int CArchiveReaderListing::RefreshIfChanged() {
  if (StampOf(m_reader.Name()) == m_stamp) return 0;
  const Westring path = m_reader.Name();
  return Open(path) ? 0 : EINVAL;
}

Westring CArchiveReaderListing::ExtractForView(const Westring& inner, const entry& member) {
  const TArchiverRecord* record = ExtractingArchiver(*this);
  if (record == nullptr) return Westring();
  const TMemberName name =
      MemberNameOf(inner, member.Name(), member.IsDirectory(), (member.flags & EntryFlag::DotSlash) != 0, *record);
  return m_extracted.Extract(ArchivePath(), *record, name, UpdatingArchiver(*this));
}

void CArchiveReaderListing::PutBackExtracted() { m_extracted.Finish(ArchivePath()); }

// A member as the panel shows it: the archive's fields, no link.
entry* PanelEntryOf(const TListedMember& member) {
  entry* e = entry::Make(member.name, member.nameLength);
  if (e == nullptr) return nullptr;
  e->size = member.directory || member.size < 0 ? 0 : member.size;
  e->flags = member.directory ? EntryFlag::Directory : 0;
  if (IsHiddenName(e->Name())) e->flags |= EntryFlag::Hidden;
  if (member.dotSlash) e->flags |= EntryFlag::DotSlash;
  e->mode = 0;
  e->owner = static_cast<uint16_t>(member.owner);
  e->group = static_cast<uint16_t>(member.group);
  e->timeSec = static_cast<uint32_t>(member.time);
  e->timeNs = 0;
  e->extra = ~uint64_t{0};
  return e;
}

int CArchiveReaderListing::List(const Westring& inner, const std::function<bool(entry*)>& add) {
  int err = 0;
  m_reader.List(inner, [&](const TListedMember& member) {
    entry* e = PanelEntryOf(member);
    if (e == nullptr) {
      err = ENOMEM;
      return false;
    }
    return add(e);
  });
  return err;
}

}  // namespace

std::unique_ptr<CArchiveListing> OpenArchiveListing(const Westring& path) {
  auto listing = std::make_unique<CArchiveReaderListing>();
  if (!listing->Open(path)) return nullptr;
  return listing;
}
