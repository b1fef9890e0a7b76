#pragma once
// The one temporary directory an open archive keeps for viewing and editing
// its members: the member last extracted into it and that file's time, so
// that a changed member goes back into the archive before another member
// is extracted and when the archive is closed. Application thread.
#include "archives/ArchiverCommand.h"
#include "foundation/TimeValue.h"
#include "foundation/Westring.h"

class CExtractedMember {
 public:
  CExtractedMember() = default;
  /// The directory goes, unless a failed update keeps an edited file in it.
  ~CExtractedMember();
  CExtractedMember(const CExtractedMember&) = delete;
  CExtractedMember& operator=(const CExtractedMember&) = delete;

  /// The member's file in the temporary directory: the one extracted last
  /// when it is the same member (letter case aside), else a fresh directory
  /// and extraction by extractor, after the earlier member was put back.
  /// updater puts this one back later (null: the archive cannot take it).
  /// Empty after an error the user has been told of.
  Westring Extract(const Westring& archive, const TArchiverRecord& extractor, const TMemberName& member,
                   const TArchiverRecord* updater, const ArchiverRunner& run = RunArchiverCommand);
  /// Puts a changed member back into the archive; the directory goes unless
  /// that failed (the user is told where the edited file stays).
  void Finish(const Westring& archive, const ArchiverRunner& run = RunArchiverCommand);
  /// The temporary directory, empty when none is kept.
  const Westring& Directory() const { return m_directory; }

 private:
  Westring MemberFile() const { return m_directory + L"/" + m_member.path; }
  /// 0 when the file is unchanged or went back into the archive.
  int UpdateAfterEdit(const Westring& archive, const ArchiverRunner& run);

  Westring m_directory;
  TMemberName m_member;
  const TArchiverRecord* m_updater = nullptr;
  TTimeValue m_time;
  bool m_keep = false;  // an update failed: the edited file must not be lost
};
