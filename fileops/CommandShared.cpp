#include "fileops/internal/CommandShared.h"

#include "config/Settings.h"
#include "foundation/SysCalls.h"
#include "panels/Panel.h"

bool IsCaseFilterFileSystem(const Westring& directory) {
  const Westring type = Sys::FileSystemType(directory);
  return !type.IsEmpty() && g_settings.caseFilter.FindSubNoCase(type) >= 0;
}
