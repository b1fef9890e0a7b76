#include "editor/SaveAsDialog.h"

#include "dialogs/HelpTopics.h"
#include "editor/EditorText.h"
#include "viewer/FormatSelectDialog.h"

namespace VKEditor {

namespace {

constexpr int ExtraRows = 2;
constexpr int LabelColumn = 1, NameColumn = 7;
constexpr int NameWidth = 50, NameMaxLength = 512;
// Letters by element: the encoding choices, the code-page field and the two
// boxes, blanks for OK and Cancel, which come before the name field.
constexpr char HotKeys[] = "c863pbe  n";

}  // namespace

int RunSaveAsDialog(CEditorText& text) {
  const TFileFormat current = text.Format();
  CFormatSelectDlg dialog(current.encoding, current.codePage, current.byteOrderMark, ExtraRows);
  dialog.SetHelpTopic(HelpTopic::SaveAs);
  dialog.DrawTitle(L" Save As ");
  Westring name = text.FileName();
  const int row = dialog.FirstExtraRow();
  dialog.WriteHotKeyText(LabelColumn, row, L"Name:", L"n", dialog.NormalColour());
  dialog.AddStringField(NameColumn, row, true, &name, NameWidth, NameMaxLength);
  dialog.SetHotKeyList(HotKeys, sizeof HotKeys - 1);
  while (dialog.Choose()) {
    TFileFormat format = current;
    format.encoding = dialog.Encoding();
    format.codePage = dialog.CodePage();
    format.byteOrderMark = dialog.ByteOrderMark();
    if (text.SaveAs(name, format) == 0) return 0;
  }
  return -1;
}

}  // namespace VKEditor
