// TAR: 512-byte header blocks, each followed by its member's data rounded up
// to whole blocks. Old Unix, POSIX ustar and GNU archives share the layout;
// GNU adds long-name blocks, base-256 numbers and sparse members, POSIX.1-2001
// extended headers of "key=value" records.
#include <algorithm>
#include <cstring>

#include "archives/internal/FormatReader.h"

namespace {

constexpr int64_t kBlock = 512;

// Header fields: offset and length.
constexpr int kNameAt = 0, kNameLength = 100;
constexpr int kModeAt = 100, kModeLength = 8;
constexpr int kOwnerAt = 108, kGroupAt = 116, kIdLength = 8;
constexpr int kSizeAt = 124, kSizeLength = 12;
constexpr int kTimeAt = 136, kTimeLength = 12;
constexpr int kChecksumAt = 148, kChecksumLength = 8;
constexpr int kTypeAt = 156;
constexpr int kMagicAt = 257;
constexpr int kPrefixAt = 345, kPrefixLength = 155;
// GNU sparse members: whether extension blocks of the sparse map follow, and
// the size of the file with its holes.
constexpr int kSparseExtendedAt = 482;
constexpr int kSparseRealSizeAt = 483, kSparseRealSizeLength = 12;
// The flag that chains one sparse extension block to the next.
constexpr int kExtensionExtendedAt = 504;

constexpr uint32_t kModeDirectory = 0x4000;
// The longest GNU long name taken; the rest of a longer one is moved over.
constexpr int64_t kLongNameMax = 512;

// The most of an extended header read; longer ones are rare and cut there.
constexpr int64_t kPaxRecordsMax = 8192;

// Type flags that are no member of their own.
constexpr char kTypeLongName = 'L', kTypeLongLink = 'K';
constexpr char kTypeDirectory = '5', kTypeGnuSparse = 'S', kTypeVolumeLabel = 'V';
constexpr char kTypePaxMember = 'x', kTypePaxGlobal = 'g';

bool IsOctalDigit(uint8_t c) { return c >= '0' && c <= '7'; }

// An octal field: leading blanks, digits, then a NUL or blank (or the field's
// end). False when there is no digit at all.
bool ParseOctal(const uint8_t* field, int length, uint64_t* value) {
  int i = 0;
  while (i < length && field[i] == ' ') ++i;
  if (i == length || !IsOctalDigit(field[i])) return false;
  uint64_t n = 0;
  for (; i < length && IsOctalDigit(field[i]); ++i) {
    if (n >> 60 != 0) return false;  // more than 63 bits
    n = n << 3 | static_cast<uint64_t>(field[i] - '0');
  }
  *value = n;
  return true;
}

// A numeric field, octal or (GNU) base-256: the high bit of the first byte
// set, the rest a big-endian two's-complement number. -1 for a field that
// holds no number or one that does not fit in 63 bits.
int64_t ParseNumber(const uint8_t* field, int length) {
  if ((field[0] & 0x80) == 0) {
    uint64_t value = 0;
    return ParseOctal(field, length, &value) ? static_cast<int64_t>(value) : -1;
  }
  if ((field[0] & 0x40) != 0) return -1;  // negative
  uint64_t value = field[0] & 0x3F;
  for (int i = 1; i < length; ++i) {
    if (value >> 55 != 0) return -1;
    value = value << 8 | field[i];
  }
  return static_cast<int64_t>(value);
}

// The unsigned sum of the block with the checksum field read as blanks must
// equal the octal number stored in that field.
bool ChecksumValid(const uint8_t* block) {
  uint64_t stored = 0;
  if (!ParseOctal(block + kChecksumAt, kChecksumLength, &stored)) return false;
  // The whole block summed in one plain loop (which the compiler turns into
  // vector code), the checksum field then swapped for its blanks.
  uint32_t sum = 0;
  for (int i = 0; i < kBlock; ++i) sum += block[i];
  for (int i = kChecksumAt; i < kChecksumAt + kChecksumLength; ++i) sum -= block[i];
  return sum + ' ' * kChecksumLength == stored;
}

// A text field up to its first NUL.
size_t FieldLength(const uint8_t* field, size_t length) {
  const void* nul = std::memchr(field, 0, length);
  return nul != nullptr ? static_cast<size_t>(static_cast<const uint8_t*>(nul) - field) : length;
}

// Blocks taken by count bytes of member data.
int64_t DataBlocks(int64_t count) { return (count + kBlock - 1) / kBlock * kBlock; }

// A decimal pax value; -1 when it is empty, holds more, or needs more than 63 bits.
int64_t ParseDecimal(const char* text, size_t length) {
  if (length == 0 || length > 18) return -1;
  int64_t value = 0;
  for (size_t i = 0; i < length; ++i) {
    if (text[i] < '0' || text[i] > '9') return -1;
    value = value * 10 + (text[i] - '0');
  }
  return value;
}

// What an extended header says about the member after it.
struct TPaxRecords {
  Westring path;
  int64_t dataSize = -1;  // the data that follows the member's header
  int64_t realSize = -1;  // a sparse file's size with its holes
};

class CTarWalk {
 public:
  explicit CTarWalk(TArchiveBuilder& archive)
      : m_archive(archive), m_fileSize(archive.FileSize()) {}

  FormatResult Read() {
    uint8_t block[kBlock];
    if (!ReadBlock(0, block) || !ChecksumValid(block)) return FormatResult::Declined;
    // A bad checksum after the first block is damage: the members before it stay.
    for (int64_t offset = 0; ReadBlock(offset, block) && block[0] != 0 && ChecksumValid(block);) {
      if (m_archive.Interrupted()) break;
      offset = Member(offset, block);
      if (offset < 0) break;
    }
    if (m_archive.Count() != 0) return FormatResult::Read;
    m_archive.Report("No members found in");
    return FormatResult::Failed;
  }

 private:
  bool ReadBlock(int64_t offset, uint8_t* block) {
    return offset <= m_fileSize - kBlock && m_archive.ReadAt(offset, block, kBlock) == kBlock;
  }

  // Takes the header at offset; the offset of the next header, or -1 when
  // the walk ends here (data past the end, memory gone).
  int64_t Member(int64_t offset, const uint8_t* header) {
    const int64_t headerSize = ParseNumber(header + kSizeAt, kSizeLength);
    const int64_t dataAt = offset + kBlock;
    const char type = static_cast<char>(header[kTypeAt]);
    switch (type) {
      case kTypeLongName:
        return headerSize < 0 ? -1 : KeepLongName(dataAt, headerSize);
      case kTypePaxMember:
        return headerSize < 0 ? -1 : KeepPaxRecords(dataAt, headerSize);
      case kTypeLongLink:  // the target of a link, not the member's name
      case kTypeVolumeLabel:
      case kTypePaxGlobal:
        return headerSize < 0 ? -1 : Past(dataAt, headerSize);
      default:
        break;
    }
    // A pax size replaces the header's, which cannot hold every size.
    const int64_t stored = m_pax.dataSize >= 0 ? m_pax.dataSize : headerSize;
    if (stored < 0) return -1;
    TFoundMember member;
    member.path = HeaderName(header);
    const int64_t mode = ParseNumber(header + kModeAt, kModeLength);
    member.directory = type == kTypeDirectory || (mode > 0 && (mode & kModeDirectory) != 0);
    member.size = m_pax.realSize >= 0 ? m_pax.realSize : stored;
    m_longName = Westring();
    m_pax = TPaxRecords();
    member.time = std::max<int64_t>(0, ParseNumber(header + kTimeAt, kTimeLength));
    member.owner =
        static_cast<uint32_t>(std::max<int64_t>(0, ParseNumber(header + kOwnerAt, kIdLength)));
    member.group =
        static_cast<uint32_t>(std::max<int64_t>(0, ParseNumber(header + kGroupAt, kIdLength)));
    int64_t dataStart = dataAt;
    if (type == kTypeGnuSparse) {
      const int64_t realSize = ParseNumber(header + kSparseRealSizeAt, kSparseRealSizeLength);
      if (realSize >= 0) member.size = realSize;
      if (header[kSparseExtendedAt] != 0) dataStart = PastSparseExtensions(dataAt);
      if (dataStart < 0) return -1;
    }
    member.packedSize = stored <= m_fileSize ? DataBlocks(stored) + (dataStart - offset) : stored;
    if (!m_archive.Add(member)) return -1;
    return Past(dataStart, stored);
  }

  // The name in the header, with the ustar prefix, or the pax path or GNU
  // long name that came before it.
  Westring HeaderName(const uint8_t* header) const {
    if (!m_pax.path.IsEmpty()) return m_pax.path;
    if (!m_longName.IsEmpty()) return m_longName;
    char name[kPrefixLength + 1 + kNameLength];
    size_t length = 0;
    // GNU headers keep other fields where ustar has the prefix.
    if (std::memcmp(header + kMagicAt, "ustar", 6) == 0) {
      length = FieldLength(header + kPrefixAt, kPrefixLength);
      std::memcpy(name, header + kPrefixAt, length);
      if (length != 0) name[length++] = '/';
    }
    const size_t nameLength = FieldLength(header + kNameAt, kNameLength);
    std::memcpy(name + length, header + kNameAt, nameLength);
    return ArchiveName8(name, length + nameLength);
  }

  int64_t KeepLongName(int64_t dataAt, int64_t count) {
    char name[kLongNameMax];
    const size_t wanted = static_cast<size_t>(std::min(count, kLongNameMax));
    const size_t got = m_archive.ReadAt(dataAt, name, wanted);
    if (got < wanted) return -1;
    m_longName = ArchiveName8(name, FieldLength(reinterpret_cast<uint8_t*>(name), got));
    return Past(dataAt, count);
  }

  // POSIX.1-2001 extended header: "length key=value\n" records for the next
  // member. Names and sizes are taken; a damaged record ends the reading.
  int64_t KeepPaxRecords(int64_t dataAt, int64_t count) {
    char text[kPaxRecordsMax];
    const size_t wanted = static_cast<size_t>(std::min(count, kPaxRecordsMax));
    const size_t got = m_archive.ReadAt(dataAt, text, wanted);
    if (got < wanted) return -1;
    for (size_t at = 0; at < got;) {
      size_t length = 0, i = at;
      for (; i < got && text[i] >= '0' && text[i] <= '9' && length <= got; ++i)
        length = length * 10 + (text[i] - '0');
      if (i == got || text[i] != ' ' || length <= i - at + 1 || length > got - at ||
          text[at + length - 1] != '\n')
        break;
      const char* key = text + i + 1;
      const char* end = text + at + length - 1;
      const auto* equals =
          static_cast<const char*>(std::memchr(key, '=', static_cast<size_t>(end - key)));
      if (equals != nullptr) KeepPaxRecord(key, static_cast<size_t>(equals - key), equals + 1, end);
      at += length;
    }
    return Past(dataAt, count);
  }

  void KeepPaxRecord(const char* key, size_t keyLength, const char* value, const char* end) {
    auto is = [&](const char* name) {
      return std::strlen(name) == keyLength && std::memcmp(key, name, keyLength) == 0;
    };
    const size_t valueLength = static_cast<size_t>(end - value);
    if (is("path") || is("GNU.sparse.name"))
      m_pax.path = ArchiveNameUtf8(value, valueLength);
    else if (is("size"))
      m_pax.dataSize = ParseDecimal(value, valueLength);
    else if (is("GNU.sparse.realsize") || is("GNU.sparse.size"))
      m_pax.realSize = ParseDecimal(value, valueLength);
  }

  // The offset after the extension blocks of a sparse map, or -1 when the
  // file ends among them.
  int64_t PastSparseExtensions(int64_t offset) {
    uint8_t block[kBlock];
    for (;;) {
      if (!ReadBlock(offset, block)) return -1;
      offset += kBlock;
      if (block[kExtensionExtendedAt] == 0) return offset;
    }
  }

  // The header after count bytes of data at dataAt; -1 past the file's end.
  int64_t Past(int64_t dataAt, int64_t count) const {
    if (count > m_fileSize - dataAt) return -1;
    return dataAt + DataBlocks(count);
  }

  TArchiveBuilder& m_archive;
  const int64_t m_fileSize;
  Westring m_longName;  // from an "L" block, for the next member
  TPaxRecords m_pax;    // from an "x" header, for the next member
};

}  // namespace

FormatResult ReadTar(TArchiveBuilder& archive) { return CTarWalk(archive).Read(); }
