#include "panels/FilterDialog.h"

#include <cwchar>

#include "console/Console.h"
#include "dialogs/Dialog.h"
#include "dialogs/HelpTopics.h"
#include "dialogs/Look.h"
#include "dialogs/MessageBox.h"
#include "foundation/Westring.h"
#include "panels/Expression.h"

namespace {

constexpr int kThirdDown = -3;
constexpr int kDialogWidth = 76;
constexpr int kDialogHeight = 5;
constexpr int kFieldWidth = 72;
constexpr int kFilterHistory = 7;

}  // namespace

bool RunFilterDialog(const wchar_t* sideName, Westring* filter) {
  Westring text = *filter;
  Dialog dialog(-1, kThirdDown, kDialogWidth, kDialogHeight, Colour(ColourClass::Messages));
  dialog.SetHelpTopic(HelpTopic::Filter);
  wchar_t title[64];
  std::swprintf(title, sizeof title / sizeof title[0], L" Filter for %ls panel ",
                sideName ? sideName : L"");
  dialog.DrawTitle(Westring(title));
  dialog.AddStringField(1, 1, true, &text, kFieldWidth, -1, kFilterHistory);
  // No hook checks a field before the dialog closes, so a refused text
  // runs the dialog again with the text as typed.
  for (;;) {
    if (dialog.Run() != DialogResult::Ok) return false;
    if (IsValidExpression(text.c_str())) break;
    MessageBox(Westring("Syntax error in expression"), text, MessageStyle::Ok);
  }
  dialog.CommitAll();
  *filter = text;
  return true;
}
