#include "config/Startup.h"

#include <unistd.h>

#include "config/Settings.h"
#include "console/ChildEnvironment.h"
#include "console/Console.h"
#include "console/RunCommand.h"
#include "console/ScrollBack.h"
#include "dialogs/Look.h"
#include "dialogs/MessageBox.h"
#include "dialogs/StringField.h"
#include "foundation/CodePage.h"
#include "foundation/StdFile.h"

namespace {
constexpr int kMinimumColumns = 80, kMinimumLines = 25;
constexpr int kDefaultCodePage = 850;
// This system has no drive letters; the line only keeps the file's shape.
constexpr char kDriveDesignator = '/';
}  // namespace

void ApplyConfiguration() {
  const int codePage = g_settings.codePage ? g_settings.codePage : kDefaultCodePage;
  SetCurrentCodePage(codePage);
  SetTextCodePage(g_settings.textCodePage);
  g_keepScrollBack = g_settings.consoleScrollback;
  g_wordRightStopsAfterWord = g_settings.briefWordRight;
  ApplyEnvironmentSection();
  g_childProcessHooks.pathAppend = [] { return g_settings.pathAppend; };
  g_childProcessHooks.reportError = [](const Westring& message, const Westring& detail) {
    MessageBox(message, detail, MessageStyle::Ok);
  };
  if (!g_console) return;
  g_console->SetCodePage(codePage);
  g_console->SetOutputAttr(Colour(ColourClass::CommandLine));
  if (g_console->Columns() < kMinimumColumns || g_console->Lines() < kMinimumLines)
    g_console->SetScreenSize(g_console->Lines(), kMinimumColumns);
}

void ShowConfigMessages(const std::vector<TConfigMessage>& messages) {
  constexpr size_t kShown = 3;
  constexpr int kLineWidth = 72;
  if (messages.empty()) return;
  Westring text;
  for (size_t i = 0; i < messages.size() && i < kShown; ++i) {
    Westring line = messages[i].second.IsEmpty() ? messages[i].text : messages[i].text + L" " + messages[i].second;
    if (i > 0) text += L'\n';
    text += line.Left(kLineWidth);
  }
  const Westring more = messages.size() > kShown
                            ? Westring(Estring::Format("(and %zu more)", messages.size() - kShown).c_str())
                            : Westring();
  MessageBox(text, more, MessageStyle::Ok);
}

// The values keep their "$NAME" references in vk.ini; the process gets them
// expanded, in file order, so a variable may use the ones above it.
void ApplyEnvironmentSection() {
  for (const TAssociation* variable : g_environment)
    SetEnvironmentVariable(variable->pattern, ExpandPath(variable->command));
}

int WriteExitDirectoryFile(const Westring& file, const Westring& directory) {
  StdFile out;
  if (int error = out.Open(file, OpenFlag::Write | OpenFlag::Create)) return error;
  Estring text(1, kDriveDesignator);
  text += ":\r\ncd \"";
  text += directory.ToUtf8();
  text += "\"\r\n";
  (void)out.WriteText(text);
  return out.Close();
}

Westring CurrentDirectory() {
  char buffer[4096];
  return getcwd(buffer, sizeof buffer) ? Westring(buffer) : Westring(L"/");
}
