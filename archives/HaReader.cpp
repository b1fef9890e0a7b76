// HA archives: "HA", a member count, then per member a fixed header, the
// path and the name, a machine-specific block and the packed data.
#include <cstring>
#include <string>

#include "archives/internal/FormatReader.h"

namespace {

constexpr size_t kArchiveHeaderLength = 4;  // "HA" and the member count
constexpr size_t kMemberHeaderLength = 17;
constexpr size_t kMaxStringLength = 300;  // path and name, each with its NUL
constexpr uint8_t kMaxVersion = 2;
constexpr uint8_t kDirectoryMethod = 14;
// HA writes its own path separator between the path's parts.
constexpr char kHaSeparator = '\xFF';

namespace MemberField {
constexpr size_t VersionAndMethod = 0, PackedSize = 1, Size = 5, Time = 13, Date = 15;
}

// The NUL-terminated string at offset (at most kMaxStringLength bytes with
// the NUL) into *text; its length with the NUL, or 0 when it has none.
size_t ReadString(TArchiveBuilder& archive, int64_t offset, std::string* text) {
  char bytes[kMaxStringLength];
  const size_t got = archive.ReadAt(offset, bytes, sizeof bytes);
  const void* end = std::memchr(bytes, 0, got);
  if (end == nullptr) return 0;
  text->assign(bytes, static_cast<size_t>(static_cast<const char*>(end) - bytes));
  return text->size() + 1;
}

Westring MemberPath(std::string path, const std::string& name) {
  for (char& c : path)
    if (c == kHaSeparator) c = '/';
  while (!path.empty() && (path.back() == '/' || path.back() == '\\')) path.pop_back();
  if (!path.empty()) path += '/';
  path += name;
  return ArchiveName8(path.data(), path.size());
}

}  // namespace

FormatResult ReadHa(TArchiveBuilder& archive) {
  uint8_t head[kMemberHeaderLength];
  if (archive.ReadAt(0, head, kArchiveHeaderLength) != kArchiveHeaderLength || head[0] != 'H' ||
      head[1] != 'A')
    return FormatResult::Declined;
  const unsigned count = Le16(head + 2);
  int64_t offset = kArchiveHeaderLength;
  // Each member takes 20 bytes at least, so a count beyond the file ends with the file.
  for (unsigned i = 0; i < count && !archive.Interrupted(); ++i) {
    if (archive.ReadAt(offset, head, kMemberHeaderLength) != kMemberHeaderLength ||
        head[MemberField::VersionAndMethod] >> 4 > kMaxVersion)
      break;
    std::string path, name;
    const size_t pathLength = ReadString(archive, offset + kMemberHeaderLength, &path);
    const size_t nameLength =
        pathLength ? ReadString(archive, offset + kMemberHeaderLength + pathLength, &name) : 0;
    const int64_t machineAt =
        offset + static_cast<int64_t>(kMemberHeaderLength + pathLength + nameLength);
    uint8_t machineLength = 0;
    if (nameLength == 0 || archive.ReadAt(machineAt, &machineLength, 1) != 1) break;

    TFoundMember member;
    const uint32_t packedSize = Le32(head + MemberField::PackedSize);
    member.packedSize = packedSize;
    member.size = Le32(head + MemberField::Size);
    member.time = DosTimeToSeconds(Le16(head + MemberField::Date), Le16(head + MemberField::Time));
    member.directory = (head[MemberField::VersionAndMethod] & 0x0F) == kDirectoryMethod;
    member.path = MemberPath(path, name);
    if (!archive.Add(member)) break;
    offset = machineAt + 1 + machineLength + packedSize;
  }
  return FormatResult::Read;
}
