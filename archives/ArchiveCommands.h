#pragma once
// The panel commands that change an archive or take members out of it,
// through the external archivers: F5 and F6 between a directory panel and
// an archive panel (extract, or add), F8 on members, and " Compress Files "
// (Shift+F7) on a directory panel's tagged files. Both panels are marked to
// be read again, which reads a changed archive anew. Application thread.
class CPanel;

/// F5 (copy) or F6 (move) when either panel shows an archive: from an
/// archive the members are extracted to a directory, into one the active
/// panel's files are added.
void RunArchiveCopy(CPanel& active, CPanel& other, bool move);

/// F8 in an archive panel: the tagged members (or the cursor's) deleted.
void DeleteMembers(CPanel& panel, CPanel& other);

/// Shift+F7: an archive made of the tagged files (or the cursor's).
void CompressFiles(CPanel& source, CPanel& other);
