#include "panels/Histories.h"

#include <cerrno>
#include <cstdio>
#include <string>
#include <unordered_set>
#include <vector>

#include "config/Settings.h"
#include "dialogs/InputHistory.h"
#include "foundation/StdFile.h"
#include "foundation/SysCalls.h"

namespace {

// An input-history line is "<list>" 0x19 "<text>": the marker stands second
// or third, after one or two digits.
constexpr char kListMarker = 0x19;
constexpr size_t kLongestLine = 4096;

struct THistoryState {
  WestringStore commands;
  WestringStore directories;
  Westring file;
};

int HistoryLimit() { return g_settings.maxHist > 0 ? g_settings.maxHist : 500; }

THistoryState& State() {
  static THistoryState state;
  return state;
}

void RemoveEqual(WestringStore* list, const Westring& text) {
  for (int i = list->Count() - 1; i >= 0; --i) {
    if (*list->At(i) == text) {
      list->GoTo(i);
      list->DeleteCurrent();
    }
  }
}

// One line appended to the history file; a file that cannot be written
// only loses the history of this run.
void AppendLine(const Estring& line) {
  if (State().file.IsEmpty()) return;
  StdFile out;
  const int flags = OpenFlag::Write | OpenFlag::Create | OpenFlag::Append;
  int err = out.Open(State().file, flags);
  // A first run has no per-user directory yet.
  if (err == ENOENT && Sys::MakeDirectory(State().file.DirPart()) == 0) err = out.Open(State().file, flags);
  if (err != 0) return;
  (void)out.WriteText(line + "\r\n");
  (void)out.Close();
}

Estring InputLine(int number, const Westring& text) {
  char prefix[8];
  std::snprintf(prefix, sizeof prefix, "%d%c", number, kListMarker);
  return Estring(prefix) + text.ToUtf8();
}

// The list number of an input-history line, or -1 for a command.
int ListNumberOf(const char* line, const char** text) {
  int marker = -1;
  if (line[0] != 0 && line[1] == kListMarker) marker = 1;
  else if (line[0] != 0 && line[1] != 0 && line[2] == kListMarker) marker = 2;
  if (marker < 0) return -1;
  int number = 0;
  for (int i = 0; i < marker; ++i) {
    if (line[i] < '0' || line[i] > '9') return -1;
    number = number * 10 + (line[i] - '0');
  }
  *text = line + marker + 1;
  return number < InputHistoryCount ? number : -1;
}

// Commands newest first through a set, so a file of repeated lines loads in
// linear time and each command keeps its latest place.
void KeepLatestCommands(const std::vector<Westring>& lines) {
  std::unordered_set<std::wstring> seen;
  std::vector<const Westring*> newestFirst;
  const int limit = HistoryLimit();
  for (auto line = lines.rbegin(); line != lines.rend() && static_cast<int>(newestFirst.size()) < limit; ++line)
    if (seen.insert(line->c_str()).second) newestFirst.push_back(&*line);
  WestringStore& commands = State().commands;
  for (auto command = newestFirst.rbegin(); command != newestFirst.rend(); ++command) commands.AppendCopy(**command);
}

void RewriteFile() {
  StdFile out;
  if (out.Open(State().file, OpenFlag::Write | OpenFlag::Create) != 0) return;
  for (const Westring* command : State().commands) (void)out.WriteText(command->ToUtf8() + "\r\n");
  for (int number = 0; number < InputHistoryCount; ++number) {
    const WestringStore& list = *InputHistory(number);
    const int first = list.Count() > SavedInputEntries ? list.Count() - SavedInputEntries : 0;
    for (int i = first; i < list.Count(); ++i) (void)out.WriteText(InputLine(number, *list.At(i)) + "\r\n");
  }
  (void)out.Close();
}

}  // namespace

WestringStore& CommandHistory() { return State().commands; }

void AddCommand(const Westring& given, bool doNotSave) {
  Westring command = given;
  command.TrimLeft();
  if (command.IsEmpty()) return;
  RemoveEqual(&State().commands, command);
  State().commands.AppendCopy(command);
  if (!doNotSave) AppendLine(command.ToUtf8());
}

void RemoveCommand(int index) {
  if (index < 0 || index >= State().commands.Count()) return;
  State().commands.GoTo(index);
  State().commands.DeleteCurrent();
}

void ClearHistories() {
  State().commands.Clear();
  State().directories.Clear();
  State().file = Westring();
  for (int number = 0; number < InputHistoryCount; ++number) InputHistory(number)->Clear();
  SetInputHistorySaver(nullptr);
}

void LoadHistories(const Westring& file) {
  ClearHistories();
  std::vector<Westring> commands;
  StdFile in;
  if (in.Open(file, 0) == 0) {
    std::vector<char> line(kLongestLine + 1);
    while (in.ReadLine(line.data(), line.size()) == 0) {
      const char* text = nullptr;
      const int number = ListNumberOf(line.data(), &text);
      if (number >= 0) AddToHistory(Westring::FromUtf8(text), number, true);
      else if (line[0] != 0) commands.push_back(Westring::FromUtf8(line.data()));
    }
    (void)in.Close();
  }
  KeepLatestCommands(commands);
  State().file = file;
  if (static_cast<int>(commands.size()) > HistoryLimit()) RewriteFile();
  SetInputHistorySaver([](int number, const Westring& text) { AppendLine(InputLine(number, text)); });
}

WestringStore& DirectoryHistory() { return State().directories; }

void RecordDirectory(const Westring& directory) {
  WestringStore& directories = State().directories;
  RemoveEqual(&directories, directory);
  directories.AppendCopy(directory);
  while (directories.Count() > MaxDirectoryHistory) {
    directories.First();
    directories.DeleteCurrent();
  }
}
