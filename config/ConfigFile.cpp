#include "config/ConfigFile.h"

#include <strings.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "config/Settings.h"
#include "console/Console.h"
#include "dialogs/MessageBox.h"
#include "foundation/SysCalls.h"
#include "foundation/StdFile.h"
#include "foundation/Westring.h"
#include "foundation/Wildcard.h"

const char* const ConfigSectionHeaders[ConfigSectionCount] = {
    "[Archiver:ZIP]",   "[Archiver:RAR]",  "[Archiver:LHARC]", "[Archiver:ARJ]",
    "[Archiver:ACE]",   "[Archiver:HA]",   "[Archiver:GZIP]",  "[Archiver:TAR]",
    "[Archiver:7ZIP]",  "[Archiver:BZIP2]", "[Associations]",   "[Viewer Associations]",
    "[Editor Associations]", "[Colours]", "[Directory Colours]", "[Environment]",
    "[General Options]"};

namespace {

constexpr int kNoSection = -1;
constexpr int kFirstPatternSection = 10, kLastPatternSection = 14;
constexpr int kEnvironmentSection = 15, kGeneralSection = 16;
constexpr size_t kMaxLine = 4096;

using MessageHandlerFunction = std::function<void(const Westring&, const Westring&)>;
MessageHandlerFunction& MessageHandler() {
  static MessageHandlerFunction handler;
  return handler;
}
std::vector<TConfigMessage>& CollectedMessages() {
  static std::vector<TConfigMessage> messages;
  return messages;
}
std::function<bool(const Westring&)>& PatternCheck() {
  static std::function<bool(const Westring&)> check;
  return check;
}

void Report(const Westring& text, const Westring& second = Westring()) {
  if (MessageHandler()) {
    MessageHandler()(text, second);
  } else {
    CollectedMessages().push_back({text, second});
  }
}

// A failed save names the file, the system's text and the number.
void ReportSaveError(const char* what, const Westring& path, int error) {
  Report(Westring(Estring::Format("%s: %s (%d)", what, strerror(error), error).c_str()), path);
}

// The archiver fields by the keys vk.ini names them with.
Estring* ArchiverField(TArchiverRecord& record, const char* key) {
  struct TField {
    const char* key;
    Estring TArchiverRecord::*field;
  };
  static const TField kFields[] = {
      {"Extract", &TArchiverRecord::extract},
      {"ExtractListfileSwitch", &TArchiverRecord::extractListfileSwitch},
      {"Compress", &TArchiverRecord::compress},
      {"CompressListfileSwitch", &TArchiverRecord::compressListfileSwitch},
      {"Delete", &TArchiverRecord::remove},
      {"CompressDirSpec", &TArchiverRecord::compressDirSpec},
      {"ExtractDirSpec", &TArchiverRecord::extractDirSpec},
  };
  for (const TField& f : kFields)
    if (strcasecmp(f.key, key) == 0) return &(record.*(f.field));
  return nullptr;
}

void SetEnvironment(const Westring& name, const Westring& value) {
  for (TAssociation* entry : g_environment) {
    if (entry->pattern == name) {
      entry->command = value;
      return;
    }
  }
  g_environment.Append(new TAssociation{name, value});
}

class CConfigReader {
 public:
  explicit CConfigReader(bool reload) : m_reload(reload) {}
  void ParseLine(char* line);

 private:
  void KeyValue(const Estring& key, const Estring& value);
  void Pattern(const Estring& line, int colon);

  bool m_reload;
  int m_section = kNoSection;
  int m_lineNumber = 0;
  std::set<std::string> m_reported;  // each bad key (in any case) is reported once
};

void CConfigReader::ParseLine(char* raw) {
  ++m_lineNumber;
  Estring line(raw);
  line.Trim();
  if (line.IsEmpty()) return;
  if (line[0] == '[') {
    for (int i = 0; i < ConfigSectionCount; ++i) {
      if (line.Equals(ConfigSectionHeaders[i])) {
        m_section = i;
        return;
      }
    }
  }
  const bool patterns = m_section >= kFirstPatternSection && m_section <= kLastPatternSection;
  int split;
  if (patterns) {
    split = line.Find(':');
  } else if (m_section == kGeneralSection) {
    const int equals = line.Find('='), colon = line.Find(':');
    split = equals < 0 ? colon : colon < 0 ? equals : std::min(equals, colon);
  } else {
    split = line.Find('=');
  }
  if (split < 0) return;
  if (patterns) {
    Pattern(line, split);
    return;
  }
  Estring key = line.Left(split), value = line.Mid(split + 1);
  KeyValue(key.Trim(), value.Trim());
}

void CConfigReader::KeyValue(const Estring& key, const Estring& value) {
  if (m_section >= 0 && m_section < ArchiverCount) {
    if (Estring* field = ArchiverField(g_archivers[m_section], key.c_str())) *field = value;
    return;
  }
  if (m_section == kEnvironmentSection) {
    // Kept as written; the references are expanded when the variable is set.
    SetEnvironment(Westring(key.c_str()), Westring(value.c_str()));
    return;
  }
  if (m_reload) return;
  if (const TSettingRow* row = FindSetting(key.c_str())) {
    StoreSetting(*row, value.c_str());
    return;
  }
  if (WildcardMatch("d[0-9]", key.c_str())) {
    g_settings.directories[key[1] - '0'] = Westring(value.c_str());
    return;
  }
  std::string folded = key.c_str();
  for (char& ch : folded) ch = static_cast<char>(tolower(static_cast<unsigned char>(ch)));
  if (m_reported.insert(folded).second)
    Report(Westring(
        Estring::Format("Bad directive (%s) in vk.ini, line %d", key.c_str(), m_lineNumber).c_str()));
}

// A pattern is kept as text; the check, when set, compiles it first.
void CConfigReader::Pattern(const Estring& line, int colon) {
  if (strncasecmp(line.c_str(), "[Archiver", 9) == 0) return;  // an unknown archiver's header
  Estring pattern = line.Left(colon), command = line.Mid(colon + 1);
  pattern.Trim();
  command.Trim();
  Westring widePattern(pattern.c_str()), wideCommand(command.c_str());
  if (PatternCheck() && !PatternCheck()(widePattern)) {
    Report(Westring("Syntax error in association"), widePattern + L":" + wideCommand);
    return;
  }
  g_patterns[m_section - kFirstPatternSection].Append(
      new TAssociation{std::move(widePattern), std::move(wideCommand)});
}

// After a full load the few values that are checked get sane again, and the
// console follows the screen and font settings.
void Normalise() {
  TSettings& s = g_settings;
  if (s.mouSpeed <= 0 || s.mouSpeed > 1000) s.mouSpeed = 8;
  if (s.lines > 250) s.lines = 25;
  if (s.tabWidth < 1 || s.tabWidth > 8) s.tabWidth = 8;
  if (!g_console) return;
  const int lines = s.lines > 0 ? s.lines : g_console->Lines();
  const int columns = s.columns > 0 ? s.columns : g_console->Columns();
  if (lines != g_console->Lines() || columns != g_console->Columns() ||
      s.fontSize != g_console->FontSize() || !s.fontFamily.Equals(g_console->FontFamily().c_str()))
    g_console->SetScreenSize(lines, columns, s.fontFamily.c_str(), s.fontSize);
}

void ClearLists() {
  for (auto& store : g_patterns) store.Clear();
  g_environment.Clear();
}

int WriteAll(StdFile& out) {
  // A failed write sticks to the file and is returned at the end.
  auto line = [&out](const Estring& text) { (void)out.WriteText(text + "\r\n"); };
  for (int i = 0; i < PatternSectionCount; ++i) {
    line(ConfigSectionHeaders[kFirstPatternSection + i]);
    for (const TAssociation* entry : g_patterns[i])
      line(entry->pattern.ToUtf8() + ": " + entry->command.ToUtf8());
    line("");
  }
  line(ConfigSectionHeaders[kEnvironmentSection]);
  for (const TAssociation* entry : g_environment)
    (void)out.WriteText(entry->pattern.ToUtf8() + "=" + entry->command.ToUtf8() + "\n");
  line("");
  for (int i = 0; i < ArchiverCount; ++i) {
    const TArchiverRecord& a = g_archivers[i];
    line(ConfigSectionHeaders[i]);
    line("Compress=" + a.compress);
    line("CompressListfileSwitch=" + a.compressListfileSwitch);
    line("Extract=" + a.extract);
    line("ExtractListfileSwitch=" + a.extractListfileSwitch);
    line("Delete=" + a.remove);
    line("CompressDirSpec=" + a.compressDirSpec);
    line("ExtractDirSpec=" + a.extractDirSpec);
  }
  line(ConfigSectionHeaders[kGeneralSection]);
  for (int i = 0; i < SettingRowCount(); ++i) {
    const TSettingRow& row = SettingRows()[i];
    if (row.variable) line(Estring(row.key) + "=" + SettingText(row));
  }
  for (int n = 0; n < 10; ++n) {
    if (!g_settings.directories[n].IsEmpty())
      line(Estring::Format("d%d=", n) + g_settings.directories[n].ToUtf8());
  }
  return out.LastError();
}

}  // namespace

void SetConfigMessageHandler(std::function<void(const Westring&, const Westring&)> handler) {
  MessageHandler() = std::move(handler);
}

void SetConfigMessageHandler(std::function<void(const Westring&)> handler) {
  if (!handler) {
    MessageHandler() = nullptr;
    return;
  }
  MessageHandler() = [handler = std::move(handler)](const Westring& text, const Westring& second) {
    handler(second.IsEmpty() ? text : text + L" " + second);
  };
}

std::vector<TConfigMessage> TakeConfigMessages() {
  std::vector<TConfigMessage> messages;
  messages.swap(CollectedMessages());
  return messages;
}

void SetAssociationPatternCheck(std::function<bool(const Westring&)> check) {
  PatternCheck() = std::move(check);
}

int LoadConfig(const Westring& path, bool reload) {
  if (reload) {
    ClearLists();
  } else {
    ResetSettings();
  }
  StdFile file;
  const int error = file.Open(path, 0);
  if (error == ENOENT) return 0;
  if (error) return error;
  CConfigReader reader(reload);
  char buffer[kMaxLine + 1];
  while (file.ReadLine(buffer, sizeof buffer) == 0) reader.ParseLine(buffer);
  const int readError = file.LastError();
  if (!reload) Normalise();
  return readError == -1 ? 0 : readError;
}

namespace {

// The written file takes the configuration's name; when that fails the
// user may retry (after freeing the name, say) or give up.
int ReplaceConfigFile(const Westring& temporary, const Westring& path) {
  for (;;) {
    if (rename(temporary.ToUtf8().c_str(), path.ToUtf8().c_str()) == 0) return 0;
    const int error = errno;
    const Westring text(Estring::Format("Cannot replace the configuration file: %s (%d)", strerror(error), error).c_str());
    if (!g_console || MessageBox(text, path, MessageStyle::RetrySkipCancel) != 'r') return error;
  }
}

}  // namespace

int64_t ConfigSectionOffset(const Westring& path, const char* header) {
  StdFile file;
  if (file.Open(path, 0) != 0) return -1;
  char buffer[kMaxLine];
  for (int64_t at = file.Tell(); file.ReadLine(buffer, sizeof buffer) == 0; at = file.Tell()) {
    // Headers are matched as the reader matches them: exactly, at the start.
    if (strncmp(buffer, header, strlen(header)) == 0) return at;
  }
  return -1;
}

int SaveConfig(const Westring& path) {
  if (int error = LoadConfig(path, true); error && error != ENOENT) return error;
  if (g_console && g_settings.lines != 0) g_settings.lines = g_console->Lines();
  const Westring temporary = path.AllButLast(3) + L"!!!";
  const int flags = OpenFlag::Write | OpenFlag::Create;
  StdFile out;
  int error = out.Open(temporary, flags);
  // A new account has no per-user directory until the first save.
  if (error == ENOENT && Sys::MakeDirectory(path.DirPart()) == 0) error = out.Open(temporary, flags);
  if (error) {
    ReportSaveError("Cannot create the configuration file", temporary, error);
    return error;
  }
  error = WriteAll(out);
  const int closeError = out.Close();
  if (!error) error = closeError;
  if (error) ReportSaveError("Cannot write the configuration file", temporary, error);
  else error = ReplaceConfigFile(temporary, path);
  if (error) remove(temporary.ToUtf8().c_str());
  return error;
}
