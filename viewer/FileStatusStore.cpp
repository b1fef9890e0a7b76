#include "viewer/FileStatusStore.h"

TFileStatus* FileStatusStore::Find(const Westring& name) { return TSortedCollection::Find(name); }

TFileStatus* FileStatusStore::FindOrCreate(const Westring& name) {
  if (TFileStatus* found = Find(name)) return found;
  auto* status = new TFileStatus;
  status->name = name;
  if (Insert(status) != 0) {
    delete status;
    return nullptr;
  }
  return status;
}

TFileStatus* FileStatusStore::Store(const TFileStatus& status) {
  TFileStatus* record = FindOrCreate(status.name);
  if (record) *record = status;
  return record;
}

bool FileStatusStore::Remove(const Westring& name) {
  if (!Find(name)) return false;
  DeleteCurrent();
  return true;
}

FileStatusStore& FileStatuses() {
  static FileStatusStore store;
  return store;
}
