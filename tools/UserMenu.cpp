// Reading menu files: one line at a time, each classified by the first rule
// that fits ("}", "{", "!include ", an indented command line, key:title).
#include "tools/UserMenu.h"

#include <climits>
#include <cstdlib>
#include <cwctype>
#include <vector>

#include "console/KeyCodes.h"
#include "dialogs/MessageBox.h"
#include "foundation/StdFile.h"

namespace {

constexpr size_t kLineBytes = 4096;

// The function key codes by modifier (none, Ctrl, Shift, Alt), F1 to F10,
// then F11 and F12 apart.
struct TFunctionKeys {
  wchar_t modifier;
  uint32_t first, f11, f12;
};
constexpr TFunctionKeys kFunctionKeys[] = {{0, Key::F1, Key::F11, Key::F12},
                                           {L'C', Key::CtrlF1, Key::CtrlF11, Key::CtrlF12},
                                           {L'S', Key::ShiftF1, Key::ShiftF11, Key::ShiftF12},
                                           {L'A', Key::AltF1, Key::AltF11, Key::AltF12}};

uint32_t FunctionKey(wchar_t modifier, int n) {
  for (const TFunctionKeys& keys : kFunctionKeys) {
    if (keys.modifier != modifier) continue;
    if (n >= 1 && n <= 10) return keys.first + static_cast<uint32_t>(n - 1);
    if (n == 11) return keys.f11;
    if (n == 12) return keys.f12;
  }
  return 0;
}

// A number of one or two digits, or 0.
int FunctionNumber(const wchar_t* digits) {
  if (!std::iswdigit(digits[0]) || (digits[1] != 0 && (!std::iswdigit(digits[1]) || digits[2] != 0))) return 0;
  return static_cast<int>(std::wcstol(digits, nullptr, 10));
}

Westring Located(const Westring& file, int line) { return file + L":" + Westring(std::to_string(line).c_str()); }

// One file's reading, with the chain of files that include it.
class CMenuReader {
 public:
  explicit CMenuReader(std::vector<Westring>* chain) : m_chain(chain) {}
  int Read(const Westring& path, MenuStore* menu);

 private:
  // Reads lines into menu until its "}" (or the end of the file): false at
  // the end of the file.
  bool ReadMenu(MenuStore* menu, int openedAt);
  void Include(const Westring& name, MenuStore* menu);
  void AddEntry(const Westring& line, MenuStore* menu);
  bool NextLine(Westring* line);

  std::vector<Westring>* m_chain;
  StdFile m_file;
  Westring m_path;
  int m_lineNumber = 0;
  MenuEntry* m_current = nullptr;
};

bool CMenuReader::NextLine(Westring* line) {
  char buffer[kLineBytes];
  if (m_file.ReadLine(buffer, sizeof buffer) != 0) return false;
  ++m_lineNumber;
  *line = Westring(buffer);
  return true;
}

int CMenuReader::Read(const Westring& path, MenuStore* menu) {
  m_path = path;
  const int err = m_file.Open(path, 0);
  if (err != 0) return err;
  (void)ReadMenu(menu, 0);
  return 0;
}

bool CMenuReader::ReadMenu(MenuStore* menu, int openedAt) {
  Westring line;
  while (NextLine(&line)) {
    Westring trimmed = line;
    trimmed.Trim();
    if (trimmed == L"}") {
      m_current = nullptr;
      if (openedAt > 0) return true;
      return false;  // the end of the file's own menu
    }
    if (trimmed == L"{") {
      MenuEntry* owner = m_current;
      m_current = nullptr;
      if (owner == nullptr || owner->submenu) continue;
      owner->submenu = std::make_unique<MenuStore>();
      const int at = m_lineNumber;
      if (!ReadMenu(owner->submenu.get(), at)) {
        MessageBox(L"A submenu is not closed with \"}\"", Located(m_path, at), MessageStyle::Ok);
        return false;
      }
      m_current = nullptr;
      continue;
    }
    if (line.Left(9).EqualsNoCase(L"!include ")) {
      m_current = nullptr;
      Include(trimmed.Mid(9).Trim(), menu);
      continue;
    }
    if (line[0] == L' ' || line[0] == L'\t') {
      if (m_current != nullptr && !trimmed.IsEmpty()) m_current->commands.AppendCopy(trimmed);
      continue;
    }
    AddEntry(line, menu);
  }
  return false;
}

void CMenuReader::Include(const Westring& name, MenuStore* menu) {
  Westring path = name;
  if (path[0] != L'/') {
    Westring directory = m_path.DirPart();
    directory.AddTrailingSlash();
    path = directory + name;
  }
  char* resolved = realpath(path.ToUtf8().c_str(), nullptr);
  const Westring identity = resolved != nullptr ? Westring(resolved) : path;
  std::free(resolved);
  for (const Westring& reading : *m_chain) {
    if (reading != identity) continue;
    MessageBox(L"Menu files include each other in a loop", Located(m_path, m_lineNumber), MessageStyle::Ok);
    return;
  }
  if (static_cast<int>(m_chain->size()) > kMaxMenuIncludeDepth) {
    MessageBox(L"Menu files are included too deeply", Located(m_path, m_lineNumber), MessageStyle::Ok);
    return;
  }
  m_chain->push_back(identity);
  CMenuReader included(m_chain);
  if (included.Read(path, menu) != 0) MessageBox(L"Unable to open included menu", path, MessageStyle::Ok);
  m_chain->pop_back();
}

void CMenuReader::AddEntry(const Westring& line, MenuStore* menu) {
  const int colon = line.Find(L':');
  if (colon < 1) return;
  Westring keyText = line.Left(colon);
  keyText.Trim();
  keyText.FoldUpper();
  const uint32_t key = MenuKeyCode(keyText);
  if (key == 0) return;
  auto entry = std::make_unique<MenuEntry>();
  entry->key = key;
  entry->keyText = keyText;
  entry->title = line.Mid(colon + 1).Trim();
  menu->keyTextWidth = std::max(menu->keyTextWidth, keyText.Length());
  m_current = entry.get();
  menu->entries.Append(entry.release());
}

}  // namespace

uint32_t MenuKeyCode(const Westring& keyText) {
  const int length = keyText.Length();
  if (length == 1) return static_cast<uint32_t>(keyText[0]);
  if (length >= 2 && length <= 3 && keyText[0] == L'F') return FunctionKey(0, FunctionNumber(keyText.c_str() + 1));
  if (length >= 3 && length <= 4 && keyText[1] == L'F')
    return FunctionKey(keyText[0], FunctionNumber(keyText.c_str() + 2));
  return 0;
}

int ReadMenuFile(const Westring& path, MenuStore* menu) {
  std::vector<Westring> chain;
  char* resolved = realpath(path.ToUtf8().c_str(), nullptr);
  chain.push_back(resolved != nullptr ? Westring(resolved) : path);
  std::free(resolved);
  CMenuReader reader(&chain);
  return reader.Read(path, menu);
}
