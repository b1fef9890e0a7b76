#pragma once
// An archive's member list read from its own headers (never the packed
// data): the format found by trying each reader in turn, the members sorted
// by directory so that one directory level lists at a time. Application
// thread; the progress window's thread only reads the member count.
#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

#include "archives/ArchiveEntry.h"
#include "archives/internal/FormatReader.h"
#include "foundation/MemoryPool.h"
#include "foundation/Westring.h"
#include "viewer/ViewFile.h"

/// One name of a directory level: a member or a directory its deeper
/// members imply. The name stays valid while the reader lives.
struct TListedMember {
  const wchar_t* name;
  int nameLength;
  bool directory;
  int64_t size;  // -1 for an implied directory and when not known
  int64_t time;
  uint32_t attributes, owner, group;
  bool dotSlash;  // stored with a leading "./" (an implied directory: its first member was)
};

class ArchiveReader final : private TArchiveBuilder {
 public:
  ArchiveReader();
  ~ArchiveReader() override;
  ArchiveReader(const ArchiveReader&) = delete;
  ArchiveReader& operator=(const ArchiveReader&) = delete;

  /// Reads the member list of the file: the format, or ArchiveNone when no
  /// reader knows the file, it cannot be opened, or a reader found it damaged
  /// (the user has been told). A progress window shows while it reads.
  int Open(const Westring& name);
  /// Open trying the one format only.
  int OpenAs(const Westring& name, int format);
  /// Without the progress window and the message boxes (fuzzing, tests): a
  /// report is kept in LastReport() instead.
  void SetQuiet(bool quiet) { m_quiet = quiet; }
  const Westring& LastReport() const { return m_lastReport; }
  int Format() const { return m_format; }
  /// A gzip or bzip2 file (Format) that holds a tar, listed as the tar.
  bool HoldsTar() const { return m_holdsTar; }
  const Westring& Name() const { return m_name; }

  int Count() const override { return static_cast<int>(m_entries.size()); }
  const ArchiveEntry& At(int i) const { return *m_entries[static_cast<size_t>(i)]; }

  /// Calls each for one directory level ("" is the top): the members of that
  /// directory and, once each, the directories below it that deeper paths
  /// name; stops when each returns false.
  void List(const Westring& directory, const std::function<bool(const TListedMember&)>& each) const;
  /// True when a member lies in or below directory, or names it.
  bool HasDirectory(const Westring& directory) const;

 private:
  ViewFile& File() override { return m_file; }
  int64_t FileSize() const override { return m_file.KnownSize(); }
  const Westring& ArchiveName() const override { return m_name; }
  bool Add(const TFoundMember& member) override;
  void Report(const char* message) override;
  bool Interrupted() const override;

  int OpenFormats(const Westring& name, int first, int last);
  FormatResult ReadFormat(int format);
  void Reset();
  const wchar_t* Store(const wchar_t* text, int length);
  const wchar_t* DirectoryText(const wchar_t* path, int length);
  void Sort();

  Westring m_name;
  int m_format = ArchiveNone;
  ViewFile m_file;
  MemoryPool m_pool;
  std::vector<ArchiveEntry*> m_entries;
  std::atomic<int32_t> m_found{0};
  const wchar_t* m_lastDirectory = nullptr;  // members of one directory share its text
  int m_lastDirectoryLength = -1;
  bool m_quiet = false;
  bool m_holdsTar = false;
  Westring m_lastReport;
};
