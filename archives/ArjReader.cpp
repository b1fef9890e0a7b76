// ARJ archives: a main header, then one local header per member, each with
// its CRC and a chain of extended headers before the packed data.
#include <algorithm>
#include <cstring>
#include <vector>

#include "archives/internal/FormatReader.h"
#include "archives/internal/SignatureScan.h"

namespace {

constexpr char kHeaderId[] = "\x60\xEA";
constexpr size_t kHeaderIdLength = 2;
constexpr int64_t kSelfExtractorScanEnd = 0x1FFFF;
// A main header found in an executable is believed only within these sizes.
constexpr uint16_t kMaxPlausibleBasicSize = 2600;
constexpr uint8_t kMaxPlausibleFirstSize = 40;
constexpr uint16_t kMaxBasicSize = 8187;
// The id and the basic size come before the basic header, its CRC after it.
constexpr size_t kBasicSizeFieldEnd = 4;
constexpr size_t kCrcLength = 4;
constexpr size_t kExtendedSizeLength = 2;

namespace HeaderField {
constexpr size_t BasicSize = 2, FirstSize = 4, HostOs = 7, FileType = 10, Time = 12, Date = 14,
                 PackedSize = 16, Size = 20;
}

// A local header reaches past the size field.
constexpr size_t kMinLocalLength = HeaderField::Size + 4;

// The ports to Unix store the time stamp as Unix time in the same 32 bits.
constexpr uint8_t kUnixHost = 2;

namespace FileType {
constexpr uint8_t Main = 2;
constexpr uint8_t Directory = 3;
}  // namespace FileType

bool IsPlausibleMainHeader(TArchiveBuilder& archive, int64_t offset) {
  uint8_t head[HeaderField::FileType + 1];
  return archive.ReadAt(offset, head, sizeof head) == sizeof head &&
         Le16(head + HeaderField::BasicSize) <= kMaxPlausibleBasicSize &&
         head[HeaderField::FirstSize] <= kMaxPlausibleFirstSize &&
         head[HeaderField::FileType] == FileType::Main;
}

int64_t FindMainHeader(TArchiveBuilder& archive) {
  uint8_t id[kHeaderIdLength];
  if (archive.ReadAt(0, id, kHeaderIdLength) == kHeaderIdLength &&
      std::memcmp(id, kHeaderId, kHeaderIdLength) == 0)
    return 0;
  if (!StartsWithExecutable(archive)) return -1;
  return ScanForSignature(archive, kBasicSizeFieldEnd, kSelfExtractorScanEnd, kHeaderId,
                          kHeaderIdLength,
                          [&](int64_t at) { return IsPlausibleMainHeader(archive, at); });
}

// The offset just past the extended headers that start at offset, or -1
// when the file ends among them.
int64_t SkipExtendedHeaders(TArchiveBuilder& archive, int64_t offset) {
  for (;;) {
    uint8_t size[kExtendedSizeLength];
    if (archive.ReadAt(offset, size, kExtendedSizeLength) != kExtendedSizeLength) return -1;
    offset += kExtendedSizeLength;
    if (Le16(size) == 0) return offset;
    offset += Le16(size) + static_cast<int64_t>(kCrcLength);
  }
}

}  // namespace

FormatResult ReadArj(TArchiveBuilder& archive) {
  const int64_t main = FindMainHeader(archive);
  if (main < 0) return FormatResult::Declined;
  uint8_t head[kBasicSizeFieldEnd];
  if (archive.ReadAt(main, head, sizeof head) != sizeof head) return FormatResult::Declined;
  int64_t offset =
      SkipExtendedHeaders(archive, main + kBasicSizeFieldEnd + Le16(head + HeaderField::BasicSize) +
                                       static_cast<int64_t>(kCrcLength));

  std::vector<uint8_t> block(kBasicSizeFieldEnd + kMaxBasicSize + 1);
  // Every header moves on by 4 bytes at least, so the walk ends at the file's end.
  while (offset >= 0 && !archive.Interrupted()) {
    if (archive.ReadAt(offset, block.data(), kBasicSizeFieldEnd) != kBasicSizeFieldEnd ||
        std::memcmp(block.data(), kHeaderId, kHeaderIdLength) != 0)
      break;
    const size_t basicSize = Le16(block.data() + HeaderField::BasicSize);
    const size_t length = kBasicSizeFieldEnd + basicSize;
    if (basicSize == 0 || basicSize > kMaxBasicSize || length < kMinLocalLength ||
        archive.ReadAt(offset, block.data(), length) != length)
      break;

    TFoundMember member;
    const uint8_t* header = block.data();
    const uint32_t packedSize = Le32(header + HeaderField::PackedSize);
    member.packedSize = packedSize;
    member.size = Le32(header + HeaderField::Size);
    member.time =
        header[HeaderField::HostOs] == kUnixHost
            ? Le32(header + HeaderField::Time)
            : DosTimeToSeconds(Le16(header + HeaderField::Date), Le16(header + HeaderField::Time));
    member.directory = header[HeaderField::FileType] == FileType::Directory;
    const size_t nameAt = std::min(HeaderField::FirstSize + header[HeaderField::FirstSize], length);
    const void* end = std::memchr(header + nameAt, 0, length - nameAt);
    const size_t nameLength =
        end ? static_cast<size_t>(static_cast<const uint8_t*>(end) - header) - nameAt
            : length - nameAt;
    member.path = ArchiveName8(reinterpret_cast<const char*>(header + nameAt), nameLength);
    if (!archive.Add(member)) break;
    offset = SkipExtendedHeaders(archive, offset + static_cast<int64_t>(length + kCrcLength));
    if (offset >= 0) offset += packedSize;
  }
  // An archive without members is no archive: another format may know the file.
  return archive.Count() > 0 ? FormatResult::Read : FormatResult::Declined;
}
