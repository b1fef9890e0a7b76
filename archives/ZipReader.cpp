// ZIP: the member list from the central directory, found through the end
// record at the back of the file (and its ZIP64 forms). Local headers and
// packed data are never read.
#include <algorithm>
#include <cstring>
#include <vector>

#include "archives/internal/FormatReader.h"

namespace {

constexpr uint8_t kLocalHeader[4] = {'P', 'K', 3, 4};
constexpr uint8_t kEndRecord[4] = {'P', 'K', 5, 6};
constexpr uint8_t kCentralHeader[4] = {'P', 'K', 1, 2};
constexpr uint8_t kZip64EndRecord[4] = {'P', 'K', 6, 6};
constexpr uint8_t kZip64Locator[4] = {'P', 'K', 6, 7};

constexpr int64_t kSelfExtractorScanEnd = 0x1FFFF;
constexpr int64_t kEndRecordPositions = 65535;
constexpr size_t kEndRecordSize = 22;
constexpr size_t kZip64LocatorSize = 20;
constexpr size_t kZip64EndRecordSize = 56;
constexpr size_t kCentralHeaderSize = 46;
constexpr uint16_t kMaxNameLength = 8191;
constexpr uint32_t kOffsetInZip64 = 0xFFFFFFFF;
constexpr uint16_t kUtf8NameFlag = 1 << 11;

// Extra-field ids.
constexpr uint16_t kZip64Extra = 0x0001;
constexpr uint16_t kUnixExtra = 0x000D;
constexpr uint16_t kUnixOwnerExtra = 0x7875;

bool HasSignature(const uint8_t* bytes, const uint8_t (&signature)[4]) {
  return std::memcmp(bytes, signature, 4) == 0;
}

// Where the archive proper starts: 0, the length of a self-extractor's
// executable part, or -1 when the file is no ZIP.
int64_t ZipStart(TArchiveBuilder& archive) {
  uint8_t head[8] = {};
  const size_t got = archive.ReadAt(0, head, sizeof head);
  if (got >= 4 && (HasSignature(head, kLocalHeader) || HasSignature(head, kEndRecord))) return 0;
  // A split archive's first part carries a 4-byte marker before the first header.
  if (got >= 8 && HasSignature(head + 4, kLocalHeader)) return 0;
  if (got < 2 || head[0] != 'M' || head[1] != 'Z') return -1;

  std::vector<uint8_t> window(static_cast<size_t>(kSelfExtractorScanEnd + 4));
  const size_t scanned = archive.ReadAt(0, window.data(), window.size());
  for (size_t at = 8; at + 4 <= scanned; ++at)
    if (HasSignature(window.data() + at, kLocalHeader)) return static_cast<int64_t>(at);
  return -1;
}

// The position of the end-of-central-directory record, scanning back from
// the last place its signature fits; -1 when none is within reach (a comment
// longer than the scan hides it).
int64_t FindEndRecord(TArchiveBuilder& archive) {
  const int64_t size = archive.FileSize();
  if (size < 4) return -1;
  const int64_t lastStart = size - 4;
  const int64_t firstStart = std::max<int64_t>(0, lastStart - (kEndRecordPositions - 1));
  std::vector<uint8_t> tail(static_cast<size_t>(size - firstStart));
  const size_t got = archive.ReadAt(firstStart, tail.data(), tail.size());
  for (int64_t at = static_cast<int64_t>(got) - 4; at >= 0; --at)
    if (HasSignature(tail.data() + at, kEndRecord)) return firstStart + at;
  return -1;
}

// A ZIP64 end record's central directory offset, or -1 when the locator or
// the record is missing. The locator's offset is tried as stored and then
// past a self-extractor prefix, as the central directory itself is.
int64_t Zip64DirectoryOffset(TArchiveBuilder& archive, int64_t endRecord, int64_t prefix) {
  uint8_t locator[kZip64LocatorSize];
  if (endRecord < static_cast<int64_t>(kZip64LocatorSize) ||
      archive.ReadAt(endRecord - static_cast<int64_t>(kZip64LocatorSize), locator,
                     sizeof locator) != sizeof locator ||
      !HasSignature(locator, kZip64Locator))
    return -1;
  const uint64_t stored = Le64(locator + 8);
  for (uint64_t at : {stored, stored + static_cast<uint64_t>(prefix)}) {
    uint8_t record[kZip64EndRecordSize];
    if (at > static_cast<uint64_t>(archive.FileSize())) continue;
    if (archive.ReadAt(static_cast<int64_t>(at), record, sizeof record) == sizeof record &&
        HasSignature(record, kZip64EndRecord))
      return static_cast<int64_t>(std::min<uint64_t>(Le64(record + 48), INT64_MAX));
  }
  return -1;
}

int64_t SizeField(uint64_t value) {
  return value > static_cast<uint64_t>(INT64_MAX) ? ArchiveEntry::UnknownSize
                                                  : static_cast<int64_t>(value);
}

// An unsigned number of 0 to 4 bytes.
uint32_t LeBytes(const uint8_t* p, size_t count) {
  uint32_t value = 0;
  for (size_t i = count; i > 0; --i) value = value << 8 | p[i - 1];
  return value;
}

// The 0x7875 field: version 1, then the owner's byte length and bytes, then
// the group's.
void ReadUnixOwnerExtra(const uint8_t* data, size_t size, TFoundMember& member) {
  if (size < 2 || data[0] != 1) return;
  const size_t ownerLength = data[1];
  if (ownerLength > 4 || 2 + ownerLength + 1 > size) return;
  const size_t groupLength = data[2 + ownerLength];
  if (groupLength > 4 || 3 + ownerLength + groupLength > size) return;
  member.owner = LeBytes(data + 2, ownerLength);
  member.group = LeBytes(data + 3 + ownerLength, groupLength);
}

void ReadExtraFields(const uint8_t* extra, size_t length, TFoundMember& member) {
  size_t at = 0;
  while (at + 4 <= length) {
    const uint16_t id = Le16(extra + at);
    const size_t size = std::min<size_t>(Le16(extra + at + 2), length - at - 4);
    const uint8_t* data = extra + at + 4;
    if (id == kZip64Extra && size >= 16 && size <= 28) {
      member.size = SizeField(Le64(data));
      member.packedSize = SizeField(Le64(data + 8));
    } else if (id == kUnixExtra && size >= 12 && size <= 256) {
      member.owner = Le16(data + 8);
      member.group = Le16(data + 10);
    } else if (id == kUnixOwnerExtra && size <= 256) {
      ReadUnixOwnerExtra(data, size, member);
    }
    at += 4 + size;
  }
}

class CZipDirectoryWalk {
 public:
  CZipDirectoryWalk(TArchiveBuilder& archive, int64_t endRecord)
      : m_archive(archive), m_endRecord(endRecord) {}

  /// Whether the bytes at offset begin a central directory: a first header,
  /// or the end (of an empty archive) right there.
  bool StartsDirectory(int64_t offset) {
    uint8_t header[4];
    if (m_archive.ReadAt(offset, header, sizeof header) != sizeof header) return false;
    return HasSignature(header, kCentralHeader) || HasSignature(header, kZip64EndRecord) ||
           offset == m_endRecord;
  }

  /// Adds a member per central header from offset on, up to the end record.
  FormatResult Walk(int64_t offset) {
    while (offset < m_endRecord) {
      if (m_archive.Interrupted()) return FormatResult::Read;
      uint8_t header[kCentralHeaderSize];
      const size_t got = m_archive.ReadAt(offset, header, sizeof header);
      if (got < 4 || !HasSignature(header, kCentralHeader)) {
        if (got >= 4 && HasSignature(header, kZip64EndRecord)) return FormatResult::Read;
        return Fail("ZIP corrupt, bad central directory");
      }
      if (got < sizeof header) return Fail("ZIP corrupt, cannot read file list");
      int64_t next = 0;
      bool taken = true;
      if (!ReadMember(offset, header, &next, &taken))
        return Fail("ZIP corrupt, cannot read file list");
      if (!taken) return FormatResult::Read;
      offset = next;
    }
    return FormatResult::Read;
  }

 private:
  // One central header and its name and extra fields; *next is where the
  // following header starts. False when the header's own bytes are short.
  bool ReadMember(int64_t offset, const uint8_t* header, int64_t* next, bool* taken) {
    const uint16_t flags = Le16(header + 8);
    const uint16_t nameLength = Le16(header + 28);
    const uint16_t extraLength = Le16(header + 30);
    const uint16_t commentLength = Le16(header + 32);
    if (nameLength > kMaxNameLength) return false;

    const size_t variable = size_t{nameLength} + extraLength;
    m_bytes.resize(std::max(m_bytes.size(), variable));
    const int64_t variableStart = offset + static_cast<int64_t>(kCentralHeaderSize);
    if (m_archive.ReadAt(variableStart, m_bytes.data(), variable) != variable) return false;

    const char* name = reinterpret_cast<const char*>(m_bytes.data());
    TFoundMember member;
    const Westring stored = (flags & kUtf8NameFlag) != 0 ? ArchiveNameUtf8(name, nameLength)
                                                         : ArchiveName8(name, nameLength);
    member.directory = stored.Length() > 0 && stored[stored.Length() - 1] == L'/';
    member.path = stored;
    member.packedSize = Le32(header + 20);
    member.size = Le32(header + 24);
    member.time = DosTimeToSeconds(Le16(header + 14), Le16(header + 12));
    ReadExtraFields(m_bytes.data() + nameLength, extraLength, member);
    *taken = m_archive.Add(member);
    *next = variableStart + static_cast<int64_t>(variable) + commentLength;
    return true;
  }

  FormatResult Fail(const char* message) {
    m_archive.Report(message);
    return FormatResult::Failed;
  }

  TArchiveBuilder& m_archive;
  int64_t m_endRecord = 0;
  std::vector<uint8_t> m_bytes;  // a header's name and extra fields
};

}  // namespace

FormatResult ReadZip(TArchiveBuilder& archive) {
  const int64_t prefix = ZipStart(archive);
  if (prefix < 0) return FormatResult::Declined;

  const int64_t endRecord = FindEndRecord(archive);
  if (endRecord < 0) {
    archive.Report("Central directory not found in");
    return FormatResult::Failed;
  }
  uint8_t record[kEndRecordSize];
  if (archive.ReadAt(endRecord, record, sizeof record) != sizeof record) {
    archive.Report("ZIP corrupt, cannot read file list");
    return FormatResult::Failed;
  }
  int64_t directory = Le32(record + 16);
  if (directory == kOffsetInZip64) {
    const int64_t offset64 = Zip64DirectoryOffset(archive, endRecord, prefix);
    if (offset64 >= 0) directory = offset64;
  }
  if (directory >= archive.FileSize()) {
    archive.Report("ZIP corrupt, nonsense header read");
    return FormatResult::Failed;
  }

  // A self-extractor made by appending a ZIP to an executable keeps the
  // offsets of the ZIP alone: they count from the end of the executable.
  CZipDirectoryWalk walk(archive, endRecord);
  if (!walk.StartsDirectory(directory) && prefix > 0) {
    directory += prefix;
    if (!walk.StartsDirectory(directory)) return FormatResult::Declined;
  }
  return walk.Walk(directory);
}
