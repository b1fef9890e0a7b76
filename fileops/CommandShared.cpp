#include "fileops/internal/CommandShared.h"

#include <cerrno>

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
