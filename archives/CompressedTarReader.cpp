// A tar compressed with gzip or bzip2 lists the tar's members, which is what
// the user opening a .tar.gz wants to see: the stream is unpacked on the way
// through (libarchive), headers are kept, data is passed over. A compressed
// file that holds no tar is left to the one-member readers.
#include <archive.h>
#include <archive_entry.h>

#include <cstring>
#include <vector>

#include "archives/internal/FormatReader.h"

namespace {

constexpr size_t kChunk = 65536;

struct TStreamInput {
  TArchiveBuilder* archive;
  int64_t offset = 0;
  std::vector<uint8_t> buffer = std::vector<uint8_t>(kChunk);
};

la_ssize_t ReadChunk(struct archive*, void* client, const void** data) {
  auto* input = static_cast<TStreamInput*>(client);
  if (input->archive->Interrupted()) return 0;
  const size_t got = input->archive->ReadAt(input->offset, input->buffer.data(), kChunk);
  input->offset += static_cast<int64_t>(got);
  *data = input->buffer.data();
  return static_cast<la_ssize_t>(got);
}

bool HasMagic(TArchiveBuilder& archive, const char* magic, size_t length) {
  char head[4] = {};
  return archive.ReadAt(0, head, length) == length && std::memcmp(head, magic, length) == 0;
}

}  // namespace

FormatResult ReadCompressedTar(TArchiveBuilder& archive, int format) {
  const bool gzip = format == ArchiveGzip;
  if (!(gzip ? HasMagic(archive, "\x1F\x8B", 2) : HasMagic(archive, "BZh", 3))) return FormatResult::Declined;
  struct archive* reader = archive_read_new();
  if (reader == nullptr) return FormatResult::Declined;
  (void)(gzip ? archive_read_support_filter_gzip(reader) : archive_read_support_filter_bzip2(reader));
  archive_read_support_format_tar(reader);
  TStreamInput input{&archive};
  FormatResult result = FormatResult::Declined;
  if (archive_read_open(reader, &input, nullptr, ReadChunk, nullptr) == ARCHIVE_OK) {
    struct archive_entry* header = nullptr;
    while (!archive.Interrupted() && archive_read_next_header(reader, &header) == ARCHIVE_OK) {
      result = FormatResult::Read;
      TFoundMember member;
      const char* path = archive_entry_pathname(header);
      member.path = path != nullptr ? ArchiveName8(path, std::strlen(path)) : Westring();
      member.directory = archive_entry_filetype(header) == AE_IFDIR;
      member.size = archive_entry_size_is_set(header) ? archive_entry_size(header) : ArchiveEntry::UnknownSize;
      member.packedSize = member.size;
      member.time = archive_entry_mtime(header);
      member.owner = static_cast<uint32_t>(archive_entry_uid(header));
      member.group = static_cast<uint32_t>(archive_entry_gid(header));
      if (!archive.Add(member)) break;
    }
  }
  archive_read_free(reader);
  return result;
}
