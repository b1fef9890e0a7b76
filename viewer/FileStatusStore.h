#pragma once
// What the viewer and the editor remember about each file they showed during
// this run of the program: where it was shown, its bookmarks and the
// encoding it was read in. Kept by full path, for the main thread only.
#include <cstdint>

#include "editor/UndoStack.h"
#include "foundation/SortedCollection.h"
#include "foundation/Westring.h"
#include "viewer/TextEncoding.h"

struct TFileBookmark {
  int64_t position = -1;  // character index; -1 when the bookmark is not set
  int64_t line = -1;
};

struct TFileStatus {
  static constexpr int BookmarkCount = 10;

  Westring name;  // the full path: the key

  // The editor's view of the file.
  int topLine = 0;
  int cursorRow = 0;
  int cursorColumn = 0;  // screen column
  int leftColumn = 0;    // horizontal scroll

  // The editor moves its history in when it closes the file and takes it
  // back when it opens the file again.
  TUndoStack undo;
  TUndoStack redo;

  int64_t byteOffset = 0;  // the viewer's top offset; -1 when the editor wrote the record
  TFileBookmark bookmarks[BookmarkCount];
  int encoding = EncodingDetect;
  int codePage = 0;
};

class FileStatusStore : private TSortedCollection<TFileStatus, Westring> {
 public:
  /// The record of the file with this full path, or null.
  TFileStatus* Find(const Westring& name);
  /// The record of the file, made (with the defaults and the name) when there
  /// is none yet; the caller updates its fields.
  TFileStatus* FindOrCreate(const Westring& name);
  /// Copies status into the record of status.name, made when there is none.
  TFileStatus* Store(const TFileStatus& status);
  /// Forgets the file; false when it had no record.
  bool Remove(const Westring& name);
  using TSortedCollection::Clear;
  using TSortedCollection::Count;

 protected:
  const Westring* KeyOf(const TFileStatus* item) const override { return &item->name; }
  int CompareKeys(const Westring* a, const Westring* b) const override { return a->Compare(*b); }
};

/// The store of the program run, shared by the viewer and the editor.
FileStatusStore& FileStatuses();
