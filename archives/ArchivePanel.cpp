#include "archives/ArchivePanel.h"

#include <cerrno>

#include "archives/ArchiveReader.h"
#include "panels/DirSearch.h"
#include "panels/Entry.h"

namespace {

class CArchiveReaderListing final : public CArchiveListing {
 public:
  const Westring& ArchivePath() const override { return m_reader.Name(); }
  bool HasDirectory(const Westring& inner) const override { return m_reader.HasDirectory(inner); }
  int List(const Westring& inner, const std::function<bool(entry*)>& add) override;
  ArchiveReader& Reader() { return m_reader; }

 private:
  ArchiveReader m_reader;
};

// A member as the panel shows it: the archive's fields, no link.
entry* PanelEntryOf(const TListedMember& member) {
  entry* e = entry::Make(member.name, member.nameLength);
  if (e == nullptr) return nullptr;
  e->size = member.directory || member.size < 0 ? 0 : member.size;
  e->flags = member.directory ? EntryFlag::Directory : 0;
  if (IsHiddenName(e->Name())) e->flags |= EntryFlag::Hidden;
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
  if (listing->Reader().Open(path) == ArchiveNone) return nullptr;
  return listing;
}
