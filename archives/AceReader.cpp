// ACE archives: a main header carrying "**ACE**", then headers each with
// its CRC and size; file headers are followed by their packed data.
#include <algorithm>
#include <cstring>
#include <vector>

#include "archives/internal/FormatReader.h"
#include "archives/internal/SignatureScan.h"

namespace {

constexpr char kSignature[] = "**ACE**";
constexpr size_t kSignatureLength = 7;
constexpr int64_t kSelfExtractorScanEnd = 0x10000;
// HEAD_CRC and HEAD_SIZE come before the HEAD_SIZE bytes of a header.
constexpr size_t kCrcAndSizeLength = 4;
constexpr uint16_t kMaxHeadSize = 8188;

namespace HeaderField {
constexpr size_t HeadSize = 2, Type = 4, Flags = 5, Signature = 7;
constexpr size_t AddSize = 7;  // PSIZE in a file header
constexpr size_t Size = 11, Time = 15, Date = 17, Attributes = 19, NameSize = 33, Name = 35;
}  // namespace HeaderField

namespace HeaderType {
constexpr uint8_t Main = 0;
constexpr uint8_t File = 1;
}  // namespace HeaderType

// Set in every file header and in others (a recovery record) that carry data.
constexpr uint16_t kAddSizeFlag = 0x0001;

bool IsMainHeader(TArchiveBuilder& archive, int64_t offset) {
  uint8_t head[HeaderField::Signature + kSignatureLength];
  return archive.ReadAt(offset, head, sizeof head) == sizeof head &&
         head[HeaderField::Type] == HeaderType::Main &&
         std::memcmp(head + HeaderField::Signature, kSignature, kSignatureLength) == 0;
}

int64_t FindMainHeader(TArchiveBuilder& archive) {
  if (IsMainHeader(archive, 0)) return 0;
  if (!StartsWithExecutable(archive)) return -1;
  const int64_t signature = ScanForSignature(
      archive, HeaderField::Signature, kSelfExtractorScanEnd, kSignature, kSignatureLength,
      [&](int64_t at) {
        return IsMainHeader(archive, at - static_cast<int64_t>(HeaderField::Signature));
      });
  return signature < 0 ? -1 : signature - static_cast<int64_t>(HeaderField::Signature);
}

TFoundMember FileMember(const uint8_t* header, size_t length) {
  TFoundMember member;
  member.packedSize = Le32(header + HeaderField::AddSize);
  member.size = Le32(header + HeaderField::Size);
  member.time =
      DosTimeToSeconds(Le16(header + HeaderField::Date), Le16(header + HeaderField::Time));
  member.attributes = Le32(header + HeaderField::Attributes);
  member.directory = (member.attributes & ArchiveAttr::Directory) != 0;
  const size_t nameSize =
      std::min<size_t>(Le16(header + HeaderField::NameSize), length - HeaderField::Name);
  member.path = ArchiveName8(reinterpret_cast<const char*>(header + HeaderField::Name), nameSize);
  return member;
}

}  // namespace

FormatResult ReadAce(TArchiveBuilder& archive) {
  const int64_t main = FindMainHeader(archive);
  if (main < 0) return FormatResult::Declined;
  std::vector<uint8_t> header(kCrcAndSizeLength + kMaxHeadSize);
  // Every header moves on by 4 bytes at least, so the walk ends at the file's end.
  for (int64_t offset = main; !archive.Interrupted();) {
    if (archive.ReadAt(offset, header.data(), kCrcAndSizeLength) != kCrcAndSizeLength) break;
    const size_t headSize = Le16(header.data() + HeaderField::HeadSize);
    const size_t length = kCrcAndSizeLength + headSize;
    if (headSize > kMaxHeadSize || archive.ReadAt(offset, header.data(), length) != length) break;

    int64_t dataSize = 0;
    if (length > HeaderField::Type && header[HeaderField::Type] == HeaderType::File) {
      if (length < HeaderField::Name) break;
      const TFoundMember member = FileMember(header.data(), length);
      if (!archive.Add(member)) break;
      dataSize = member.packedSize;
    } else if (offset != main /* its flags mean other things */ &&
               length >= HeaderField::AddSize + 4 &&
               (Le16(header.data() + HeaderField::Flags) & kAddSizeFlag)) {
      dataSize = Le32(header.data() + HeaderField::AddSize);
    }
    offset += static_cast<int64_t>(length) + dataSize;
  }
  return FormatResult::Read;
}
