#include "fileops/internal/CommandShared.h"

#include "config/Settings.h"
#include "foundation/SysCalls.h"
#include "panels/Panel.h"

std::vector<int> ChosenEntries(const CPanel& panel, bool inPlace) {
  std::vector<int> chosen;
  if (!inPlace && panel.TaggedCount() > 0) {
    for (int i = 0; i < panel.Count(); ++i)
      if (panel.At(i)->tagged) chosen.push_back(i);
    return chosen;
  }
  const entry* current = panel.CursorEntry();
  if (current != nullptr && !current->IsUpDir()) chosen.push_back(panel.CursorIndex());
  return chosen;
}

bool IsCaseFilterFileSystem(const Westring& directory) {
  const Westring type = Sys::FileSystemType(directory);
  return !type.IsEmpty() && g_settings.caseFilter.FindSubNoCase(type) >= 0;
}
