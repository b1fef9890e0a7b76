#include "fileops/internal/CommandShared.h"

#include <cerrno>
#include <cwchar>

#include "config/Settings.h"
#include "dialogs/MessageBox.h"
#include "foundation/SysCalls.h"
#include "panels/Panel.h"

bool IsCaseFilterFileSystem(const Westring& directory) {
  const Westring type = Sys::FileSystemType(directory);
  return !type.IsEmpty() && g_settings.caseFilter.FindSubNoCase(type) >= 0;
}

int RetrySkipCancel(const Westring& path, const std::function<int()>& call) {
  for (;;) {
    if (call() == 0) return 0;
    const int answer = MessageBox(Sys::ErrorText(errno), path, MessageStyle::RetrySkipCancel);
    if (answer == 's') return 's';
    if (answer != 'r') return -1;
  }
}

Westring ChosenEntriesText(const CPanel& panel, const std::vector<int>& chosen) {
  if (panel.TaggedCount() == 0 && !chosen.empty()) return Westring(panel.At(chosen[0])->Name());
  wchar_t count[32];
  std::swprintf(count, 32, L"%d file%ls", static_cast<int>(chosen.size()), chosen.size() == 1 ? L"" : L"s");
  return Westring(count);
}
