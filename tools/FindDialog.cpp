#include "tools/FindDialog.h"

#include <sys/stat.h>

#include <mutex>
#include <vector>

#include "config/Settings.h"
#include "console/Console.h"
#include "console/KeyCodes.h"
#include "dialogs/Dialog.h"
#include "dialogs/Help.h"
#include "dialogs/HelpTopics.h"
#include "dialogs/Look.h"
#include "dialogs/MessageBox.h"
#include "editor/Editor.h"
#include "fileops/CopyDialog.h"
#include "fileops/CopyFiles.h"
#include "fileops/CopyProgress.h"
#include "fileops/DeleteFiles.h"
#include "foundation/NumberFormat.h"
#include "foundation/SyncEvent.h"
#include "foundation/SysCalls.h"
#include "panels/CommandMacros.h"
#include "panels/Expression.h"
#include "panels/Panel.h"
#include "tools/FileFind.h"
#include "tools/FindResults.h"
#include "tools/MultiReplace.h"
#include "viewer/FileViewer.h"
#include "viewer/ViewerDialogs.h"

namespace {

constexpr int kSpecWidth = 34;
constexpr int kTextMaxLength = 256;
constexpr int kCodePageWidth = 5;
constexpr int kFieldColumn = 18;
constexpr int kOptionColumn = 54;
constexpr int kStatusRow = 4;
constexpr int kListRow = 5;
// The status shows the directory in the dialog's width less this.
constexpr int kStatusSlack = 13;
constexpr int kSummaryColumn = 18;
constexpr int kSpecHistory = 4;
constexpr int kPaintIntervalMs = 100;
constexpr int kFindCode = 'f';

// The status line: drawn from what its owner reports, by the dialog and by
// the status painter (under the dialog's mutex either way).
class CFindStatusLine : public DialogElement {
 public:
  CFindStatusLine(Dialog* dialog, int col, int row, int width, std::function<Westring()> text)
      : DialogElement(dialog, col, row, true), m_width(width), m_text(std::move(text)) {}
  int TypeCode() const override { return 0; }
  void Draw() override { m_dialog->WriteText(m_col, m_row, m_text().FitLeft(m_width).c_str()); }
  bool HandleEvent(const TDialogEvent& event) override {
    if (event.type != TDialogEvent::Refresh) return false;
    Draw();
    return true;
  }

 private:
  int m_width;
  std::function<Westring()> m_text;
};

Westring DirectoryOf(const Westring& path) {
  const int slash = path.FindLast(L'/');
  if (slash <= 0) return Westring(L"/");
  return path.Left(slash);
}

Westring NameOf(const Westring& path) { return path.Mid(path.FindLast(L'/') + 1); }

class CFindDialog {
 public:
  CFindDialog(CPanel& active, CPanel& other, int side);
  ~CFindDialog();
  /// The command loop; returns the path to go to, or empty.
  Westring Run();

 private:
  void Build();
  void AddButtons();
  Westring StatusText() const;
  static void* PainterMain(void* self);
  void Paint();
  void PausePainting();
  void ResumePainting();
  void SyncListCount();

  bool StartSearch();
  bool Command(int code, Westring* goTo);
  Westring HighlightedPath(int64_t* match = nullptr) const;
  std::vector<Westring> ChosenPaths() const;
  void ToggleTag();
  void RemoveResult(const Westring& path);
  void ViewOrEdit(bool edit, bool alternate);
  void CopyOrMove(bool move);
  void DeleteHighlighted();
  void DeleteTagged();
  void Sort(FindSortOrder order);
  void Replace();

  CPanel& m_active;
  CPanel& m_other;
  int m_side;
  Dialog m_dialog;
  CFileFinder m_finder;
  bool m_searched = false;

  Westring m_spec;
  Westring m_text;
  int32_t m_codePage = 0;
  uint8_t m_root = 0, m_recurse = 0, m_case = 0, m_wholeWord = 0;
  int m_selected = 0;
  int m_listIndex = -1;
  int m_statusIndex = -1;

  // The painter and what orders its painting against the dialog thread's
  // windows: while paused, another window covers the dialog.
  std::mutex m_paintLock;
  bool m_paused = true;  // until the dialog first runs
  int m_shownCount = 0;
  SyncEvent m_painterStop;
  ThreadHandle m_painter = 0;
};

// The last search's texts stay for the next opening.
Westring& LastSpecification() {
  static Westring spec(L"*");
  return spec;
}
Westring& LastText() {
  static Westring text;
  return text;
}

CFindDialog::CFindDialog(CPanel& active, CPanel& other, int side)
    : m_active(active),
      m_other(other),
      m_side(side),
      m_dialog(0, 2, g_console->Columns() - 1, g_console->Lines() - 5, Colour(ColourClass::Messages)) {
  m_spec = LastSpecification();
  m_text = LastText();
  m_root = g_settings.ffRootSearch;
  m_recurse = g_settings.ffRecurse;
  m_case = g_settings.ffCase;
  m_wholeWord = g_settings.ffWholeWord;
  Build();
  m_painter = StartThread(&CFindDialog::PainterMain, this);
}

CFindDialog::~CFindDialog() {
  m_finder.Stop();
  m_painterStop.Signal();
  if (m_painter != 0) JoinThread(m_painter);
}

void CFindDialog::Build() {
  m_dialog.DrawTitle(Westring(" File Find "));
  m_dialog.AddStringField(kFieldColumn, 0, true, &m_spec, kSpecWidth, kTextMaxLength, kSpecHistory);
  m_dialog.AddStringField(kFieldColumn, 1, true, &m_text, kSpecWidth, kTextMaxLength, ViewerSearchHistory);
  m_dialog.AddIntegerField(kFieldColumn, 2, true, &m_codePage, kCodePageWidth);
  m_dialog.AddCheckBox(kOptionColumn, 0, true, &m_root, "Start at Root", true);
  m_dialog.AddCheckBox(kOptionColumn, 1, true, &m_recurse, "Scan subdirectories", true);
  m_dialog.AddCheckBox(kOptionColumn, 2, true, &m_case, "Case sensitive", true);
  m_dialog.AddCheckBox(kOptionColumn, 3, true, &m_wholeWord, "Whole Word", true);
  const int width = m_dialog.Width();
  m_statusIndex = m_dialog.Added(new CFindStatusLine(&m_dialog, 1, kStatusRow, width - 2,
                                                     [this] { return StatusText(); }));
  const int listHeight = m_dialog.Height() - kListRow - 1;
  m_listIndex = m_dialog.Added(new CFindResultList(&m_dialog, 0, kListRow, width, listHeight,
                                                   &m_finder.Results(), &m_finder.StoreLock(), &m_selected));
  AddButtons();
  m_dialog.AddStaticText(1, 0, true, "File(s) to find:");
  m_dialog.AddStaticText(1, 1, true, "Containing:");
  m_dialog.AddStaticText(1, 2, true, "CP");
  // Element i takes letter i: the three fields, the four options, the
  // status, the list and the Find button.
  static const char kHotKeys[] = {'i', 't', 'p', 'r', 's', 'c', 'w', 0, 0, 'f'};
  m_dialog.SetHotKeyList(kHotKeys, static_cast<int>(sizeof kHotKeys));
}

void CFindDialog::AddButtons() {
  static const TButtonSpec kButtons[] = {
      {kFindCode, "Find"}, {DialogResult::Cancel, "Cancel"}, {static_cast<int>(Key::F1), "Help"},
      {CFindResultList::GoToCode, "GoTo"}, {static_cast<int>(Key::F3), "View"},
      {static_cast<int>(Key::F4), "Edit"}, {0, nullptr}};
  m_dialog.AddButtonRow(-1, -1, kButtons);
}

Westring CFindDialog::StatusText() const {
  if (m_finder.Running()) {
    Westring text(L"Searching: ");
    text += FitPath(m_finder.CurrentDirectory(), m_dialog.Width() - kStatusSlack);
    return text;
  }
  if (!m_searched) return Westring();
  Westring text(m_finder.WasStopped() ? L"Search Stopped:" : L"Search Complete:");
  text = text.FitLeft(kSummaryColumn);
  const int count = m_finder.ResultCount();
  Westring total = FormatSizeAsShown(m_finder.TotalSize(), 20);
  total.Trim();
  text += Westring(std::to_string(count).c_str());
  text += count == 1 ? L" match uses " : L" matches use ";
  text += total;
  text += L" bytes";
  return text;
}

// --- The status painter -------------------------------------------------------

void* CFindDialog::PainterMain(void* self) {
  auto* dialog = static_cast<CFindDialog*>(self);
  while (dialog->m_painterStop.Wait(kPaintIntervalMs) != 0) dialog->Paint();
  return nullptr;
}

void CFindDialog::Paint() {
  std::lock_guard<std::mutex> guard(m_paintLock);
  if (m_paused) return;
  TDialogEvent refresh;
  refresh.type = TDialogEvent::Refresh;
  m_dialog.HandleEventFor(m_statusIndex, refresh);
  const int count = m_finder.ResultCount();
  if (count == m_shownCount) return;
  TDialogEvent setCount;
  setCount.type = TDialogEvent::SetCount;
  setCount.value = count;
  m_dialog.HandleEventFor(m_listIndex, setCount);
  m_shownCount = count;
}

void CFindDialog::PausePainting() {
  std::lock_guard<std::mutex> guard(m_paintLock);
  m_paused = true;
}

void CFindDialog::ResumePainting() {
  std::lock_guard<std::mutex> guard(m_paintLock);
  m_paused = false;
}

// The dialog thread's own changes to the store reach the list here.
void CFindDialog::SyncListCount() {
  std::lock_guard<std::mutex> guard(m_paintLock);
  TDialogEvent setCount;
  setCount.type = TDialogEvent::SetCount;
  setCount.value = m_finder.ResultCount();
  m_shownCount = setCount.value;
  m_dialog.HandleEventFor(m_listIndex, setCount);
}

// --- The command loop ---------------------------------------------------------

Westring CFindDialog::Run() {
  Westring goTo;
  for (;;) {
    SyncListCount();
    ResumePainting();
    const int code = m_dialog.Run();
    PausePainting();
    if (!Command(code, &goTo)) break;
  }
  m_finder.Stop();
  LastSpecification() = m_spec;
  LastText() = m_text;
  return goTo;
}

// One command of the loop; false when the dialog closes.
bool CFindDialog::Command(int code, Westring* goTo) {
  const uint32_t key = static_cast<uint32_t>(code);
  switch (key) {
    case kFindCode: StartSearch(); return true;
    case Key::Esc:
      if (!m_finder.Running()) return false;
      m_finder.Stop();
      return true;
    case CFindResultList::GoToCode:
      *goTo = HighlightedPath();
      return goTo->IsEmpty();
    case Key::F1: ShowHelp(m_dialog.Focus() == m_listIndex ? HelpTopic::FindResults : HelpTopic::FileFind); return true;
    case Key::F3: ViewOrEdit(false, false); return true;
    case Key::AltF3: ViewOrEdit(false, true); return true;
    case Key::F4: ViewOrEdit(true, false); return true;
    case Key::AltF4: ViewOrEdit(true, true); return true;
    case Key::F5: CopyOrMove(false); return true;
    case Key::F6: CopyOrMove(true); return true;
    case Key::F8: DeleteHighlighted(); return true;
    case Key::ShiftF8: DeleteTagged(); return true;
    case Key::Delete: RemoveResult(HighlightedPath()); return true;
    case Key::Insert: case ' ': ToggleTag(); return true;
    case Key::CtrlF3: Sort(FindSortOrder::Name); return true;
    case Key::CtrlF4: Sort(FindSortOrder::Extension); return true;
    case Key::CtrlF5: Sort(FindSortOrder::Time); return true;
    case Key::CtrlF6: Sort(FindSortOrder::Size); return true;
    case Key::CtrlR: Replace(); return true;
    default: return true;
  }
}

bool CFindDialog::StartSearch() {
  Westring spec = m_spec;
  spec.Trim();
  if (spec.IsEmpty()) return false;
  if (!IsValidExpression(spec.c_str())) {
    MessageBox(Westring("Syntax error in search expression"), spec, MessageStyle::Ok);
    return false;
  }
  m_dialog.CommitAll();  // the texts join their histories
  g_settings.ffRootSearch = m_root != 0;
  g_settings.ffRecurse = m_recurse != 0;
  g_settings.ffCase = m_case != 0;
  g_settings.ffWholeWord = m_wholeWord != 0;
  TFindRequest request;
  request.startDirectory = m_root ? Westring(L"/") : m_active.Directory();
  request.specification = spec;
  request.text = m_text;
  request.recurse = m_recurse != 0;
  request.caseSensitive = m_case != 0;
  request.wholeWord = m_wholeWord != 0;
  request.hidden = g_settings.hidden;
  request.codePage = m_codePage;
  m_finder.Stop();
  m_selected = 0;
  m_searched = true;
  if (int err = m_finder.Start(request)) {
    MessageBox(Westring("Cannot start the search: ") + Sys::ErrorText(err), Westring(), MessageStyle::Ok);
    return false;
  }
  // The results take the keys from now on.
  m_dialog.SetFocusTo(m_listIndex);
  return true;
}

// --- The result list's commands -------------------------------------------------

Westring CFindDialog::HighlightedPath(int64_t* match) const {
  std::lock_guard<std::mutex> guard(m_finder.StoreLock());
  const FFEntryStore& results = m_finder.Results();
  if (m_selected < 0 || m_selected >= results.Count()) return Westring();
  const entry* e = results.At(m_selected);
  if (match != nullptr) *match = MatchOf(*e);
  return Westring(e->Name());
}

// The tagged results, or the highlighted one when none is tagged.
std::vector<Westring> CFindDialog::ChosenPaths() const {
  std::vector<Westring> paths;
  {
    std::lock_guard<std::mutex> guard(m_finder.StoreLock());
    for (const entry* e : m_finder.Results())
      if (e->tagged) paths.emplace_back(e->Name());
  }
  if (paths.empty()) {
    const Westring path = HighlightedPath();
    if (!path.IsEmpty()) paths.push_back(path);
  }
  return paths;
}

void CFindDialog::ToggleTag() {
  {
    std::lock_guard<std::mutex> guard(m_finder.StoreLock());
    FFEntryStore& results = m_finder.Results();
    if (m_selected < 0 || m_selected >= results.Count()) return;
    entry* e = results.At(m_selected);
    e->tagged = e->tagged ? 0 : 1;
    if (m_selected + 1 < results.Count()) ++m_selected;
  }
  TDialogEvent refresh;
  refresh.type = TDialogEvent::Refresh;
  m_dialog.HandleEventFor(m_listIndex, refresh);
}

void CFindDialog::RemoveResult(const Westring& path) {
  if (path.IsEmpty()) return;
  std::lock_guard<std::mutex> guard(m_finder.StoreLock());
  FFEntryStore& results = m_finder.Results();
  for (int i = 0; i < results.Count(); ++i) {
    if (path != results.At(i)->Name()) continue;
    results.GoTo(i);
    results.DeleteCurrent();
    return;
  }
}

// The viewer or editor the associations choose, or the alternate one; the
// internal viewer and editor open at the match.
void CFindDialog::ViewOrEdit(bool edit, bool alternate) {
  int64_t match = -1;
  const Westring path = HighlightedPath(&match);
  if (path.IsEmpty()) return;
  struct stat status;
  if (stat(path.ToUtf8().c_str(), &status) == 0 && S_ISDIR(status.st_mode)) return;
  const Westring command = ViewerOrEditorCommand(edit, alternate, path);
  if (!command.IsEmpty()) {
    RunForPanel(command, m_side, true, path);
    return;
  }
  const int64_t offset = match >= 0 ? match : -1;
  if (edit) {
    VKEditor::Edit(path, offset, offset >= 0 ? m_finder.Request().text.Length() : 0);
    m_active.MarkForReread();
    m_other.MarkForReread();
  } else {
    RunFileViewer(path, offset);
  }
}

void CFindDialog::CopyOrMove(bool move) {
  if (m_finder.Running()) m_finder.Stop();
  const std::vector<Westring> paths = ChosenPaths();
  if (paths.empty()) return;
  const int count = static_cast<int>(paths.size());
  TCopyRequest request;
  request.destination = m_other.Directory();
  if (!RunCopyDialog(move, CopyDialogTitle(move, count, NameOf(paths[0])), m_other.Directory(), &request))
    return;
  TDestination destination;
  if (CheckDestination(request.destination, m_active.Directory(), count, &destination) != 0) return;
  TCopyContext context;
  context.overwrite = static_cast<OverwriteMode>(request.overwrite);
  for (int i = 0; i < count; ++i) {
    const Westring target = CopyTarget(destination, paths[i]);
    const int result = move ? MoveFile(paths[i], target, i + 1, count, &context)
                            : CopyFile(paths[i], target, i + 1, count, &context);
    if (result == CopyResult::Cancelled) break;
    if (move && result == 0) RemoveResult(paths[i]);
  }
  context.progress.window.reset();
  {
    std::lock_guard<std::mutex> guard(m_finder.StoreLock());
    for (entry* e : m_finder.Results()) e->tagged = 0;
  }
  m_active.MarkForReread();
  m_other.MarkForReread();
}

// Deletes one found file or directory through the delete engine; true when it went.
bool DeletePath(const Westring& path, TCopyContext* context) {
  struct stat status;
  const Estring bytes = path.ToUtf8();
  if (lstat(bytes.c_str(), &status) != 0) return false;
  const int result = S_ISDIR(status.st_mode) ? DeleteDirectory(bytes, L"*", context)
                                             : DeleteFile(bytes, DeleteMode::Single, context);
  return result == 1;
}

void CFindDialog::DeleteHighlighted() {
  if (m_finder.Running()) m_finder.Stop();
  const Westring path = HighlightedPath();
  if (path.IsEmpty()) return;
  if (AsksConfirmation(ConfirmBit::DeleteFile) &&
      MessageBox(Westring("Do you wish to delete"), path, MessageStyle::OkCancel) != 'y')
    return;
  TCopyContext context;
  if (DeletePath(path, &context)) RemoveResult(path);
  m_active.MarkForReread();
  m_other.MarkForReread();
}

void CFindDialog::DeleteTagged() {
  if (m_finder.Running()) m_finder.Stop();
  std::vector<Westring> paths;
  {
    std::lock_guard<std::mutex> guard(m_finder.StoreLock());
    for (const entry* e : m_finder.Results())
      if (e->tagged) paths.emplace_back(e->Name());
  }
  if (paths.empty()) return;
  const Westring question = Westring("Are you sure you wish to delete ") +
                            Westring(std::to_string(paths.size()).c_str()) + L" files?";
  if (MessageBox(question, Westring(), MessageStyle::OkCancel) != 'y') return;
  TCopyContext context;
  for (const Westring& path : paths)
    if (DeletePath(path, &context)) RemoveResult(path);
  m_active.MarkForReread();
  m_other.MarkForReread();
}

void CFindDialog::Sort(FindSortOrder order) {
  {
    std::lock_guard<std::mutex> guard(m_finder.StoreLock());
    SortResults(&m_finder.Results(), order);
  }
  TDialogEvent refresh;
  refresh.type = TDialogEvent::Refresh;
  m_dialog.HandleEventFor(m_listIndex, refresh);
}

// Only after a finished content search: the files found hold the text.
void CFindDialog::Replace() {
  if (m_finder.Running() || !m_searched || m_finder.Request().text.IsEmpty()) return;
  std::vector<Westring> paths;
  {
    std::lock_guard<std::mutex> guard(m_finder.StoreLock());
    for (const entry* e : m_finder.Results())
      if (!e->IsDirectory() && MatchOf(*e) >= 0) paths.emplace_back(e->Name());
  }
  if (paths.empty()) return;
  TReplaceRequest request;
  request.search = m_finder.Request().text;
  request.caseSensitive = m_finder.Request().caseSensitive;
  request.wholeWord = m_finder.Request().wholeWord;
  request.codePage = m_finder.Request().codePage;
  RunMultiReplace(paths, request);
  m_active.MarkForReread();
  m_other.MarkForReread();
}

}  // namespace

void RunFileFind(CPanel& active, CPanel& other, int side) {
  Westring goTo;
  {
    CFindDialog dialog(active, other, side);
    goTo = dialog.Run();
  }
  if (goTo.IsEmpty()) return;
  if (active.EnterDirectory(DirectoryOf(goTo)) != 0) return;
  active.PutCursorOn(NameOf(goTo).c_str());
}
