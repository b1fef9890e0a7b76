#include "archives/ArchiverCommand.h"

#include <string>

#include "archives/ArchiveEntry.h"
#include "console/RunCommand.h"
#include "console/UserScreen.h"
#include "dialogs/MessageBox.h"
#include "foundation/StdFile.h"
#include "foundation/SysCalls.h"
#include "panels/ArchiveListing.h"
#include "panels/Entry.h"
#include "panels/ExecuteCommand.h"
#include "panels/Panel.h"
#include "panels/PathNames.h"

namespace {

// Longest template plus names one command holds before the program's path
// is put in.
constexpr int kCommandLimit = 1019;

constexpr const char* kArchiverNames[ArchiverCount] = {"ZIP", "RAR",  "LHARC", "ARJ",  "ACE",
                                                       "HA",  "GZIP", "TAR",   "7ZIP", "BZIP2"};

bool IsPatternCharacter(wchar_t ch) { return ch == L'*' || ch == L'?' || ch == L'!'; }

// The one-member formats' "%f" names the file a redirection writes or
// reads, not a pattern: the shell's quoting alone.
bool TakesNamesAsPatterns(const TArchiverRecord& record) {
  return &record != ArchiverOf(ArchiveGzip) && &record != ArchiverOf(ArchiveBzip2);
}

Westring Quoted(const Westring& name, bool patterns) { return patterns ? QuoteMemberName(name) : ShellQuote(name); }

// A list-file switch goes in as it stands but for the backslashes the
// archiver's pattern characters get ("!" for ARJ).
Westring EscapedSwitch(const Westring& text) {
  Westring escaped;
  for (int i = 0; text[i] != 0; ++i) {
    if (IsPatternCharacter(text[i])) escaped += L'\\';
    escaped += text[i];
  }
  return escaped;
}

// A directory's names through the directory spec: each "!" the path; in a
// list file each blank starts another line, on a command line the spec's
// own wildcards are kept from the shell.
Westring DirectoryNames(const Westring& spec, const Westring& path, bool listFile, bool patterns) {
  Westring names;
  for (int i = 0; spec[i] != 0; ++i) {
    const wchar_t ch = spec[i];
    if (ch == L'!') names += listFile ? path : Quoted(path, patterns);
    else if (listFile && ch == L' ') names += L'\n';
    else if (!listFile && (ch == L'*' || ch == L'?')) (names += L'\\') += ch;
    else names += ch;
  }
  return names;
}

Westring NamesOf(const TMemberName& member, const Westring& dirSpec, bool listFile, bool patterns) {
  if (member.directory && !dirSpec.IsEmpty()) return DirectoryNames(dirSpec, member.path, listFile, patterns);
  return listFile ? member.path : Quoted(member.path, patterns);
}

Westring FirstWord(const Westring& command) {
  const int blank = command.Find(L' ');
  return blank < 0 ? command : command.Left(blank);
}

// The program, the first word, as its full path.
Westring WithProgramPath(const Westring& command, const Westring& program) {
  return ShellQuote(program) + command.Mid(FirstWord(command).Length());
}

int WriteListFile(const Westring& listName, const std::vector<TMemberName>& members, const Westring& dirSpec,
                  const std::function<void(size_t)>& taken) {
  StdFile list;
  int err = list.Open(listName, OpenFlag::Write | OpenFlag::Create);
  for (size_t i = 0; err == 0 && i < members.size(); ++i) {
    const Estring line = (NamesOf(members[i], dirSpec, true, false) + L"\n").ToUtf8();
    err = list.Write(line.c_str(), line.Length());
    if (err == 0) taken(i);
  }
  const int closed = list.Close();
  if (err == 0) err = closed;
  if (err != 0) MessageBox(Sys::ErrorText(err), listName, MessageStyle::Ok);
  return err;
}

}  // namespace

const TArchiverRecord* ArchiverOf(int format) {
  return format >= 0 && format < ArchiverCount ? &g_archivers[format] : nullptr;
}

const char* ArchiverName(int format) { return format >= 0 && format < ArchiverCount ? kArchiverNames[format] : ""; }

const TArchiverRecord* ExtractingArchiver(const CArchiveListing& archive) {
  return ArchiverOf(archive.HoldsTar() ? ArchiveTar : archive.Format());
}

const TArchiverRecord* UpdatingArchiver(const CArchiveListing& archive) {
  return archive.HoldsTar() ? nullptr : ArchiverOf(archive.Format());
}

Westring QuoteMemberName(const Westring& name) {
  Westring quoted;
  for (int i = 0; name[i] != 0; ++i) {
    const wchar_t ch = name[i];
    // "\\" gives the archiver its backslash, "\" then keeps the character from the shell.
    if (IsPatternCharacter(ch)) quoted += L"\\\\\\";
    else if (IsShellSpecial(ch)) quoted += L'\\';
    quoted += ch;
  }
  return quoted;
}

Westring ExpandArchiverTemplate(const Westring& templ, const Westring& archive, const Westring& members) {
  // Both places are found in the template itself, so a name holding "%f"
  // is never taken for one.
  const Westring quotedArchive = ShellQuote(archive);
  const int a = templ.FindSub(Westring(L"%a")), f = templ.FindSub(Westring(L"%f"));
  Westring command;
  int from = 0;
  const auto put = [&](int at, const Westring& text) {
    if (at > from) command += templ.Mid(from, at - from);  // Mid's count of 0 would take the rest
    command += text;
    from = at + 2;
  };
  if (a >= 0 && (f < 0 || a < f)) put(a, quotedArchive);
  if (f >= 0) put(f, members);
  if (a > f && f >= 0) put(a, quotedArchive);
  command += templ.Mid(from);
  if (a < 0) command += L" " + quotedArchive;
  if (f < 0) command += L" " + members;
  return command;
}

int RunArchiverCommand(const Westring& command) {
  RestoreUserScreen();
  EchoCommandLine(command);
  const int status = RunCommand(command);
  SaveUserScreen();
  return status;
}

int RunArchiver(const Estring& templ, const Westring& archive, const std::vector<TMemberName>& members,
                const TArchiverRecord& record, ArchiverMode mode, const std::function<void(size_t)>& taken,
                const ArchiverRunner& run) {
  if (members.empty()) return 0;
  const Westring templText = Westring::FromUtf8(templ.c_str());
  const Westring program = FindProgram(FirstWord(templText));
  if (program.IsEmpty()) {
    MessageBox(Westring("The archiver program was not found"), FirstWord(templText), MessageStyle::Ok);
    return 127;
  }
  const bool extract = mode == ArchiverMode::Extract;
  const Westring listSwitch =
      Westring::FromUtf8((extract ? record.extractListfileSwitch : record.compressListfileSwitch).c_str());
  const Westring dirSpec = Westring::FromUtf8((extract ? record.extractDirSpec : record.compressDirSpec).c_str());
  const auto runWith = [&](const Westring& names) {
    return run(WithProgramPath(ExpandArchiverTemplate(templText, archive, names), program));
  };

  // With a list file even one name goes through it: the archiver then reads
  // every name as it is, which no quoting on a command line guarantees.
  if (!listSwitch.IsEmpty()) {
    const Westring listName = UniqueTempName();
    if (int err = WriteListFile(listName, members, dirSpec, taken)) {
      (void)Sys::DeleteFile(listName);
      return err;
    }
    const int status = runWith(EscapedSwitch(listSwitch) + ShellQuote(listName));
    (void)Sys::DeleteFile(listName);
    return status;
  }

  const bool patterns = TakesNamesAsPatterns(record);
  const int templLength = templText.Length();
  Westring batch;
  int batchLength = 0;
  for (size_t i = 0; i < members.size(); ++i) {
    const Westring names = NamesOf(members[i], dirSpec, false, patterns);
    const int length = names.Length();
    if (batchLength > 0 && templLength + batchLength + 1 + length > kCommandLimit) {
      if (int status = runWith(batch)) return status;
      batch = Westring();
      batchLength = 0;
    }
    if (batchLength > 0) {
      batch += L" ";
      ++batchLength;
    }
    batch += names;
    batchLength += length;
    taken(i);
  }
  return runWith(batch);
}

int RunInDirectory(const Westring& directory, const std::function<int()>& work) {
  const Westring previous = Sys::CurrentDirectory();
  if (int err = Sys::ChangeDirectory(directory)) {
    MessageBox(Sys::ErrorText(err), directory, MessageStyle::Ok);
    return err;
  }
  const int result = work();
  if (!previous.IsEmpty()) (void)Sys::ChangeDirectory(previous);
  return result;
}

void ReportArchiverFailure(const char* text, const Westring& detail, int status) {
  MessageBox(Westring(text), detail + L" (" + Westring(std::to_string(status).c_str()) + L")", MessageStyle::Ok);
}

TMemberName MemberNameOf(const Westring& prefix, const wchar_t* name, bool directory, bool dotSlash,
                         const TArchiverRecord& record) {
  Westring path = prefix.IsEmpty() ? Westring(name) : prefix + L"/" + name;
  if (record.isTar && dotSlash) path = L"./" + path;
  return {path, directory};
}

int BuildAndRun(const Estring& templ, const Westring& archive, const Westring& prefix, CPanel& panel,
                const std::vector<int>& chosen, const TArchiverRecord& record, ArchiverMode mode,
                const ArchiverRunner& run) {
  std::vector<TMemberName> members;
  members.reserve(chosen.size());
  for (int index : chosen) {
    const entry* e = panel.At(index);
    members.push_back(MemberNameOf(prefix, e->Name(), e->IsDirectory(), (e->flags & EntryFlag::DotSlash) != 0, record));
  }
  return RunArchiver(templ, archive, members, record, mode,
                     [&](size_t i) { panel.Tag(chosen[i], TagMode::Untag); }, run);
}
