#pragma once
// Where an external archiver runs: the command templates of the [Archiver:]
// settings expanded with the archive's name and the members' names, the
// names batched to fit a command line or written to a list file, and each
// command run attached to the terminal so that its output shows.
// Application thread.
#include <functional>
#include <vector>

#include "config/Settings.h"
#include "foundation/Estring.h"
#include "foundation/Westring.h"

class CArchiveListing;
class CPanel;

/// Extract uses the Extract list-file switch and directory spec, the others
/// (add, delete) the Compress ones.
enum class ArchiverMode : int { AddOrDelete = 0, Extract = 1 };

/// The archiver of a format number, or null.
const TArchiverRecord* ArchiverOf(int format);
/// "ZIP", "RAR", "LHARC", "ARJ", "ACE", "HA", "GZIP", "TAR", "7ZIP", "BZIP2".
const char* ArchiverName(int format);
/// The archiver that takes members out of an archive: tar's for a gzip or
/// bzip2 file holding a tar.
const TArchiverRecord* ExtractingArchiver(const CArchiveListing& archive);
/// The archiver that puts a member back, null when the archive cannot take
/// one (a packed tar: its own archiver would replace the whole file).
const TArchiverRecord* UpdatingArchiver(const CArchiveListing& archive);

/// One name for an archiver: a path inside the archive (or relative to the
/// directory the archiver runs in), "./" in front where it was stored so.
struct TMemberName {
  Westring path;
  bool directory = false;
};

/// Runs one expanded command and returns its exit status (-1 when it was
/// killed). Tests give their own.
using ArchiverRunner = std::function<int(const Westring& command)>;
/// The program's runner: the command shown on the commands' screen and run
/// on the terminal; the panels come back afterwards.
int RunArchiverCommand(const Westring& command);

/// A name as one shell word that archivers taking names as patterns read
/// literally: a backslash for the archiver before "*", "?" and "!", then the
/// shell's quoting.
Westring QuoteMemberName(const Westring& name);

/// Expands the template (the first "%a" the quoted archive, the first "%f"
/// the member list, each appended after a blank when missing); the program,
/// the first word, is not looked up.
Westring ExpandArchiverTemplate(const Westring& templ, const Westring& archive, const Westring& members);

/// Runs the template for the members, in the current directory: through a
/// list file when the archiver has a list-file switch (so names reach it
/// byte for byte), else in batches that keep each command under 1020
/// characters. taken(i) is called when members[i] has gone into a command.
/// 0, else the status of the failing command (no later batch runs); a
/// missing program has been reported and gives 127.
int RunArchiver(const Estring& templ, const Westring& archive, const std::vector<TMemberName>& members,
                const TArchiverRecord& record, ArchiverMode mode, const std::function<void(size_t)>& taken,
                const ArchiverRunner& run = RunArchiverCommand);

/// RunArchiver for entries chosen of a panel: prefix (the directory shown
/// inside an archive, "" for a directory panel) joined with each name; an
/// entry is untagged when its name is taken.
int BuildAndRun(const Estring& templ, const Westring& archive, const Westring& prefix, CPanel& panel,
                const std::vector<int>& chosen, const TArchiverRecord& record, ArchiverMode mode,
                const ArchiverRunner& run = RunArchiverCommand);

/// Runs work with the working directory set to directory, and returns there
/// afterwards: work's result, or the errno of a directory that cannot be
/// entered (the user has been told).
int RunInDirectory(const Westring& directory, const std::function<int()>& work);

/// "An error occurred extracting" and the like: the text, then the detail
/// followed by the status in parentheses.
void ReportArchiverFailure(const char* text, const Westring& detail, int status);

/// The member path of a panel entry inside the archive.
TMemberName MemberNameOf(const Westring& prefix, const wchar_t* name, bool directory, bool dotSlash,
                         const TArchiverRecord& record);
