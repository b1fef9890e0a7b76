#include "app/AppTitle.h"

#include "console/Console.h"

Westring AppTitleFor(const wchar_t* text) {
  if (!text) return Westring(L"Varnak V2.40-dev");
  if (!*text) return Westring();
  Westring title(L"Varnak: ");
  title += text;
  return title;
}

void SetAppTitle(const wchar_t* text) { g_console->SetTitle(AppTitleFor(text).c_str()); }
