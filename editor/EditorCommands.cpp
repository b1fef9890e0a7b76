// The editor's life and its commands with dialogs: opening (creating a
// missing file on request), the key loop, go to line, encodings and code
// pages, saving, and the question before quitting with unsaved changes.
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>

#include "config/Settings.h"
#include "console/KeyCodes.h"
#include "dialogs/Dialog.h"
#include "dialogs/HelpTopics.h"
#include "dialogs/Look.h"
#include "dialogs/MessageBox.h"
#include "editor/Editor.h"
#include "foundation/CodePage.h"
#include "foundation/Estring.h"
#include "foundation/SysCalls.h"
#include "panels/PathNames.h"
#include "viewer/FormatSelectDialog.h"
#include "viewer/ViewTextFile.h"
#include "viewer/ViewerDialogs.h"
#include "viewer/ViewerSession.h"

namespace VKEditor {

namespace {

constexpr int kThirdDown = -3;
constexpr int kQuitWidth = 35, kQuitHeight = 9;
constexpr int kGotoHeight = 5, kGotoDigits = 8;
constexpr int kSave = 's', kDiscard = 'd', kEdit = 'e';

uint8_t TextAttr() { return Colour(ColourClass::FileViewer); }

// 0, or the errno of looking at path; a directory is EISDIR.
int FileState(const Westring& path) {
  struct stat info {};
  if (stat(path.ToUtf8().c_str(), &info) != 0) return errno;
  return S_ISDIR(info.st_mode) ? EISDIR : 0;
}

}  // namespace

CEditor::CEditor() = default;

int CEditor::Open(const Westring& name, int64_t startOffset, int highlightLength) {
  m_text.SetTextArea(Rows(), Columns());
  Westring path = name;
  if (ResolvePath(&path) != 0) path = name;
  const int state = FileState(path);
  if (state == ENOENT) {
    const int answer = MessageBox(Westring("File does not exist, Create?"), path,
                                  MessageStyle::OkCancel | MessageStyle::YesKey);
    if (answer != 'y') return -1;
    m_text.StartNewFile(path);
  } else {
    ViewTextFile file;
    const int err = state != 0 ? state : file.Open(path, EncodingDetect, 0);
    if (err != 0) {
      MessageBox(Sys::ErrorText(err), path, MessageStyle::Ok);
      return err;
    }
    if (!m_text.Load(file, LoadKind::Fresh, startOffset, highlightLength)) return EIO;
  }
  (void)m_syntax.SelectForFile(path, TextAttr());
  // Opened at an offset (the viewer's top line, a search hit) that line
  // comes to the top, as the viewer showed it.
  if (startOffset >= 0) {
    m_text.View().topLine = m_text.CursorPos().line;
    m_text.View().cursorRow = 0;
  }
  MoveTo(m_text.CursorPos());
  return 0;
}

EditorExit CEditor::Run() {
  CConsole& con = *g_console;
  const int cursorSize = con.CursorSize();
  m_quit = false;
  // A new screen size lays the text out again around the same cursor.
  CRedrawOnResize redraw([this] { Draw(); });
  Draw();
  for (;;) {
    TMouseRecord mouse;
    const uint32_t key = con.GetKey(&mouse, -1);
    if (key == 0) continue;
    if (!HandleKey(key, mouse)) break;
  }
  if (m_exit != EditorExit::Discarded) m_text.StoreStatus();
  con.SetCursorSize(cursorSize);
  return m_exit;
}

// --- Go to line -----------------------------------------------------------------------

// " Goto Line ": the field's prompt gives the lines there are.
void CEditor::GotoLine() {
  const Westring range = Westring(Estring::Format("1-%d", m_text.LineCount()).c_str());
  const char* label = "Line to go to:";
  const int labelWidth = static_cast<int>(strlen(label));
  const int width = std::max(27, labelWidth + kGotoDigits + range.Length() + 7);
  int32_t line = CursorLine() + 1;
  Dialog dialog(-1, kThirdDown, width, kGotoHeight, Colour(ColourClass::Messages));
  dialog.SetHelpTopic(HelpTopic::EditorGotoLine);
  dialog.DrawTitle(Westring(" Goto Line "));
  dialog.WriteText(1, 1, label, dialog.NormalColour());
  dialog.AddIntegerField(labelWidth + 2, 1, true, &line, kGotoDigits);
  dialog.WriteText(labelWidth + kGotoDigits + 4, 1, range.c_str(), dialog.NormalColour());
  if (dialog.Run() != DialogResult::Ok) return;
  const int target = std::clamp(static_cast<int>(line), 1, m_text.LineCount()) - 1;
  DropBlock();
  TEditorView& view = m_text.View();
  // A line out of sight comes to the middle of the screen.
  if (target < view.topLine || target >= view.topLine + Rows())
    view.topLine = std::max(0, target - Rows() / 2);
  MoveTo({0, target});
  m_text.Flags().fullRedraw = true;
}

// --- Encodings and code pages --------------------------------------------------------

// Between two code pages the text in memory is converted; any other change
// loads the file again, which the user may refuse.
bool CEditor::ChangeFormat(const TFileFormat& format) {
  TFileFormat& current = m_text.Format();
  if (current.encoding == EncodingCodePage && format.encoding == EncodingCodePage) {
    m_text.ConvertCodePage(current.codePage, format.codePage);
    current.codePage = format.codePage;
    return true;
  }
  const TFileFormat before = current;
  if (!m_text.ReloadWithFormat(format)) {
    m_text.Format() = before;
    return false;
  }
  m_syntax.ForgetFrom(0);
  DropBlock();
  MoveTo(m_text.CursorPos());
  return true;
}

void CEditor::SelectEncoding() {
  const TFileFormat& current = m_text.Format();
  CFormatSelectDlg dialog(current.encoding, current.codePage, current.byteOrderMark);
  if (!dialog.Choose()) return;
  TFileFormat format = current;
  format.encoding = dialog.Encoding();
  format.codePage = format.encoding == EncodingCodePage ? dialog.CodePage() : 0;
  if (format.codePage == TextCodePage()) format.codePage = 0;
  if (format.encoding == current.encoding && format.codePage == current.codePage) return;
  (void)ChangeFormat(format);
}

void CEditor::CodePageList() {
  Estring list = g_settings.translateCp;
  if (!AskCodePageList(&list)) return;
  g_settings.translateCp = list;
  const int cursor = ViewerSession().codePageCursor;
  ViewerSession().codePageCursor = 0;
  const int codePage = TakeNextTranslateCodePage();
  if (m_text.Format().encoding == EncodingCodePage && codePage == m_text.Format().codePage) return;
  const int last = ViewerSession().lastCodePage;
  UseCodePage(codePage);
  if (m_text.Format().encoding != EncodingCodePage || m_text.Format().codePage != codePage) {
    ViewerSession().codePageCursor = cursor;
    ViewerSession().lastCodePage = last;
  }
}

void CEditor::NextCodePage() {
  if (m_text.Format().encoding != EncodingCodePage) return;
  const int cursor = ViewerSession().codePageCursor;
  const int codePage = TakeNextTranslateCodePage();
  if (codePage == m_text.Format().codePage) return;
  UseCodePage(codePage);
  if (m_text.Format().codePage != codePage) ViewerSession().codePageCursor = cursor;
}

void CEditor::UseCodePage(int codePage) {
  TFileFormat format = m_text.Format();
  format.encoding = EncodingCodePage;
  format.codePage = codePage;
  if (ChangeFormat(format)) ViewerSession().lastCodePage = codePage;
}

// --- Saving and quitting ----------------------------------------------------------------

void CEditor::SaveFile() {
  if (m_text.Save(m_text.FileName()) == 0) m_exit = EditorExit::Saved;
}

// Without changes the editor closes at once; with them the user saves
// (asked again when saving fails), discards them, or goes on editing.
bool CEditor::AskQuit() {
  if (!m_text.Flags().modified) return true;
  static const TButtonSpec kButtons[] = {
      {kSave, "Save"}, {kDiscard, "Discard"}, {kEdit, "Edit"}, {0, nullptr}};
  for (;;) {
    int answer;
    {
      Dialog dialog(-1, kThirdDown, kQuitWidth, kQuitHeight, Colour(ColourClass::Errors));
      dialog.SetHelpTopic(HelpTopic::Editor);
      dialog.WriteCentred(1, L"There are unsaved changes");
      dialog.AddButtonRow(-1, -1, kButtons);
      dialog.SetHotKeyList("sde", 3);
      answer = dialog.Run();
    }
    switch (answer) {
      case kSave:
        if (m_text.Save(m_text.FileName()) != 0) continue;
        m_exit = EditorExit::Saved;
        return true;
      case kDiscard:
        m_exit = EditorExit::Discarded;
        return true;
      default:
        return false;
    }
  }
}

void CEditor::ToggleSyntax() {
  if (m_syntax.Enabled())
    m_syntax.Disable();
  else
    (void)m_syntax.SelectForFile(m_text.FileName(), TextAttr());
}

// --- Running it for the program --------------------------------------------------------

void Edit(const Westring& name, int64_t startOffset, int highlightLength) {
  CConsole& con = *g_console;
  const int width = con.Columns(), height = con.Lines(), generation = con.GridGeneration();
  const std::unique_ptr<TCell[]> screen = con.SaveArea(0, 0, width, height);
  {
    CEditor editor;
    if (editor.Open(name, startOffset, highlightLength) == 0) (void)editor.Run();
  }
  // After a new screen size the screens below drew themselves again.
  if (con.GridGeneration() == generation) con.RestoreArea(0, 0, width, height, screen.get());
}

}  // namespace VKEditor
