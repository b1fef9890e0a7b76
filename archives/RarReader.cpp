// RAR archives of the 1.5 to 4.x block layout: the marker block (after an
// executable's stub for a self-extractor), then blocks each skipped by its
// header size and the data size it announces; file blocks give the members.
#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

#include "archives/internal/FormatReader.h"
#include "archives/internal/SignatureScan.h"

namespace {

constexpr char kMarker[] = "Rar!\x1A\x07";  // with its terminating zero, the 7 marker bytes
constexpr size_t kMarkerLength = 7;
constexpr int64_t kSelfExtractorScanEnd = 0x20000;
constexpr size_t kBlockHeadLength = 7;
constexpr size_t kMaxFileHeadLength = 8192;

namespace BlockType {
constexpr uint8_t Archive = 0x73;
constexpr uint8_t File = 0x74;
}  // namespace BlockType

namespace BlockFlag {
constexpr uint16_t LongBlock = 0x8000;  // an ADD_SIZE of data follows the header
constexpr uint16_t LargeFile = 0x0100;  // HIGH_PACK_SIZE and HIGH_UNP_SIZE present
constexpr uint16_t UnicodeName = 0x0200;
constexpr uint16_t DirectoryMask = 0x00E0;  // all three bits set: a directory
}  // namespace BlockFlag

// File block fields, from the block's start.
namespace FileField {
constexpr size_t PackSize = 7, UnpSize = 11, HostOs = 15, Time = 20, Date = 22, NameSize = 26,
                 Attributes = 28, HighPackSize = 32, HighUnpSize = 36;
constexpr size_t Name = 32, LargeName = 40;
}  // namespace FileField

// Hosts below this (MS-DOS, OS/2, Windows) store DOS attributes.
constexpr uint8_t kFirstHostWithoutDosAttributes = 3;
// Read-only, hidden and system bits are not kept: only directory and archive.
constexpr uint32_t kDosAttributesKept = 0x36;

enum class BlockOutcome { Member, Truncated, Damaged };

int64_t FindMarker(TArchiveBuilder& archive) {
  uint8_t head[kMarkerLength];
  if (archive.ReadAt(0, head, kMarkerLength) == kMarkerLength &&
      std::memcmp(head, kMarker, kMarkerLength) == 0)
    return 0;
  if (!StartsWithExecutable(archive)) return -1;
  return ScanForSignature(archive, kMarkerLength, kSelfExtractorScanEnd, kMarker, kMarkerLength);
}

// UTF-16 units into wide characters; a surrogate pair becomes one character,
// a lone surrogate stays as it is.
Westring WideFromUtf16(const std::vector<uint16_t>& units) {
  Westring name;
  for (size_t i = 0; i < units.size(); ++i) {
    uint32_t c = units[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
        units[i + 1] < 0xE000)
      c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00);
    name += static_cast<wchar_t>(c);
  }
  return name;
}

// The encoded half of RAR's Unicode name field: a high byte shared by the
// name, then two flag bits per character choosing one byte (high byte 0),
// one byte with the shared high byte, a full 16-bit unit, or a run copied
// from the 8-bit name (with a correction added to each byte when the run's
// top bit is set). Stops at the end of either input.
Westring DecodeUnicodeName(const uint8_t* name8, size_t length8, const uint8_t* encoded,
                           size_t size) {
  std::vector<uint16_t> units;
  if (size == 0) return Westring();
  const uint16_t high = static_cast<uint16_t>(encoded[0] << 8);
  size_t at = 1;
  unsigned flags = 0, flagBits = 0;
  auto name8At = [&](size_t i) { return i < length8 ? name8[i] : 0; };
  while (at < size && units.size() < kMaxFileHeadLength) {
    if (flagBits == 0) {
      flags = encoded[at++];
      flagBits = 8;
      if (at >= size) break;
    }
    switch (flags >> 6 & 3) {
      case 0:
        units.push_back(encoded[at++]);
        break;
      case 1:
        units.push_back(static_cast<uint16_t>(high | encoded[at++]));
        break;
      case 2:
        if (at + 1 >= size) return WideFromUtf16(units);
        units.push_back(Le16(encoded + at));
        at += 2;
        break;
      case 3: {
        const uint8_t run = encoded[at++];
        uint8_t correction = 0;
        if (run & 0x80) {
          if (at >= size) return WideFromUtf16(units);
          correction = encoded[at++];
        }
        for (size_t n = (run & 0x7F) + 2u; n > 0 && units.size() < kMaxFileHeadLength; --n) {
          const uint8_t byte = name8At(units.size());
          units.push_back(
              run & 0x80 ? static_cast<uint16_t>(high | static_cast<uint8_t>(byte + correction))
                         : byte);
        }
        break;
      }
    }
    flags = flags << 2 & 0xFF;
    flagBits -= 2;
  }
  return WideFromUtf16(units);
}

Westring WithSlashes(Westring name) {
  for (int i = 0; i < name.Length(); ++i)
    if (name[i] == L'\\') name[i] = L'/';
  return name;
}

// The 8-bit name, or with the Unicode flag the field after its zero byte
// (a field without one holds UTF-8).
Westring MemberName(const uint8_t* field, size_t size, bool unicode) {
  const char* bytes = reinterpret_cast<const char*>(field);
  if (!unicode) return ArchiveName8(bytes, size);
  const void* zero = std::memchr(field, 0, size);
  if (zero == nullptr) return ArchiveNameUtf8(bytes, size);
  const size_t length8 = static_cast<size_t>(static_cast<const uint8_t*>(zero) - field);
  return WithSlashes(DecodeUnicodeName(field, length8, field + length8 + 1, size - length8 - 1));
}

int64_t SizeOrUnknown(uint64_t size) {
  return size > static_cast<uint64_t>(std::numeric_limits<int64_t>::max())
             ? ArchiveEntry::UnknownSize
             : static_cast<int64_t>(size);
}

// Reads the file block at offset whose first 7 bytes are in block; its
// packed data size goes to *dataSize.
BlockOutcome ReadFileBlock(TArchiveBuilder& archive, int64_t offset, uint8_t* block,
                           TFoundMember* member, uint64_t* dataSize) {
  const uint16_t flags = Le16(block + 3);
  const size_t length = Le16(block + 5);
  const bool large = (flags & BlockFlag::LargeFile) != 0;
  const size_t nameAt = large ? FileField::LargeName : FileField::Name;
  if (length > kMaxFileHeadLength || length < nameAt) return BlockOutcome::Damaged;
  if (archive.ReadAt(offset, block, length) != length) return BlockOutcome::Truncated;

  const uint64_t packHigh = large ? Le32(block + FileField::HighPackSize) : 0;
  const uint64_t unpHigh = large ? Le32(block + FileField::HighUnpSize) : 0;
  *dataSize = packHigh << 32 | Le32(block + FileField::PackSize);
  member->packedSize = SizeOrUnknown(*dataSize);
  member->size = SizeOrUnknown(unpHigh << 32 | Le32(block + FileField::UnpSize));
  member->time = DosTimeToSeconds(Le16(block + FileField::Date), Le16(block + FileField::Time));
  const size_t nameSize = std::min<size_t>(Le16(block + FileField::NameSize), length - nameAt);
  member->path = MemberName(block + nameAt, nameSize, (flags & BlockFlag::UnicodeName) != 0);
  member->directory = (flags & BlockFlag::DirectoryMask) == BlockFlag::DirectoryMask;
  member->attributes = block[FileField::HostOs] < kFirstHostWithoutDosAttributes
                           ? Le32(block + FileField::Attributes) & kDosAttributesKept
                           : 0;
  if (member->directory) member->attributes |= ArchiveAttr::Directory;
  return BlockOutcome::Member;
}

FormatResult HeaderError(TArchiveBuilder& archive) {
  archive.Report("Error in RAR header");
  return FormatResult::Failed;
}

}  // namespace

FormatResult ReadRar(TArchiveBuilder& archive) {
  const int64_t marker = FindMarker(archive);
  if (marker < 0) return FormatResult::Declined;
  uint64_t offset = static_cast<uint64_t>(marker) + kMarkerLength;
  static_assert(kMaxFileHeadLength >= kBlockHeadLength + 4, "room for ADD_SIZE");
  std::vector<uint8_t> block(kMaxFileHeadLength);
  if (archive.ReadAt(static_cast<int64_t>(offset), block.data(), kBlockHeadLength) !=
          kBlockHeadLength ||
      block[2] != BlockType::Archive)
    return FormatResult::Declined;

  const uint64_t fileSize = static_cast<uint64_t>(archive.FileSize());
  // Every block moves on by 7 bytes at least, so the walk ends at the file's end.
  while (offset < fileSize) {
    if (archive.Interrupted()) return FormatResult::Failed;
    if (archive.ReadAt(static_cast<int64_t>(offset), block.data(), kBlockHeadLength) !=
        kBlockHeadLength)
      break;
    const uint16_t flags = Le16(block.data() + 3);
    const uint16_t length = Le16(block.data() + 5);
    if (length < kBlockHeadLength) return HeaderError(archive);
    uint64_t dataSize = 0;
    if (block[2] == BlockType::File) {
      TFoundMember member;
      const BlockOutcome outcome =
          ReadFileBlock(archive, static_cast<int64_t>(offset), block.data(), &member, &dataSize);
      if (outcome == BlockOutcome::Damaged) return HeaderError(archive);
      if (outcome == BlockOutcome::Truncated || !archive.Add(member)) break;
    } else if (flags & BlockFlag::LongBlock) {
      if (archive.ReadAt(static_cast<int64_t>(offset) + kBlockHeadLength, block.data(), 4) != 4)
        break;
      dataSize = Le32(block.data());
    }
    if (dataSize >= fileSize) break;  // no data this large fits: the archive is cut off
    offset += length + dataSize;
  }
  return FormatResult::Read;
}
