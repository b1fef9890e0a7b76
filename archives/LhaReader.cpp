// LHA (LZH) archives with level 0 and 1 headers: a chain of headers, each
// followed by its packed data. OS/2 archivers store extended attributes as
// members of their own, which are not shown.
#include <algorithm>

#include "archives/internal/FormatReader.h"
#include "archives/internal/SignatureScan.h"

namespace {

constexpr int64_t kSelfExtractorScanEnd = 65535;
// The method, "-lh5-" and the like, follows the header's size and checksum bytes.
constexpr char kMethodPattern[] = "-lh?-";
constexpr size_t kMethodLength = 5;
constexpr size_t kMethodOffset = 2;
// The size byte counts the header after itself and the checksum byte.
constexpr size_t kSizeAndChecksumLength = 2;

namespace HeaderField {
constexpr size_t PackedSize = 7, Size = 11, Time = 15, Date = 17, Level = 20, NameLength = 21,
                 Name = 22;
}

// Level 2 and 3 headers start with a 16-bit size and keep their names in
// extended headers: read as level 0 they would give nonsense.
constexpr uint8_t kLastLevelRead = 1;

bool HasMethod(const uint8_t* head) {
  return head[kMethodOffset] == '-' && head[3] == 'l' && head[4] == 'h' && head[6] == '-';
}

int64_t FindFirstHeader(TArchiveBuilder& archive) {
  uint8_t head[kMethodOffset + kMethodLength];
  if (archive.ReadAt(0, head, sizeof head) == sizeof head && HasMethod(head)) return 0;
  if (!StartsWithExecutable(archive)) return -1;
  const int64_t method =
      ScanForSignature(archive, sizeof head, kSelfExtractorScanEnd, kMethodPattern, kMethodLength);
  return method < 0 ? -1 : method - static_cast<int64_t>(kMethodOffset);
}

// The carriers of OS/2 extended attributes: the "EAS" tree and the command
// file that applies them.
bool IsExtendedAttributeCarrier(const Westring& path) {
  if (path == L"EAS" || path.Left(4) == L"EAS/") return true;
  const int slash = path.FindLast(L'/');
  return path.Mid(slash + 1) == L"Apply-Ea.Cmd";
}

}  // namespace

FormatResult ReadLha(TArchiveBuilder& archive) {
  const int64_t first = FindFirstHeader(archive);
  if (first < 0) return FormatResult::Declined;
  uint8_t head[255 + kSizeAndChecksumLength];
  // Every header moves on by its own length at least, so the walk ends at the file's end.
  for (int64_t offset = first; !archive.Interrupted();) {
    if (archive.ReadAt(offset, head, 1) != 1 || head[0] == 0) break;
    const size_t length = head[0] + kSizeAndChecksumLength;
    if (length <= HeaderField::NameLength || archive.ReadAt(offset, head, length) != length) break;

    if (head[HeaderField::Level] > kLastLevelRead) break;
    TFoundMember member;
    const uint32_t packedSize = Le32(head + HeaderField::PackedSize);
    member.packedSize = packedSize;
    member.size = Le32(head + HeaderField::Size);
    member.time = DosTimeToSeconds(Le16(head + HeaderField::Date), Le16(head + HeaderField::Time));
    const size_t nameLength =
        std::min<size_t>(head[HeaderField::NameLength], length - HeaderField::Name);
    member.path = ArchiveName8(reinterpret_cast<const char*>(head + HeaderField::Name), nameLength);
    if (!IsExtendedAttributeCarrier(member.path) && !archive.Add(member)) break;
    offset += static_cast<int64_t>(length) + packedSize;
  }
  return FormatResult::Read;
}
