#include "config/LocaleConventions.h"

#include <langinfo.h>
#include <strings.h>

#include <cctype>

#include "foundation/NumberFormat.h"
#include "foundation/Westring.h"

int g_dateOrder = 0;
Estring g_dateFormat = "%02d/%02d/%02d";

void SetDateConventions(const char* localeDateFormat) {
  Estring order;
  char separator = 0;
  for (const char* p = localeDateFormat; *p; ++p) {
    const unsigned char ch = static_cast<unsigned char>(*p);
    if (isalpha(ch))
      order += static_cast<char>(ch);
    else if (!separator && !isdigit(ch) && ch != '%')
      separator = static_cast<char>(ch);
  }
  if (!separator) separator = '/';
  g_dateFormat = Estring::Format("%%02d%c%%02d%c%%02d", separator, separator);
  g_dateOrder = strcasecmp(order.c_str(), "mdy") == 0 ? 0 : strcasecmp(order.c_str(), "dmy") == 0 ? 1 : 2;
}

void ApplyLocaleConventions() {
  const Westring thousands(nl_langinfo(THOUSEP));
  g_thousandsSeparator = thousands.IsEmpty() ? L',' : thousands[0];
  SetDateConventions(nl_langinfo(D_FMT));
}
