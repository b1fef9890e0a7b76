// " File  Attributes ": the grid of permission cells, the digit and letter
// keys that fill a row or a column, owner and group by name (typed or
// chosen from the system's lists), and the changes applied file by file.
#include "fileops/FileAttributes.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <vector>

#include "console/KeyCodes.h"
#include "dialogs/Dialog.h"
#include "dialogs/HelpTopics.h"
#include "dialogs/Look.h"
#include "dialogs/MessageBox.h"
#include "fileops/internal/CommandShared.h"
#include "foundation/StringCollections.h"
#include "foundation/SysCalls.h"
#include "panels/Panel.h"

namespace {

constexpr int kGridColumn = 8, kCellSpacing = 4, kNameColumn = 34, kNameWidth = 8, kNameLength = 20;
constexpr const char* kRowLabels[] = {"User", "Group", "Other"};
constexpr const char kColumnLetters[] = "rwxs";

// The cell of a row (0 User, 1 Group, 2 Other) and a column (0 R .. 3 S).
int CellOf(int row, int column) { return column == 3 ? 9 + row : row * 3 + column; }

struct TFileState {
  Westring path;
  struct stat info;
};

// The stat of every chosen entry; entries that vanished are left out.
std::vector<TFileState> ChosenFiles(const CPanel& panel) {
  std::vector<TFileState> files;
  for (int index : panel.ChosenEntries()) {
    TFileState file;
    file.path = panel.PathOf(panel.At(index)->Name());
    if (lstat(file.path.ToUtf8().c_str(), &file.info) == 0) files.push_back(file);
  }
  return files;
}

// The cells to start with: each bit as the file has it, or, for tagged
// files, "keep" where they disagree.
void StartingCells(const std::vector<TFileState>& files, bool tagged, uint8_t (&cells)[kAttributeCells]) {
  for (int cell = 0; cell < kAttributeCells; ++cell) {
    const mode_t bit = AttributeBit(cell);
    const bool first = (files[0].info.st_mode & bit) != 0;
    bool same = true;
    for (const TFileState& file : files) same = same && ((file.info.st_mode & bit) != 0) == first;
    cells[cell] = !same ? CellState::Keep : first ? CellState::Set(tagged) : CellState::Clear;
  }
}

// The name all files share, or empty.
template <class IdOf, class NameOf>
Westring SharedName(const std::vector<TFileState>& files, IdOf idOf, NameOf nameOf) {
  for (const TFileState& file : files)
    if (idOf(file) != idOf(files[0])) return Westring();
  return nameOf(idOf(files[0]));
}

uid_t OwnerOf(const TFileState& file) { return file.info.st_uid; }
gid_t GroupOf(const TFileState& file) { return file.info.st_gid; }

// The system's user or group names, sorted, for the F2 list.
void SystemNames(bool groups, WestringStore* store) {
  std::vector<Westring> names;
  if (groups) {
    setgrent();
    while (const group* g = getgrent()) names.emplace_back(g->gr_name);
    endgrent();
  } else {
    setpwent();
    while (const passwd* p = getpwent()) names.emplace_back(p->pw_name);
    endpwent();
  }
  std::sort(names.begin(), names.end(), [](const Westring& a, const Westring& b) { return std::wcscmp(a.c_str(), b.c_str()) < 0; });
  for (const Westring& name : names) store->AppendCopy(name);
}

// A name picked from the system's list into *name; false after Esc.
bool PickName(bool groups, Westring* name) {
  WestringStore names;
  SystemNames(groups, &names);
  if (names.Count() == 0) return false;
  int selected = 0;
  for (int i = 0; i < names.Count(); ++i)
    if (*names.At(i) == *name) selected = i;
  const int height = std::min(names.Count(), 12);
  Dialog dialog(-1, -3, 26, height + 2, Colour(ColourClass::Messages));
  dialog.SetHelpTopic(HelpTopic::Attributes);
  dialog.DrawTitle(groups ? L" Groups " : L" Users ");
  dialog.AddListBox(1, 0, true, 22, height, &names, &selected, 0);
  if (dialog.Run() != DialogResult::Ok) return false;
  *name = *names.At(selected);
  return true;
}

// The keys that change cells: digits fill the focused row, letters step a
// cell of the focused row, capitals the whole column.
bool ApplyCellKey(uint32_t key, int row, bool tagged, uint8_t (&cells)[kAttributeCells]) {
  const uint8_t top = CellState::Set(tagged);
  if (key >= '0' && key <= '7') {
    for (int column = 0; column < 3; ++column)
      cells[CellOf(row, column)] = (key - '0') & (4 >> column) ? top : CellState::Clear;
    return true;
  }
  const wchar_t lower = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(key)));
  const char* letter = key < 0x80 ? std::strchr(kColumnLetters, static_cast<char>(lower)) : nullptr;
  if (letter == nullptr || lower == 0) return false;
  const int column = static_cast<int>(letter - kColumnLetters);
  uint8_t& cell = cells[CellOf(row, column)];
  cell = cell >= top ? CellState::Clear : static_cast<uint8_t>(cell + 1);
  if (key != static_cast<uint32_t>(lower))
    for (int other = 0; other < 3; ++other) cells[CellOf(other, column)] = cell;
  return true;
}

struct TAttributeChoice {
  uint8_t cells[kAttributeCells];
  int64_t owner = -1, group = -1;  // -1: leave as it is
};

bool AskAttributes(const Westring& what, const std::vector<TFileState>& files, bool tagged, TAttributeChoice* choice) {
  StartingCells(files, tagged, choice->cells);
  Westring owner = SharedName(files, OwnerOf, Sys::UserName);
  Westring group = SharedName(files, GroupOf, Sys::GroupName);
  Dialog dialog(-1, -3, 45, 10, Colour(ColourClass::Messages));
  dialog.SetHelpTopic(HelpTopic::Attributes);
  dialog.DrawTitle(L" File  Attributes ");
  dialog.WriteCentred(0, what.Left(41).c_str());
  dialog.AddStaticText(kGridColumn, 1, true, " R   W   X   S");
  int cellElement[kAttributeCells];
  for (int row = 0; row < 3; ++row) {
    dialog.AddStaticText(1, 2 + row, true, kRowLabels[row]);
    for (int column = 0; column < 4; ++column) {
      const int cell = CellOf(row, column);
      uint8_t* value = &choice->cells[cell];
      const int col = kGridColumn + column * kCellSpacing, line = 2 + row;
      cellElement[cell] = tagged ? dialog.AddCheckBox3S(col, line, column == 0, value, "")
                                 : dialog.AddCheckBox(col, line, column == 0, value, "");
    }
  }
  dialog.AddStaticText(kNameColumn, 1, true, "Owner");
  const int ownerField = dialog.AddStringField(kNameColumn, 2, true, &owner, kNameWidth, kNameLength);
  dialog.AddStaticText(kNameColumn, 3, true, "Group");
  const int groupField = dialog.AddStringField(kNameColumn, 4, true, &group, kNameWidth, kNameLength);
  dialog.AddStaticText(kNameColumn, 5, true, "F2=List");
  const TButtonSpec buttons[] = {{DialogResult::Ok, "OK"}, {DialogResult::Cancel, "Cancel"},
                                 {static_cast<int>(Key::F1), "Help"}, {0, nullptr}};
  dialog.SetDefaultButton(dialog.AddButtonRow(-1, -1, buttons));
  for (const char* keys : {"01234567", "rwxs", "RWXS"})
    for (const char* k = keys; *k; ++k) dialog.AddExitKey(static_cast<uint32_t>(*k));
  dialog.AddExitKey(Key::F2);
  for (;;) {
    const int result = dialog.Run();
    if (result == DialogResult::Cancel) return false;
    const int focus = dialog.Focus();
    if (result == static_cast<int>(Key::F2)) {
      if ((focus == ownerField || focus == groupField) && PickName(focus == groupField, focus == groupField ? &group : &owner))
        dialog.Draw(focus);
      continue;
    }
    if (result != DialogResult::Ok) {
      const int* hit = std::find(cellElement, cellElement + kAttributeCells, focus);
      if (hit != cellElement + kAttributeCells) {
        const int cell = static_cast<int>(hit - cellElement);
        const int row = cell >= 9 ? cell - 9 : cell / 3;
        if (ApplyCellKey(static_cast<uint32_t>(result), row, tagged, choice->cells)) dialog.Draw();
      }
      continue;
    }
    owner.Trim();
    group.Trim();
    choice->owner = owner.IsEmpty() ? -1 : Sys::UserIdByName(owner);
    choice->group = group.IsEmpty() ? -1 : Sys::GroupIdByName(group);
    if (!owner.IsEmpty() && choice->owner < 0) {
      MessageBox(L"Invalid user", owner, MessageStyle::Ok);
      continue;
    }
    if (!group.IsEmpty() && choice->group < 0) {
      MessageBox(L"Invalid group", group, MessageStyle::Ok);
      continue;
    }
    return true;
  }
}

// Owner and group first, then the mode; a skipped chown still lets the mode
// change. False when the user cancelled.
bool ChangeFile(const TFileState& file, const TAttributeChoice& choice, bool tagged) {
  const Estring path = file.path.ToUtf8();
  const uid_t uid = choice.owner < 0 ? file.info.st_uid : static_cast<uid_t>(choice.owner);
  const gid_t gid = choice.group < 0 ? file.info.st_gid : static_cast<gid_t>(choice.group);
  if ((uid != file.info.st_uid || gid != file.info.st_gid) &&
      RetrySkipCancel(file.path, [&] { return lchown(path.c_str(), uid, gid); }) < 0)
    return false;
  if (S_ISLNK(file.info.st_mode)) return true;  // a link has no mode of its own
  const mode_t mode = ApplyAttributeCells(file.info.st_mode, choice.cells, tagged);
  if (mode == (file.info.st_mode & 07777)) return true;
  return RetrySkipCancel(file.path, [&] { return chmod(path.c_str(), mode); }) >= 0;
}

}  // namespace

mode_t AttributeBit(int cell) {
  static constexpr mode_t kBits[kAttributeCells] = {S_IRUSR, S_IWUSR, S_IXUSR, S_IRGRP, S_IWGRP, S_IXGRP,
                                                    S_IROTH, S_IWOTH, S_IXOTH, S_ISUID, S_ISGID, S_ISVTX};
  return kBits[cell];
}

mode_t ApplyAttributeCells(mode_t current, const uint8_t (&cells)[kAttributeCells], bool tagged) {
  mode_t mode = current & 07777;
  for (int cell = 0; cell < kAttributeCells; ++cell) {
    if (cells[cell] == CellState::Clear) mode &= ~AttributeBit(cell);
    else if (cells[cell] == CellState::Set(tagged)) mode |= AttributeBit(cell);
  }
  return mode;
}

void RunFileAttributes(CPanel& active, CPanel& other) {
  if (active.Type() != PanelType::Files || active.InArchive()) return;
  const std::vector<TFileState> files = ChosenFiles(active);
  if (files.empty()) return;
  const bool tagged = active.TaggedCount() > 0;
  TAttributeChoice choice;
  if (!AskAttributes(ChosenEntriesText(active, active.ChosenEntries()), files, tagged, &choice)) return;
  for (const TFileState& file : files)
    if (!ChangeFile(file, choice, tagged)) break;
  active.MarkForReread();
  other.MarkForReread();
}
