#pragma once
// A panel inside an archive: the archive layer above the panels lists the
// archive's directory levels through this, and installs the function that
// opens a file as an archive at start-up.
#include <cstdint>
#include <functional>
#include <memory>

#include "foundation/Westring.h"

struct entry;

class CArchiveListing {
 public:
  virtual ~CArchiveListing() = default;
  /// The archive file's full path; the panel's directory is this path, then
  /// "/" and the directory inside the archive.
  virtual const Westring& ArchivePath() const = 0;
  /// Hands each entry of one level inside the archive ("" is the top) to
  /// add, which takes it over; stops when add returns false. 0 or an errno.
  virtual int List(const Westring& inner, const std::function<bool(entry*)>& add) = 0;
  /// True when inner is a directory of the archive ("" always is).
  virtual bool HasDirectory(const Westring& inner) const = 0;
  /// The archive's format number (ArchiveFormat of the archive layer).
  virtual int Format() const = 0;
  /// The sums over all members of their sizes and of their packed sizes,
  /// each -1 when a member does not tell it.
  virtual void Totals(int64_t* uncompressed, int64_t* compressed) const {
    *uncompressed = *compressed = -1;
  }
  /// A gzip or bzip2 file holding a tar: its members are tar members, taken
  /// out by the tar archiver; nothing can be added, deleted or put back.
  virtual bool HoldsTar() const = 0;
  /// Reads the member list again when the archive file changed since it was
  /// read (an archiver ran, or anything else wrote it): 0, or an errno when
  /// it can no longer be read (the panel then leaves the archive).
  virtual int RefreshIfChanged() = 0;
  /// The member (an entry of directory inner) extracted into the archive's
  /// own temporary directory: the extracted file's path, or empty after an
  /// error the user has been told of.
  virtual Westring ExtractForView(const Westring& inner, const entry& member) = 0;
  /// An extracted member that was changed goes back into the archive and
  /// the temporary directory goes: after the internal editor, and before
  /// the archive is closed.
  virtual void PutBackExtracted() = 0;
};

/// Opens a file as an archive: null when it is none of the known formats
/// (or it is damaged, and the user has been told). Unset, nothing is.
extern std::function<std::unique_ptr<CArchiveListing>(const Westring& path)> g_openArchiveListing;
