// The five menus of the bar. The texts carry their key hints, so a menu line
// and the key it names run the same command code.
#include <cassert>
#include <cstddef>

#include "app/CommandCodes.h"
#include "app/MenuBar.h"
#include "console/KeyCodes.h"

namespace {

constexpr TMenuItem Item(const char* text, int hotIndex, uint32_t code) {
  return TMenuItem{text, hotIndex, MenuFlag::Selectable, code};
}
constexpr TMenuItem kSeparator{"", 0, 0, 0};

// The Left and Right menus share their texts; the codes differ by side, and
// so do the two items that name a side's own key.
const TMenuItem kLeftItems[] = {
    Item("Brief       AlSh-F1", 0, Cmd::BriefLeft),
    Item("Full        AlSh-F2", 0, Cmd::FullLeft),
    Item("Wide        AlSh-F3", 0, Cmd::WideLeft),
    Item("Brief-Wide  AlSh-F4", 1, Cmd::BriefWideLeft),
    Item("Unix detail AlSh-F5", 3, Cmd::UnixLeft),
    Item("Info        Ctrl-L", 0, Cmd::InfoLeft),
    Item("Tree", 0, Cmd::TreeLeft),
    Item("On/Off      Ctrl-F1", 0, Key::CtrlF1),
    kSeparator,
    Item("Name        Ctrl-F3", 0, Cmd::SortNameLeft),
    Item("Extension   Ctrl-F4", 0, Cmd::SortExtensionLeft),
    Item("Time        Ctrl-F5", 2, Cmd::SortTimeLeft),
    Item("Size        Ctrl-F6", 0, Cmd::SortSizeLeft),
    Item("Unsorted    Ctrl-F7", 0, Cmd::UnsortedLeft),
    Item("Reverse     Ctrl-F8", 2, Cmd::ReverseLeft),
    kSeparator,
    Item("Re-Read     Ctrl-R", 5, Cmd::RereadLeft),
    Item("Filter", 2, Cmd::FilterLeft),
    Item("Drive       Alt-F1", 0, Key::AltF1),
};

const TMenuItem kRightItems[] = {
    Item("Brief       AlSh-F1", 0, Cmd::BriefRight),
    Item("Full        AlSh-F2", 0, Cmd::FullRight),
    Item("Wide        AlSh-F3", 0, Cmd::WideRight),
    Item("Brief-Wide  AlSh-F4", 1, Cmd::BriefWideRight),
    Item("Unix detail AlSh-F5", 3, Cmd::UnixRight),
    Item("Info        Ctrl-L", 0, Cmd::InfoRight),
    Item("Tree", 0, Cmd::TreeRight),
    Item("On/Off      Ctrl-F2", 0, Key::CtrlF2),
    kSeparator,
    Item("Name        Ctrl-F3", 0, Cmd::SortNameRight),
    Item("Extension   Ctrl-F4", 0, Cmd::SortExtensionRight),
    Item("Time        Ctrl-F5", 2, Cmd::SortTimeRight),
    Item("Size        Ctrl-F6", 0, Cmd::SortSizeRight),
    Item("Unsorted    Ctrl-F7", 0, Cmd::UnsortedRight),
    Item("Reverse     Ctrl-F8", 2, Cmd::ReverseRight),
    kSeparator,
    Item("Re-Read     Ctrl-R", 5, Cmd::RereadRight),
    Item("Filter", 2, Cmd::FilterRight),
    Item("Drive       Alt-F2", 0, Key::AltF2),
};

const TMenuItem kFilesItems[] = {
    Item("Manual       Shift-F1", 0, Key::ShiftF1),
    Item("User Menu          F2", 0, Key::F2),
    Item("View               F3", 0, Key::F3),
    Item("Edit               F4", 0, Key::F4),
    Item("Copy               F5", 0, Key::F5),
    Item("Rename or Move     F6", 0, Key::F6),
    Item("Make Directory     F7", 2, Key::F7),
    Item("Delete             F8", 0, Key::F8),
    kSeparator,
    Item("File Attributes    Ctrl-A", 5, Key::CtrlA),
    Item("File Case          Ctrl-C", 7, Key::CtrlC),
    Item("File Date/Time", 10, Cmd::FileDateTime),
    Item("File Information   Ctrl-I", 0, Key::CtrlI),
    kSeparator,
    Item("Select Group       Grey +", 7, Cmd::SelectGroup),
    Item("Unselect Group     Grey -", 1, Cmd::UnselectGroup),
    Item("Invert Sel'n       Grey *", 0, Cmd::InvertSelection),
    Item("Restore Sel'n  Alt-Grey +", 4, Cmd::RestoreSelection),
    kSeparator,
    Item("Quit               F10", 0, Key::F10),
};

const TMenuItem kCommandsItems[] = {
    Item("Tree                 Alt-F10", 0, Key::AltF10),
    Item("File Find            Alt-F7", 0, Key::AltF7),
    Item("History              Alt-F8", 0, Key::AltF8),
    Item("EGA Lines            Alt-F9", 0, Key::AltF9),
    Item("Directory History    Alt-\\", 0, Key::AltBackslash),
    Item("Stored Paths         Alt-F5", 0, Key::AltF5),
    kSeparator,
    Item("Swap Panels          Ctrl-U", 1, Key::CtrlU),
    Item("Panels On/Off        Ctrl-O", 0, Key::CtrlO),
    Item("Compare Directories  Ctrl-K", 0, Key::CtrlK),
    Item("Calculate Dir Size   Ctrl-Q", 2, Key::CtrlQ),
    Item("Open GUI File Window Ctrl-W", 0, Key::CtrlW),
    kSeparator,
    Item("Edit Associations", 5, Cmd::EditAssociations),
    Item("Edit User Menu", 5, Cmd::EditUserMenu),
};

const TMenuItem kOptionsItems[] = {
    Item("Configuration", 0, Cmd::Configuration),
    Item("Colours", 1, Cmd::Colours),
    Item("Confirmations", 2, Cmd::Confirmations),
    kSeparator,
    Item("Hidden Files    Ctrl-H", 0, Cmd::HiddenFiles),
    Item("Path Prompt", 0, Cmd::PathPrompt),
    Item("Full Screen", 0, Cmd::FullScreen),
    Item("Clock", 4, Cmd::Clock),
    Item("Tag Directories", 0, Cmd::TagDirectories),
    Item("Thousand Separator", 3, Cmd::ThousandSeparator),
    Item("Retain Dir Count", 0, Cmd::RetainDirCount),
    kSeparator,
    Item("Save Setup      Shft-F9", 0, Cmd::SaveSetup),
};

template <size_t N>
constexpr int CountOf(const TMenuItem (&)[N]) {
  return static_cast<int>(N);
}

const TMenu kMenus[] = {
    {"  Left  ", 2, CountOf(kLeftItems), 21, kLeftItems},
    {"  Files  ", 10, CountOf(kFilesItems), 27, kFilesItems},
    {"  Commands  ", 19, CountOf(kCommandsItems), 30, kCommandsItems},
    {"  Options  ", 31, CountOf(kOptionsItems), 25, kOptionsItems},
    {"  Right  ", 42, CountOf(kRightItems), 21, kRightItems},
};

}  // namespace

int MenuCount() { return static_cast<int>(sizeof kMenus / sizeof kMenus[0]); }

const TMenu& MenuAt(int index) {
  assert(index >= 0 && index < MenuCount() && "menu index outside the bar");
  return kMenus[index];
}

const char* MenuBarText() { return "    Left    Files    Commands    Options    Right  "; }
