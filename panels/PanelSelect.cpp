// Tagging: single entries, every entry, by expression through the select
// and unselect group dialogs, and restoring the selection an operation took.
#include <cwchar>

#include "console/Console.h"
#include "console/KeyCodes.h"
#include "dialogs/Dialog.h"
#include "dialogs/HelpTopics.h"
#include "dialogs/Look.h"
#include "dialogs/MessageBox.h"
#include "panels/Expression.h"
#include "panels/Panel.h"

namespace {

// The group dialog's expression lives for the whole run.
Westring& GroupExpression() {
  static Westring expression(L"*");
  return expression;
}

}  // namespace

void CPanel::Tag(int index, TagMode mode) {
  entry* e = At(index);
  if (e == nullptr || e->IsUpDir() || m_type != PanelType::Files) return;
  const bool tag = mode == TagMode::Toggle ? !e->tagged : mode == TagMode::Tag;
  if (tag == (e->tagged != 0)) return;
  e->tagged = tag ? 1 : 0;
  m_taggedCount += tag ? 1 : -1;
  m_taggedBytes += tag ? e->size : -e->size;
  DrawRow(index);
  DrawStatusLine();
}

void CPanel::TagMatching(const wchar_t* expression, bool select, bool includeDirectories) {
  if (m_type != PanelType::Files) return;
  for (int i = 0; i < Count(); ++i) {
    const entry* e = At(i);
    if (e->IsDirectory() && !includeDirectories) continue;
    if (select && IsDescriptionFile(*e)) continue;
    if (expression != nullptr && EvaluateExpression(expression, *e) != 1) continue;
    Tag(i, select ? TagMode::Tag : TagMode::Untag);
  }
}

void CPanel::TagAll(TagMode mode, bool includeDirectories) {
  if (mode != TagMode::Toggle) {
    TagMatching(nullptr, mode == TagMode::Tag, includeDirectories);
    return;
  }
  if (m_type != PanelType::Files) return;
  for (int i = 0; i < Count(); ++i) {
    const entry* e = At(i);
    if (e->IsDirectory() && !includeDirectories) continue;
    if (!e->tagged && IsDescriptionFile(*e)) continue;
    Tag(i, TagMode::Toggle);
  }
}

bool CPanel::SelectGroup(bool select, bool invertDirectories) {
  if (m_type != PanelType::Files) return false;
  bool directories = select ? g_settings.tagDirs != invertDirectories : true;
  Westring expression = GroupExpression();
  for (;;) {
    Dialog dialog(-1, -3, 40, 7, Colour(ColourClass::Messages));
    dialog.SetHelpTopic(HelpTopic::SelectFiles);
    wchar_t title[64];
    std::swprintf(title, 64, L" %ls the files%-12ls ", select ? L"Select" : L"Unselect",
                  directories ? L"/directories" : L"");
    dialog.DrawTitle(Westring(title));
    dialog.AddStringField(1, 1, true, &expression, 36, 256);
    dialog.AddStaticText(-1, 3, true, " Alt-D=Dirs ");
    dialog.AddExitKey(Key::AltD);
    const int result = dialog.Run();
    if (result == DialogResult::Cancel) return false;
    dialog.CommitAll();
    if (result == static_cast<int>(Key::AltD)) {
      directories = !directories;
      continue;
    }
    if (!IsValidExpression(expression.c_str())) {
      MessageBox(Westring("Syntax error in search expression"), expression, MessageStyle::Ok);
      continue;
    }
    GroupExpression() = expression;
    break;
  }
  TagMatching(expression.c_str(), select, directories);
  return true;
}

void CPanel::RestoreSelection() {
  if (m_type != PanelType::Files) return;
  for (int i = 0; i < Count(); ++i) {
    const entry* e = At(i);
    if (e->tagged != e->previouslyTagged) Tag(i, e->previouslyTagged ? TagMode::Tag : TagMode::Untag);
  }
  Draw();
}

std::vector<int> CPanel::ChosenEntries(bool inPlace) const {
  std::vector<int> chosen;
  if (!inPlace && m_taggedCount > 0) {
    for (int i = 0; i < Count(); ++i)
      if (At(i)->tagged) chosen.push_back(i);
    return chosen;
  }
  const entry* current = CursorEntry();
  if (current != nullptr && !current->IsUpDir()) chosen.push_back(CursorIndex());
  return chosen;
}

void CPanel::SetDirectorySize(int index, int64_t size) {
  entry* e = At(index);
  if (e == nullptr) return;
  if (e->tagged) m_taggedBytes += size - e->size;
  e->size = size;
  e->sizeKnown = 1;
  m_redrawPending = true;
}
