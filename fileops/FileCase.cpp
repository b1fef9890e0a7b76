// "Change case of": the case rules, the renames that never take another
// file's name, and the walk into directories with its window.
#include "fileops/FileCase.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <vector>

#include "config/Settings.h"
#include "console/Console.h"
#include "dialogs/Dialog.h"
#include "dialogs/HelpTopics.h"
#include "dialogs/Look.h"
#include "dialogs/MessageBox.h"
#include "fileops/internal/CommandShared.h"
#include "fileops/internal/CopyShared.h"
#include "panels/PathNames.h"
#include "panels/Panel.h"

namespace {

constexpr const char kRules[] = "lumn";

// After an apostrophe a new word starts only before a run of more than one
// letter that is not "ll": "O'Brien", but "don't" and "we'll".
bool StartsWordAfterApostrophe(const Westring& part, int at) {
  int run = 0;
  while (std::iswalpha(static_cast<wint_t>(part[at + run]))) ++run;
  if (run <= 1) return false;
  return !(run == 2 && std::towlower(static_cast<wint_t>(part[at])) == L'l' &&
           std::towlower(static_cast<wint_t>(part[at + 1])) == L'l');
}

Westring MixedCase(const Westring& part) {
  Westring mixed = part;
  bool wordStart = true;
  for (int i = 0; part[i] != 0; ++i) {
    const wchar_t ch = part[i];
    if (std::iswalpha(static_cast<wint_t>(ch))) {
      const wint_t c = static_cast<wint_t>(ch);
      mixed[i] = static_cast<wchar_t>(wordStart ? std::towupper(c) : std::towlower(c));
      wordStart = false;
    } else if (std::iswdigit(static_cast<wint_t>(ch))) {
      wordStart = false;
    } else {
      wordStart = ch != L'\'' || StartsWordAfterApostrophe(part, i + 1);
    }
  }
  return mixed;
}

struct TCaseChoice {
  char rules[3] = "ln";
  bool recurse = false, directories = false, files = true;
};

// Walks entries, counting them in the " Changing file case " window.
class CCaseChanger {
 public:
  explicit CCaseChanger(const TCaseChoice& choice) : m_choice(choice) {}
  ~CCaseChanger() { delete m_window; }
  CCaseChanger(const CCaseChanger&) = delete;
  CCaseChanger& operator=(const CCaseChanger&) = delete;
  /// 0, or -1 when the user cancelled or pressed a key.
  int Change(const Westring& path, bool isDirectory);

 private:
  int ChangeInside(const Westring& directory);
  void Show(const Westring& directory);

  const TCaseChoice& m_choice;
  Dialog* m_window = nullptr;
  int m_done = 0;
};

int CCaseChanger::Change(const Westring& path, bool isDirectory) {
  if (isDirectory && m_choice.recurse && ChangeInside(path) != 0) return -1;
  ++m_done;
  if (isDirectory ? !m_choice.directories : !m_choice.files) return 0;
  const Westring name = path.NamePart();
  const Westring cased = CasedName(name, m_choice.rules);
  return cased == name ? 0 : RenameToCase(path, cased);
}

int CCaseChanger::ChangeInside(const Westring& directory) {
  Show(directory);
  std::vector<Estring> names;
  if (copyengine::ListDirectory(directory.ToUtf8(), &names, true) != 0) return 0;
  for (const Estring& name : names) {
    if (g_console != nullptr && g_console->KeyPending()) {
      (void)g_console->EscPressed();
      return -1;
    }
    const Westring path = directory + L"/" + Westring(name.c_str());
    struct stat info;
    if (lstat(path.ToUtf8().c_str(), &info) != 0) continue;
    if (Change(path, S_ISDIR(info.st_mode)) != 0) return -1;
  }
  return 0;
}

void CCaseChanger::Show(const Westring& directory) {
  if (m_window == nullptr) {
    m_window = new Dialog(-1, -3, 60, 5, Colour(ColourClass::Messages));
    m_window->DrawTitle(L" Changing file case ");
  }
  const int width = m_window->Width() - 2;
  m_window->WriteText(1, 0, (L"Processing files in " + directory).FitLeft(width).c_str());
  wchar_t count[32];
  std::swprintf(count, 32, L"%d", m_done);
  m_window->WriteText(1, 1, Westring(count).FitLeft(width).c_str());
}

bool AskCase(const Westring& what, TCaseChoice* choice) {
  int name = 0, extension = 0;
  for (int i = 0; i < 4; ++i) {
    if (kRules[i] == choice->rules[0]) name = i;
    if (kRules[i] == choice->rules[1]) extension = i;
  }
  uint8_t recurse = choice->recurse, directories = choice->directories, files = choice->files;
  Dialog dialog(-1, -3, 36, 17, Colour(ColourClass::Messages));
  dialog.SetHelpTopic(HelpTopic::FileCase);
  dialog.WriteCentred(0, L"Change case of");
  dialog.WriteCentred(1, what.Left(32).c_str());
  dialog.AddStaticText(3, 3, true, "Name");
  dialog.AddStaticText(19, 3, true, "Extension");
  const char* const names[] = {"_Lower", "_Upper", "_Mixed", "_None"};
  const char* const extensions[] = {"Lo_wer", "U_pper", "M_ixed", "N_one"};
  for (int i = 0; i < 4; ++i) dialog.AddRadioButton(2, 4 + i, i == 0, &name, i, names[i]);
  for (int i = 0; i < 4; ++i) dialog.AddRadioButton(18, 4 + i, i == 0, &extension, i, extensions[i]);
  dialog.AddCheckBox(2, 9, true, &recurse, "_Recurse into directories");
  dialog.AddCheckBox(2, 10, true, &directories, "Change _directories");
  dialog.AddCheckBox(2, 11, true, &files, "Change _files");
  dialog.SetDefaultButton(dialog.AddOkCancel(-1, -1));
  if (dialog.Run() != DialogResult::Ok) return false;
  dialog.CommitAll();
  choice->rules[0] = kRules[name];
  choice->rules[1] = kRules[extension];
  choice->recurse = recurse != 0;
  choice->directories = directories != 0;
  choice->files = files != 0;
  return true;
}

TCaseChoice ChoiceFromSettings() {
  TCaseChoice choice;
  const Estring& rules = g_settings.caseMod;
  for (int i = 0; i < 2; ++i)
    if (rules.Length() > i && std::strchr(kRules, rules[i]) != nullptr) choice.rules[i] = rules[i];
  choice.recurse = g_settings.caseModRecurse;
  choice.directories = g_settings.caseModDirs;
  choice.files = g_settings.caseModFiles;
  return choice;
}

void StoreChoice(const TCaseChoice& choice) {
  g_settings.caseMod = Estring(choice.rules);
  g_settings.caseModRecurse = choice.recurse;
  g_settings.caseModDirs = choice.directories;
  g_settings.caseModFiles = choice.files;
}

}  // namespace

Westring ConvertCase(const Westring& part, char rule) {
  switch (rule) {
    case 'l': return part.Lower();
    case 'u': {
      Westring upper = part;
      for (int i = 0; part[i] != 0; ++i) upper[i] = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(part[i])));
      return upper;
    }
    case 'm': return MixedCase(part);
    default: return part;
  }
}

Westring CasedName(const Westring& name, const char* rules) {
  const int dot = name.FindLast(L'.');
  if (dot < 0) return ConvertCase(name, rules[0]);
  return ConvertCase(name.Left(dot), rules[0]) + L"." + ConvertCase(name.Mid(dot + 1), rules[1]);
}

int RenameToCase(const Westring& path, const Westring& newName) {
  const Westring target = path.DirPart() + L"/" + newName;
  const Estring from = path.ToUtf8(), to = target.ToUtf8();
  struct stat source, existing;
  if (lstat(from.c_str(), &source) != 0) return 0;
  const bool taken = lstat(to.c_str(), &existing) == 0;
  if (taken && (existing.st_ino != source.st_ino || existing.st_dev != source.st_dev)) {
    const int answer = MessageBox(L"File already exists named", target, MessageStyle::OkCancel);
    return answer == 27 ? -1 : 0;
  }
  if (!taken) return RetrySkipCancel(path, [&] { return rename(from.c_str(), to.c_str()); }) < 0 ? -1 : 0;
  // The same file under the other case: a rename onto itself does nothing.
  const Estring step = UniqueTempName(path.DirPart()).ToUtf8();
  const int first = RetrySkipCancel(path, [&] { return rename(from.c_str(), step.c_str()); });
  if (first != 0) return first < 0 ? -1 : 0;
  if (RetrySkipCancel(target, [&] { return rename(step.c_str(), to.c_str()); }) == 0) return 0;
  (void)rename(step.c_str(), from.c_str());  // back under the old name, never lost
  return -1;
}

void RunFileCase(CPanel& active, CPanel& other) {
  if (active.Type() != PanelType::Files || active.InArchive()) return;
  const std::vector<int> chosen = active.ChosenEntries();
  if (chosen.empty()) return;
  const Westring what = ChosenEntriesText(active, chosen);
  TCaseChoice choice = ChoiceFromSettings();
  if (!AskCase(what, &choice)) return;
  StoreChoice(choice);
  {
    CCaseChanger changer(choice);
    for (int index : chosen) {
      const entry& e = *active.At(index);
      if (changer.Change(active.PathOf(e.Name()), e.IsDirectory() && !e.IsLink()) != 0) break;
    }
  }
  active.MarkForReread();
  other.MarkForReread();
}
