#include "fileops/DeleteCommand.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <vector>

#include "config/Settings.h"
#include "console/Console.h"
#include "dialogs/Look.h"
#include "dialogs/MessageBox.h"
#include "fileops/internal/CommandShared.h"
#include "fileops/CopyFiles.h"
#include "fileops/DeleteFiles.h"
#include "fileops/internal/CopyShared.h"
#include "panels/DirSearch.h"
#include "panels/Panel.h"

namespace {

constexpr int kMinDialogWidth = 52;

int DialogWidth(const Westring& text, const Westring& name) {
  return std::max({kMinDialogWidth, text.Length() + 4, name.Length() + 4});
}

// A name or directory as it fits a box: its end, where the name is.
Westring Fitted(const Westring& text) {
  const int limit = g_console->Columns() - 10;
  return text.Length() > limit ? text.Right(limit) : text;
}

// "No Undelete" is offered where DELDIR names the directory's first three
// characters.
bool OffersNoUndelete(const Westring& directory) {
  const char* deldir = getenv("DELDIR");
  return deldir != nullptr && strstr(deldir, directory.Left(3).ToUtf8().c_str()) != nullptr;
}

Westring Counted(const wchar_t* format, int count) {
  wchar_t text[96];
  std::swprintf(text, 96, format, count);
  return Westring(text);
}

// The questions before anything goes; false when the user declined.
bool Confirm(const CPanel& panel, const std::vector<int>& chosen, bool tagged, TDeleteState* state) {
  const bool offer = OffersNoUndelete(panel.Directory());
  if (tagged) {
    const int count = static_cast<int>(chosen.size());
    Westring text = Counted(L"You have selected %d file", count);
    if (count > 1) text += L's';
    if (AsksConfirmation(ConfirmBit::DeleteFile) && !CDeleteDlg(text, Westring(), offer).Ask(state))
      return false;
    return !AsksConfirmation(ConfirmBit::DeleteTagged) ||
           MessageBox(Counted(L"You are deleting %d selected files from", count),
                      Fitted(panel.Directory()), MessageStyle::OkCancel) == 'y';
  }
  const Westring name = Fitted(Westring(panel.At(chosen[0])->Name()));
  return !AsksConfirmation(ConfirmBit::DeleteFile) ||
         CDeleteDlg(Westring(L"Do you wish to delete"), name, offer).Ask(state);
}

// Each entry in panel order until one is cancelled or the user stops.
void DeleteEntries(const CPanel& panel, const std::vector<int>& chosen, bool tagged,
                   TCopyContext* context) {
  const Estring directory = panel.Directory().ToUtf8();
  for (int index : chosen) {
    const entry* e = panel.At(index);
    const Estring path = copyengine::Joined(directory, SystemName(panel.Directory(), Westring(e->Name())).c_str());
    // A link to a directory goes as a link; what it points to stays.
    const int result = e->IsDirectory() && !e->IsLink()
                           ? DeleteDirectory(path, L"*", context)
                           : DeleteFile(path, tagged ? DeleteMode::Series : DeleteMode::Single, context);
    if (result < 0 || g_breakFlag.load() == 2 || copyengine::CancelRequested(context)) break;
  }
  (void)DeleteFile(Estring(), DeleteMode::CloseWindow, context);
}

}  // namespace

CDeleteDlg::CDeleteDlg(const Westring& text, const Westring& name, bool offerNoUndelete)
    : Dialog(-1, -3, DialogWidth(text, name), offerNoUndelete ? 9 : 8, Colour(ColourClass::Messages)) {
  DrawTitle(Westring(L"Delete?"));
  WriteCentred(0, text.c_str());
  if (!name.IsEmpty()) WriteCentred(1, name.c_str());
  const int col = (Width() - 46) / 2;
  AddStaticText(col, 3, true, "Delete Read Only: ");
  SetFocusTo(AddRadioButton(col + 18, 3, false, &m_readOnly, 0, "As_k"));
  AddRadioButton(col + 28, 3, false, &m_readOnly, 1, "_All");
  AddRadioButton(col + 37, 3, false, &m_readOnly, 2, "Non_e");
  if (offerNoUndelete) AddCheckBox(col, 4, true, &m_noUndelete, "No _Undelete");
  SetDefaultButton(AddOkCancel(-1, -1));
}

bool CDeleteDlg::Ask(TDeleteState* state) {
  if (Run() != DialogResult::Ok) return false;
  CommitAll();
  state->readOnly = static_cast<ReadOnlyMode>(m_readOnly);
  state->noUndelete = m_noUndelete != 0;
  return true;
}

void RunDeleteCommand(CPanel& active, CPanel& other, bool cursorOnly) {
  const std::vector<int> chosen = active.ChosenEntries(cursorOnly);
  if (chosen.empty()) return;
  const bool tagged = !cursorOnly && active.TaggedCount() > 0;
  {
    TCopyContext context;
    if (!Confirm(active, chosen, tagged, &context.deletion)) return;
    g_breakFlag.store(1);
    DeleteEntries(active, chosen, tagged, &context);
    g_breakFlag.store(0);
  }
  active.MarkForReread();
  other.MarkForReread();
}
