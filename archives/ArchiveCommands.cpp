#include "archives/ArchiveCommands.h"

#include <cwchar>
#include <vector>

#include "archives/ArchiveEntry.h"
#include "archives/ArchiverCommand.h"
#include "dialogs/Dialog.h"
#include "dialogs/HelpTopics.h"
#include "dialogs/Look.h"
#include "dialogs/MessageBox.h"
#include "fileops/CopyCommand.h"
#include "fileops/CopyDialog.h"
#include "fileops/CopyFiles.h"
#include "fileops/DeleteFiles.h"
#include "foundation/SysCalls.h"
#include "panels/DirSearch.h"
#include "panels/Entry.h"
#include "panels/Panel.h"
#include "panels/PathNames.h"

namespace {

constexpr int kArchiveNameHistory = 9;
constexpr int kArchiveNameWidth = 44, kArchiveNameLength = 512;

// The compress dialog's choice, kept for the run.
int g_lastArchiver = ArchiveZip;

void Tell(const char* text, const Westring& detail = Westring()) { MessageBox(Westring(text), detail, MessageStyle::Ok); }

// "Extract \"a.txt\" to", "Compress and Move 3 files to".
Westring ArchiveDialogTitle(const char* verb, bool move, int count, const Westring& name) {
  Westring title = Westring(verb) + (move ? L" and Move" : L"");
  if (count == 1) return title + L" \"" + name + L"\" to";
  wchar_t tail[32];
  std::swprintf(tail, 32, L" %d file%lc to", count, count > 1 ? L's' : L' ');
  return title + tail;
}

// The dialog of a copy or a move, in the form without the Overwrite row.
bool AskDestination(const Westring& title, const Westring& otherDirectory, Westring* destination) {
  TCopyRequest request{*destination, 0};
  if (!RunCopyDialog(true, title, otherDirectory, &request)) return false;
  *destination = request.destination;
  destination->Trim();
  return true;
}

// The directory members are extracted to: it must exist already.
int CheckExtractDirectory(const Westring& typed, const Westring& base, Westring* directory) {
  Westring path = typed;
  if (path.IsEmpty() || ResolvePath(&path, base) != 0) {
    Tell("Invalid path", typed);
    return -1;
  }
  const int err = Sys::CheckDirectory(path);
  if (err == ENOTDIR) Tell("Destination must be a valid directory", path);
  else if (err != 0) Tell("Directory does not exist", path);
  if (err != 0) return -1;
  *directory = path;
  return 0;
}

Westring MakeTemporaryDirectory() {
  const Westring directory = UniqueTempName();
  if (Sys::MakeDirectory(directory) == 0) return directory;
  Tell("Unable to create temporary directory", directory);
  return Westring();
}

// Moves each extracted member of the shown level from the temporary
// directory to the destination; true when every one arrived.
bool MoveExtracted(CPanel& archivePanel, const std::vector<int>& chosen, const Westring& from,
                   const Westring& destination) {
  TCopyContext context;
  const int count = static_cast<int>(chosen.size());
  bool all = true;
  for (int n = 0; n < count; ++n) {
    entry* e = archivePanel.At(chosen[n]);
    const Westring name(e->Name());
    const int result = MoveFile(from + L"/" + name, destination + L"/" + name, n + 1, count, &context);
    if (result == CopyResult::Done) e->previouslyTagged = 1;
    else all = false;
    if (result == CopyResult::Cancelled) break;
  }
  return all;
}

int RemoveMembers(CPanel& panel, const std::vector<int>& chosen, const TArchiverRecord& record) {
  const CArchiveListing& archive = *panel.Archive();
  const int status = RunInDirectory(panel.WorkingDirectory(), [&] {
    return BuildAndRun(record.remove, archive.ArchivePath(), panel.InnerDirectory(), panel, chosen, record,
                       ArchiverMode::AddOrDelete);
  });
  if (status != 0) ReportArchiverFailure("An error occurred deleting", archive.ArchivePath(), status);
  return status;
}

bool RefusesDelete(int format, const TArchiverRecord& record) {
  if (!record.remove.IsEmpty()) return false;
  wchar_t text[64];
  std::swprintf(text, 64, L"Deleting from %s not supported", ArchiverName(format));
  MessageBox(Westring(text), Westring(), MessageStyle::Ok);
  return true;
}

void ExtractMembers(CPanel& active, CPanel& other, bool move) {
  CArchiveListing& archive = *active.Archive();
  const TArchiverRecord* record = ExtractingArchiver(archive);
  const TArchiverRecord* remover = ArchiverOf(archive.Format());
  const std::vector<int> chosen = active.ChosenEntries();
  if (record == nullptr || chosen.empty()) return;
  const int count = static_cast<int>(chosen.size());
  Westring typed = other.Directory();
  if (!AskDestination(ArchiveDialogTitle("Extract", move, count, Westring(active.At(chosen[0])->Name())),
                      other.Directory(), &typed))
    return;
  Westring destination;
  if (CheckExtractDirectory(typed, active.WorkingDirectory(), &destination) != 0) return;
  if (move && RefusesDelete(archive.Format(), *remover)) return;
  const Westring scratch = MakeTemporaryDirectory();
  if (scratch.IsEmpty()) return;

  for (int i = 0; i < active.Count(); ++i) active.At(i)->previouslyTagged = 0;
  const Westring inner = active.InnerDirectory();
  const int status = RunInDirectory(scratch, [&] {
    return BuildAndRun(record->extract, archive.ArchivePath(), inner, active, chosen, *record, ArchiverMode::Extract);
  });
  // A failed archiver may have left files half written: none of them is
  // moved, and the archive still holds every member.
  bool moved = false;
  if (status != 0) ReportArchiverFailure("An error occurred extracting", archive.ArchivePath() + L" to " + scratch, status);
  else moved = MoveExtracted(active, chosen, inner.IsEmpty() ? scratch : scratch + L"/" + inner, destination);
  (void)Sys::RemoveTree(scratch);
  if (move && moved) (void)RemoveMembers(active, chosen, *remover);
  active.MarkForReread();
  other.MarkForReread();
}

// True when the top level of the archive lists the name (a member or a
// directory).
bool ArchiveHolds(CArchiveListing& archive, const wchar_t* name) {
  bool found = false;
  (void)archive.List(Westring(), [&](entry* e) {
    found = std::wcscmp(e->Name(), name) == 0;
    delete e;
    return !found;
  });
  return found;
}

// The sources of a move into an archive go once the archive, read again,
// lists them; whatever it does not list stays.
void DeleteAddedSources(CPanel& source, const std::vector<int>& chosen, CArchiveListing& archive) {
  if (archive.RefreshIfChanged() != 0) return;
  TCopyContext context;
  context.deletion.treeAll = true;  // moved, not deleted: no "Delete tree?" for each directory
  for (int index : chosen) {
    const entry* e = source.At(index);
    if (!ArchiveHolds(archive, e->Name())) {
      Tell("Not found in the archive, so not deleted:", Westring(e->Name()));
      continue;
    }
    const Estring path = SystemName(source.Directory(), Westring(e->Name()));
    const Estring full = (source.Directory().ToUtf8() + "/") + path.c_str();
    const int result = e->IsDirectory() ? DeleteDirectory(full, L"*", &context)
                                        : DeleteFile(full, DeleteMode::Series, &context);
    if (result < 0) break;
  }
  (void)DeleteFile(Estring(), DeleteMode::CloseWindow, &context);
}

// Adding to an archive: true when the destination is the archive's top,
// false when the command has been handled otherwise (refused, or an
// ordinary copy to a directory outside the archive).
bool AddsToArchiveTop(CPanel& active, CPanel& other, const std::vector<int>& chosen, const Westring& typed,
                      bool move) {
  const Westring& archive = other.Archive()->ArchivePath();
  Westring path = typed;
  if (path.IsEmpty() || ResolvePath(&path, active.Directory()) != 0) {
    Tell("Invalid path", typed);
    return false;
  }
  if (path.EqualsNoCase(archive)) return true;
  if (path.Length() > archive.Length() && path.Left(archive.Length()).EqualsNoCase(archive) &&
      path[archive.Length()] == L'/') {
    Tell("Compressing into subdirectories not supported", path);
    return false;
  }
  TDestination destination;
  if (CheckDestination(typed, active.Directory(), static_cast<int>(chosen.size()), &destination) == 0)
    CopyToDestination(active, other, chosen, destination, move, 0);
  return false;
}

void AddFiles(CPanel& active, CPanel& other, bool move) {
  CArchiveListing& archive = *other.Archive();
  const int format = archive.Format();
  if (format == ArchiveGzip || format == ArchiveBzip2) {
    Tell(format == ArchiveGzip ? "Cannot add to a GZip file" : "Cannot add to a BZip2 file");
    return;
  }
  const TArchiverRecord* record = ArchiverOf(format);
  const std::vector<int> chosen = active.ChosenEntries();
  if (record == nullptr || chosen.empty()) return;
  Westring typed = other.Directory();
  if (!AskDestination(ArchiveDialogTitle("Compress", move, static_cast<int>(chosen.size()),
                                         Westring(active.At(chosen[0])->Name())),
                      other.Directory(), &typed) ||
      !AddsToArchiveTop(active, other, chosen, typed, move))
    return;
  for (int index : chosen) {
    if (active.PathOf(active.At(index)->Name()).EqualsNoCase(archive.ArchivePath())) {
      Tell("Cannot move an archive into itself", archive.ArchivePath());
      return;
    }
  }
  const int status = RunInDirectory(active.Directory(), [&] {
    return BuildAndRun(record->compress, archive.ArchivePath(), Westring(), active, chosen, *record,
                       ArchiverMode::AddOrDelete);
  });
  if (status != 0) ReportArchiverFailure("An error occurred updating", archive.ArchivePath(), status);
  else if (move) DeleteAddedSources(active, chosen, archive);
  active.MarkForReread();
  other.MarkForReread();
}

// --- Compress Files ------------------------------------------------------------------

Westring ProposedArchiveName(const CPanel& source, const CPanel& other) {
  Westring name;
  if (!other.InArchive() && other.Type() == PanelType::Files) (name = other.Directory()).AddTrailingSlash();
  const entry* current = source.CursorEntry();
  const Westring base = current == nullptr || current->IsUpDir() ? Westring(L"archive") : Westring(current->Name());
  const int dot = base.FindLast(L'.');
  return name + (dot > 0 ? base.Left(dot) : base);
}

bool AskCompress(Westring* name, int* format) {
  static constexpr const char* kLabels[ArchiverCount] = {"_ZIP", "_RAR",  "_LHARC", "_ARJ",  "A_CE",
                                                         "_HA",  "_GZIP", "_TAR",   "_7ZIP", "_BZIP2"};
  Dialog dialog(-1, -3, 70, 7, Colour(ColourClass::Messages));
  dialog.SetHelpTopic(HelpTopic::CompressFiles);
  dialog.DrawTitle(L" Compress Files ");
  dialog.WriteHotKeyText(1, 1, L"Archive Name:", L"N", dialog.NormalColour());
  dialog.AddStringField(1, 2, true, name, kArchiveNameWidth, kArchiveNameLength, kArchiveNameHistory);
  dialog.SetHotKeyList("n", 1);  // the field is element 0; the archivers carry their own letters
  for (int i = 0; i < ArchiverCount; ++i)
    dialog.AddRadioButton(i < 5 ? 48 : 58, i % 5, i == 0, format, i, kLabels[i]);
  dialog.SetDefaultButton(dialog.AddPushButton(12, 4, true, DialogResult::Ok, "OK"));
  dialog.AddPushButton(22, 4, false, DialogResult::Cancel, "Cancel");
  if (dialog.Run() != DialogResult::Ok) return false;
  dialog.CommitAll();
  name->Trim();
  return !name->IsEmpty();
}

bool EndsWithNoCase(const Westring& text, const wchar_t* tail) {
  const int n = static_cast<int>(std::wcslen(tail));
  return text.Length() >= n && text.Right(n).EqualsNoCase(tail);
}

// The extension the one-file and tar formats need, unless the name has it.
Westring CompletedArchiveName(const Westring& name, int format) {
  if (format == ArchiveGzip && !EndsWithNoCase(name, L".gz") && !EndsWithNoCase(name, L".tgz")) return name + L".gz";
  if (format == ArchiveTar && !EndsWithNoCase(name, L".tar")) return name + L".tar";
  if (format == ArchiveBzip2 && !EndsWithNoCase(name, L".bz2") && !EndsWithNoCase(name, L".tbz"))
    return name + L".bz2";
  return name;
}

// A tar whose name ends as a gzip or bzip2 file's does: packed by that
// compressor once tar has made it.
int PackerOfTarName(const Westring& name) {
  if (EndsWithNoCase(name, L".gz") || EndsWithNoCase(name, L".tgz")) return ArchiveGzip;
  if (EndsWithNoCase(name, L".bz2") || EndsWithNoCase(name, L".tbz")) return ArchiveBzip2;
  return ArchiveNone;
}

// Tar makes the archive under a temporary name, the compressor's own
// template packs it into the file asked for.
int MakePackedTar(CPanel& source, const std::vector<int>& chosen, const Westring& archive, int packer) {
  const TArchiverRecord& tar = *ArchiverOf(ArchiveTar);
  const TArchiverRecord& compressor = *ArchiverOf(packer);
  const Westring tarName = UniqueTempName() + L".tar";
  int status = BuildAndRun(tar.compress, tarName, Westring(), source, chosen, tar, ArchiverMode::AddOrDelete);
  if (status == 0)
    status = RunArchiver(compressor.compress, archive, {TMemberName{tarName, false}}, compressor,
                         ArchiverMode::AddOrDelete, [](size_t) {});
  (void)Sys::DeleteFile(tarName);
  return status;
}

// The one-file formats write the archive anew: an existing one is replaced
// only when the user says so.
bool MayReplace(const Westring& archive, const Westring& directory) {
  Westring path = archive;
  if (ResolvePath(&path, directory) != 0 || !Sys::Exists(path)) return true;
  return MessageBox(Westring("File already exists, Overwrite?"), path, MessageStyle::OkCancel) == 'y';
}

}  // namespace

void RunArchiveCopy(CPanel& active, CPanel& other, bool move) {
  if (active.InArchive()) ExtractMembers(active, other, move);
  else if (other.InArchive()) AddFiles(active, other, move);
}

void DeleteMembers(CPanel& panel, CPanel& other) {
  CArchiveListing* archive = panel.Archive();
  if (archive == nullptr) return;
  const TArchiverRecord* record = ArchiverOf(archive->Format());
  const std::vector<int> chosen = panel.ChosenEntries();
  if (record == nullptr || chosen.empty() || RefusesDelete(archive->Format(), *record)) return;
  const int count = static_cast<int>(chosen.size());
  wchar_t question[64];
  std::swprintf(question, 64, L"You have selected %d file(s)", count);
  const Westring text = count == 1 ? Westring("Do you wish to delete") : Westring(question);
  const Westring detail = count == 1 ? Westring(panel.At(chosen[0])->Name()) : archive->ArchivePath();
  if (MessageBox(text, detail, MessageStyle::OkCancel) != 'y') return;
  (void)RemoveMembers(panel, chosen, *record);
  panel.MarkForReread();
  other.MarkForReread();
}

void CompressFiles(CPanel& source, CPanel& other) {
  if (source.InArchive() || source.Type() != PanelType::Files || source.Count() == 0) return;
  const std::vector<int> chosen = source.ChosenEntries();
  if (chosen.empty()) return;
  Westring name = ProposedArchiveName(source, other);
  int format = g_lastArchiver;
  if (!AskCompress(&name, &format)) return;
  if ((format == ArchiveGzip || format == ArchiveBzip2) && chosen.size() > 1) {
    wchar_t text[64];
    std::swprintf(text, 64, L"%s archives cannot contain multiple files", ArchiverName(format));
    MessageBox(Westring(text), Westring(), MessageStyle::Ok);
    return;
  }
  g_lastArchiver = format;
  const int packer = format == ArchiveTar ? PackerOfTarName(name) : ArchiveNone;
  const Westring archive = packer != ArchiveNone ? name : CompletedArchiveName(name, format);
  const bool writesAnew = packer != ArchiveNone || format == ArchiveGzip || format == ArchiveBzip2;
  if (writesAnew && !MayReplace(archive, source.Directory())) return;
  const TArchiverRecord& record = *ArchiverOf(format);
  const int status = RunInDirectory(source.Directory(), [&] {
    if (packer != ArchiveNone) return MakePackedTar(source, chosen, archive, packer);
    return BuildAndRun(record.compress, archive, Westring(), source, chosen, record, ArchiverMode::AddOrDelete);
  });
  if (status != 0) ReportArchiverFailure("An error occurred updating", archive, status);
  source.MarkForReread();
  other.MarkForReread();
}
