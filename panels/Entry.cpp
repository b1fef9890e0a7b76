#include "panels/Entry.h"

#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace {

entry* Allocate(int length) {
  if (length < 0) length = 0;
  void* block = std::calloc(1, sizeof(entry) + sizeof(wchar_t) * (static_cast<size_t>(length) + 1));
  return static_cast<entry*>(block);
}

}  // namespace

entry* entry::Make(const wchar_t* name, int length) {
  entry* e = Allocate(length);
  if (e == nullptr) return nullptr;
  if (length > 0) std::wmemcpy(e->Name(), name, static_cast<size_t>(length));
  return e;
}

entry* entry::Make(const wchar_t* name) {
  return Make(name, name == nullptr ? 0 : static_cast<int>(std::wcslen(name)));
}

size_t entry::AllocatedSize() const { return sizeof(entry) + sizeof(wchar_t) * (std::wcslen(Name()) + 1); }

entry* entry::Clone() const { return Renamed(Name()); }

entry* entry::Renamed(const wchar_t* name) const {
  entry* copy = Make(name);
  if (copy != nullptr) std::memcpy(static_cast<void*>(copy), this, sizeof(entry));
  return copy;
}

void entry::operator delete(void* block) { std::free(block); }

char SortClassOf(const entry& e) {
  const wchar_t* name = e.Name();
  if (name[0] == L'.' && name[1] == L'.' && name[2] == 0) return SortClass::UpDir;
  if (e.IsDirectory()) return SortClass::Directory;
  if (e.flags & (EntryFlag::Hidden | EntryFlag::System)) return SortClass::HiddenFile;
  return SortClass::File;
}

bool IsDescriptionFile(const entry& e) {
  static const wchar_t* const kNames[] = {L"descript.ion", L"EA DATA. SF", L"WP ROOT. SF"};
  for (const wchar_t* name : kNames) {
    if (std::wcscmp(e.Name(), name) == 0) return true;
  }
  return false;
}
