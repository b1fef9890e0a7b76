#pragma once
// The record of one directory entry as a panel, a file operation or a tool
// lists it: a fixed header followed by the name in the same allocation, so a
// record costs its header plus its name and nothing else. Records are made by
// entry::Make (or Clone) and freed with plain `delete`, so every owning store
// of entries can free them the usual way.
#include <cstddef>
#include <cstdint>

#include "foundation/ObjectStore.h"

/// Attribute bits of entry::flags; the low byte keeps the disk-operating-
/// system attribute positions.
namespace EntryFlag {
constexpr uint16_t ReadOnly = 0x0001;    // the current user cannot write it
constexpr uint16_t Hidden = 0x0002;      // the name begins with "." and is not ".."
constexpr uint16_t System = 0x0004;      // never set by a directory read
constexpr uint16_t Directory = 0x0010;   // a directory, also through a link
constexpr uint16_t Archive = 0x0020;
constexpr uint16_t Link = 0x0100;        // the name is a symbolic link
constexpr uint16_t BrokenLink = 0x0200;  // a link whose target cannot be examined
constexpr uint16_t DotSlash = 0x0400;    // an archive member whose stored path began with "./"
}  // namespace EntryFlag

/// Sort classes: ".." first, then directories, hidden files, other files.
namespace SortClass {
constexpr char UpDir = '1';
constexpr char Directory = 'A';
constexpr char HiddenFile = 'B';
constexpr char File = 'C';
}  // namespace SortClass

struct entry {
  int64_t size;            // bytes; 0 for a directory unless sizeKnown
  uint32_t timeNs;         // modification time: nanoseconds,
  uint32_t timeSec;        //   then seconds; both all ones when unknown
  uint64_t extra;          // all ones after a directory read
  void* treeNode;          // the tree styles' node; unset otherwise
  uint16_t flags;          // EntryFlag bits
  uint16_t mode;           // the file system's type and permission bits
  uint16_t owner;          // user id, low 16 bits
  uint16_t group;          // group id, low 16 bits
  uint8_t tagged;          // 1 while tagged in its panel
  uint8_t previouslyTagged;  // set by an operation that processed and untagged it
  uint8_t sizeKnown;       // list styles: size holds a directory total; tree styles: the depth
  char sortClass;          // a SortClass value

  static constexpr uint32_t NoTime = 0xFFFFFFFFu;

  /// A record with every field zero and the given name (length characters,
  /// not necessarily terminated); null only when memory runs out.
  static entry* Make(const wchar_t* name, int length);
  /// Make with a 0-terminated name.
  static entry* Make(const wchar_t* name);
  /// A copy of the whole record, name included.
  entry* Clone() const;
  /// The same fields under another name.
  entry* Renamed(const wchar_t* name) const;

  /// The 0-terminated name (never a path); it follows the header.
  const wchar_t* Name() const { return reinterpret_cast<const wchar_t*>(this + 1); }
  wchar_t* Name() { return reinterpret_cast<wchar_t*>(this + 1); }
  /// Bytes the record occupies: header plus name and terminator.
  size_t AllocatedSize() const;

  bool IsDirectory() const { return (flags & EntryFlag::Directory) != 0; }
  bool IsLink() const { return (flags & EntryFlag::Link) != 0; }
  bool IsUpDir() const { return sortClass == SortClass::UpDir; }
  bool HasTime() const { return !(timeSec == NoTime && timeNs == NoTime); }

  /// Records come only from Make, so construction by `new` is refused and
  /// `delete` hands the block back to the allocator Make used.
  static void* operator new(size_t) = delete;
  static void operator delete(void* block);
};
static_assert(sizeof(entry) == 48, "the header is part of every entry's memory budget");

/// An owning list of entries (tags kept across a re-read, found files, ...).
using EntryStore = TObjectStore<entry>;
/// The list file find fills.
using FFEntryStore = TObjectStore<entry>;

/// The name's sort class: '1' for "..", 'A' for a directory, 'B' for a hidden
/// file, 'C' for any other file.
char SortClassOf(const entry& e);

/// The description and extended-attribute files, which selecting and
/// comparing never take.
bool IsDescriptionFile(const entry& e);
