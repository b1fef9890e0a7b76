// Writing the editor's text back. The file is overwritten in place, so it
// keeps its inode, hard links, owner and mode; its room is reserved before
// the first byte changes, so a full disk leaves it as it was.
#include <atomic>

#include "dialogs/MessageBox.h"
#include "dialogs/ProgressThread.h"
#include "editor/EditorText.h"
#include "foundation/SysCalls.h"

namespace VKEditor {

namespace {

// The answer value for "not saved": the user said no to a question.
constexpr int Declined = -1;

int64_t Nanoseconds(const TTimeValue& time) {
  return static_cast<int64_t>(time.seconds) * 1000000000 + time.nanoseconds;
}

bool Confirmed(const wchar_t* question, const Westring& name) {
  return MessageBox(question, name, MessageStyle::OkCancel | MessageStyle::YesKey) == 'y';
}

int ReportWriteError(int err) {
  MessageBox(Westring(L"Error writing text file: ") + Sys::ErrorText(err), L"", MessageStyle::Ok);
  return err;
}

}  // namespace

int CEditorText::Save(const Westring& name) {
  if (m_flags.partlyLoaded && name == m_fileName &&
      !Confirmed(L"Only part of the file was loaded. Saving cuts off the rest. Save anyway?", name))
    return Declined;
  TSavedMode savedMode;
  if (m_flags.readOnly && Sys::Exists(name)) {
    if (!Confirmed(L"File is Read Only, override?", name)) return Declined;
    if (int err = Sys::MakeWritable(name, &savedMode)) {
      MessageBox(L"Error clearing Read Only flag:", Sys::ErrorText(err), MessageStyle::Ok);
      return err;
    }
  }
  const int result = WriteFile(name);
  (void)Sys::RestoreMode(&savedMode);
  return result;
}

int CEditorText::WriteFile(const Westring& name) {
  if (int err = StoreLine()) return ReportWriteError(err);
  CTextFileWriter writer;
  if (int err = writer.OpenInPlace(name)) return ReportWriteError(err);
  TTimeValue time;
  if (m_loadTime != 0 && writer.ModificationTime(&time) == 0 && Nanoseconds(time) > m_loadTime &&
      !Confirmed(L"File has been modified since it was loaded. Overwrite anyway?", name))
    return Declined;

  writer.SetFormat(m_format);
  int64_t length = writer.ByteOrderMarkLength() + writer.LineEndLength() * (m_lineCount - 1);
  for (int line = 0; line < m_lineCount; ++line)
    length += writer.EncodedLength(m_lines[line], static_cast<int>(wcslen(m_lines[line])));
  if (int err = writer.Reserve(length)) return ReportWriteError(err);

  std::atomic<int64_t> done{0};
  std::atomic<int64_t> total{m_lineCount};
  FileReadProgress progress(&done, &total, Estring("Saving File"));
  int err = writer.WriteByteOrderMark();
  for (int line = 0; line < m_lineCount && err == 0; ++line) {
    if (line > 0) err = writer.WriteLineEnd();
    if (err == 0) err = writer.WriteChars(m_lines[line], static_cast<int>(wcslen(m_lines[line])));
    done.store(line, std::memory_order_relaxed);
  }
  if (err == 0) err = writer.CutHere();
  if (err == 0 && writer.ModificationTime(&time) == 0) m_loadTime = Nanoseconds(time);
  const int closeError = writer.Close();
  if (err == 0) err = closeError;
  if (err != 0) return ReportWriteError(err);
  m_flags.newFile = false;
  m_flags.partlyLoaded = false;
  MarkSaved();
  return 0;
}

int CEditorText::SaveAs(const Westring& name, const TFileFormat& format) {
  const bool madeHere = name != m_fileName && !Sys::Exists(name);
  if (name != m_fileName) {
    StdFile probe;
    if (int err = probe.Open(name, OpenFlag::Write | OpenFlag::Append | OpenFlag::Create)) {
      MessageBox(Westring(L"Unable to open: ") + name, L"", MessageStyle::Ok);
      return err;
    }
    TTimeValue time;
    m_loadTime = probe.ModificationTime(&time) == 0 ? Nanoseconds(time) : 0;
    m_flags.readOnly = false;
  }
  m_format = format;
  if (int err = Save(name)) {
    // A file this Save As made and could not fill is not left behind empty.
    if (madeHere) (void)Sys::DeleteFile(name);
    return err;
  }
  m_fileName = name;
  return 0;
}

}  // namespace VKEditor
