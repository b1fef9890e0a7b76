#include "archives/internal/SevenZipDatabaseCheck.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// Property ids of the 7-Zip database.
enum : uint8_t {
  kEnd = 0x00,
  kHeader = 0x01,
  kArchiveProperties = 0x02,
  kAdditionalStreamsInfo = 0x03,
  kMainStreamsInfo = 0x04,
  kFilesInfo = 0x05,
  kPackInfo = 0x06,
  kUnpackInfo = 0x07,
  kSubStreamsInfo = 0x08,
  kSize = 0x09,
  kCrc = 0x0A,
  kFolder = 0x0B,
  kCodersUnpackSize = 0x0C,
  kNumUnpackStream = 0x0D,
  kEncodedHeader = 0x17,
};

// Coder flags: the id's length in the low bits, then its stream counts and
// its properties when the bits say so.
constexpr uint8_t kIdLengthMask = 0x0F, kComplexCoder = 0x10, kCoderProperties = 0x20;
constexpr int kMinNameBytes = 4;  // one UTF-16 character and the terminator

// What a decoder allocates by its properties: the LZMA and LZMA2
// dictionary, the PPMd model; 0 for others.
uint64_t DecoderMemory(const uint8_t* id, size_t idLength, const uint8_t* properties,
                       uint64_t size) {
  static const uint8_t kLzma[] = {3, 1, 1}, kPpmd[] = {3, 4, 1}, kLzma2[] = {0x21};
  const auto is = [&](const uint8_t* method, size_t length) {
    return idLength == length && std::memcmp(id, method, length) == 0;
  };
  if ((is(kLzma, sizeof kLzma) || is(kPpmd, sizeof kPpmd)) && size == 5)
    return properties[1] | properties[2] << 8 | properties[3] << 16 |
           static_cast<uint64_t>(properties[4]) << 24;
  if (is(kLzma2, sizeof kLzma2) && size == 1)
    return properties[0] > 40
               ? UINT64_MAX
               : static_cast<uint64_t>(2 | (properties[0] & 1)) << (properties[0] / 2 + 11);
  return 0;
}

class CDatabaseWalk {
 public:
  CDatabaseWalk(const uint8_t* bytes, size_t size) : m_at(bytes), m_end(bytes + size) {}

  bool Fits(uint64_t maxUnpacked) {
    uint8_t id = 0;
    if (!Byte(&id)) return false;
    if (id == kEncodedHeader) {
      uint64_t unpacked = 0;
      return StreamsInfo(&unpacked) && unpacked <= maxUnpacked && m_largestWindow <= maxUnpacked;
    }
    return id == kHeader && PlainHeaderFits();
  }

 private:
  uint64_t Left() const { return static_cast<uint64_t>(m_end - m_at); }

  bool Byte(uint8_t* value) {
    if (m_at == m_end) return false;
    *value = *m_at++;
    return true;
  }
  bool Skip(uint64_t count) {
    if (count > Left()) return false;
    m_at += count;
    return true;
  }
  // The database's numbers: as many leading 1 bits in the first byte as
  // bytes follow, little-endian, under the first byte's remaining bits.
  bool Number(uint64_t* value) {
    uint8_t first = 0;
    if (!Byte(&first)) return false;
    int extra = 0;
    while (extra < 8 && (first & (0x80 >> extra)) != 0) ++extra;
    if (static_cast<uint64_t>(extra) > Left()) return false;
    uint64_t low = 0;
    for (int i = 0; i < extra; ++i) low |= static_cast<uint64_t>(m_at[i]) << (8 * i);
    m_at += extra;
    const uint64_t high = extra < 7 ? (first & ((0x80u >> extra) - 1)) : 0;
    *value = low | high << (8 * extra);
    return true;
  }
  // A count of items that take at least one byte each.
  bool Count(uint64_t* value) { return Number(value) && *value <= Left(); }

  // An "all defined" byte or a bit vector, then a CRC per defined item;
  // defined, when given, receives the vector.
  bool Digests(uint64_t count, std::vector<bool>* defined = nullptr) {
    uint8_t all = 0;
    if (count > Left() || !Byte(&all)) return false;
    std::vector<bool> bits(static_cast<size_t>(count), true);
    if (all == 0) {
      const uint8_t* vector = m_at;
      if (!Skip((count + 7) / 8)) return false;
      for (uint64_t i = 0; i < count; ++i) bits[i] = (vector[i / 8] & (0x80 >> (i % 8))) != 0;
    }
    uint64_t crcs = 0;
    for (bool bit : bits) crcs += bit ? 1 : 0;
    if (defined != nullptr) *defined = std::move(bits);
    return Skip(4 * crcs);
  }

  bool PackInfo() {
    uint64_t position = 0, streams = 0, size = 0;
    uint8_t id = 0;
    if (!Number(&position) || !Count(&streams) || !Byte(&id)) return false;
    if (id == kSize) {
      for (uint64_t i = 0; i < streams; ++i)
        if (!Number(&size)) return false;
      if (!Byte(&id)) return false;
    }
    if (id == kCrc && (!Digests(streams) || !Byte(&id))) return false;
    return id == kEnd;
  }

  // One folder's coders; *outputs receives its output stream count.
  bool Folder(uint64_t* outputs) {
    uint64_t coders = 0, inputs = 0, value = 0;
    *outputs = 0;
    if (!Count(&coders)) return false;
    for (uint64_t i = 0; i < coders; ++i) {
      uint8_t flags = 0;
      if (!Byte(&flags)) return false;
      const uint8_t* id = m_at;
      const size_t idLength = flags & kIdLengthMask;
      if (!Skip(idLength)) return false;
      uint64_t in = 1, out = 1;
      if ((flags & kComplexCoder) != 0 && (!Count(&in) || !Count(&out))) return false;
      inputs += in, *outputs += out;
      if ((flags & kCoderProperties) == 0) continue;
      if (!Count(&value) || !Skip(value)) return false;
      const uint8_t* properties = m_at - value;
      m_largestWindow = std::max(m_largestWindow, DecoderMemory(id, idLength, properties, value));
    }
    if (*outputs == 0 || *outputs - 1 > Left() || inputs < *outputs - 1) return false;
    for (uint64_t pair = 0; pair + 1 < *outputs; ++pair)
      if (!Number(&value) || !Number(&value)) return false;
    const uint64_t packed = inputs - (*outputs - 1);
    if (packed > 1) {
      if (packed > Left()) return false;
      for (uint64_t i = 0; i < packed; ++i)
        if (!Number(&value)) return false;
    }
    return true;
  }

  bool UnpackInfo(uint64_t* unpacked) {
    uint8_t id = 0, external = 0;
    uint64_t folders = 0, size = 0;
    if (!Byte(&id) || id != kFolder || !Count(&folders) || !Byte(&external) || external != 0)
      return false;
    std::vector<uint64_t> outputs(static_cast<size_t>(folders));
    for (uint64_t& count : outputs)
      if (!Folder(&count)) return false;
    if (!Byte(&id) || id != kCodersUnpackSize) return false;
    for (uint64_t count : outputs)
      for (uint64_t i = 0; i < count; ++i) {
        if (!Number(&size)) return false;
        *unpacked = size > UINT64_MAX - *unpacked ? UINT64_MAX : *unpacked + size;
      }
    m_folderCrcs.assign(static_cast<size_t>(folders), false);
    if (!Byte(&id)) return false;
    if (id == kCrc && (!Digests(folders, &m_folderCrcs) || !Byte(&id))) return false;
    return id == kEnd;
  }

  bool SubStreamsInfo() {
    std::vector<uint64_t> streams(m_folderCrcs.size(), 1);
    uint64_t total = streams.size(), value = 0;
    uint8_t id = 0;
    if (!Byte(&id)) return false;
    if (id == kNumUnpackStream) {
      total = 0;
      for (uint64_t& count : streams) {
        if (!Count(&count)) return false;
        total += count;
      }
      if (total > Left() + streams.size() || !Byte(&id)) return false;
    }
    if (id == kSize) {
      for (uint64_t count : streams)
        for (uint64_t i = 1; i < count; ++i)
          if (!Number(&value)) return false;
      if (!Byte(&id)) return false;
    }
    if (id == kCrc) {
      uint64_t unknown = 0;
      for (size_t i = 0; i < streams.size(); ++i)
        unknown += streams[i] == 1 && m_folderCrcs[i] ? 0 : streams[i];
      if (!Digests(unknown) || !Byte(&id)) return false;
    }
    return id == kEnd;
  }

  bool StreamsInfo(uint64_t* unpacked) {
    uint8_t id = 0;
    m_folderCrcs.clear();
    if (!Byte(&id)) return false;
    if (id == kPackInfo && (!PackInfo() || !Byte(&id))) return false;
    if (id == kUnpackInfo && (!UnpackInfo(unpacked) || !Byte(&id))) return false;
    if (id == kSubStreamsInfo && (!SubStreamsInfo() || !Byte(&id))) return false;
    return id == kEnd;
  }

  bool PlainHeaderFits() {
    uint8_t id = 0;
    uint64_t value = 0;
    if (!Byte(&id)) return false;
    if (id == kArchiveProperties) {
      for (uint8_t type = 0; Byte(&type) && type != kEnd;)
        if (!Count(&value) || !Skip(value)) return false;
      if (!Byte(&id)) return false;
    }
    if (id == kAdditionalStreamsInfo && (!StreamsInfo(&value) || !Byte(&id))) return false;
    if (id == kMainStreamsInfo && (!StreamsInfo(&value) || !Byte(&id))) return false;
    if (id == kEnd) return true;
    uint64_t files = 0;
    return id == kFilesInfo && Number(&files) && files <= Left() / kMinNameBytes;
  }

  const uint8_t* m_at;
  const uint8_t* m_end;
  std::vector<bool> m_folderCrcs;  // of the current streams' folders
  uint64_t m_largestWindow = 0;    // the most a decoder of the header would allocate
};

}  // namespace

bool SevenZipDatabaseFits(const uint8_t* bytes, size_t size, uint64_t maxUnpacked) {
  return CDatabaseWalk(bytes, size).Fits(maxUnpacked);
}
