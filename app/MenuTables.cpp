// The five menus of the bar. The texts carry their key hints, so a menu line
// and the key it names run the same command code.
#include <cassert>

#include "app/MenuBar.h"

namespace {

constexpr TMenuItem Item(const char* text, int hotIndex, uint32_t code) {
  return TMenuItem{text, hotIndex, MenuFlag::Selectable, code};
}
constexpr TMenuItem kSeparator{"", 0, 0, 0};

// The Left and Right menus share their texts; the codes differ by side, and
// so do the two items that name a side's own key.
const TMenuItem kLeftItems[] = {
    Item("Brief       AlSh-F1", 0, 0x10000D),
    Item("Full        AlSh-F2", 0, 0x10000F),
    Item("Wide        AlSh-F3", 0, 0x100014),
    Item("Brief-Wide  AlSh-F4", 1, 0x100018),
    Item("Unix detail AlSh-F5", 3, 0x10001A),
    Item("Info        Ctrl-L", 0, 0x100000),
    Item("Tree", 0, 0x100016),
    Item("On/Off      Ctrl-F1", 0, 0x1005E),
    kSeparator,
    Item("Name        Ctrl-F3", 0, 0x100001),
    Item("Extension   Ctrl-F4", 0, 0x100002),
    Item("Time        Ctrl-F5", 2, 0x100003),
    Item("Size        Ctrl-F6", 0, 0x100004),
    Item("Unsorted    Ctrl-F7", 0, 0x100005),
    Item("Reverse     Ctrl-F8", 2, 0x100006),
    kSeparator,
    Item("Re-Read     Ctrl-R", 5, 0x100013),
    Item("Filter", 2, 0x100012),
    Item("Drive       Alt-F1", 0, 0x10068),
};

const TMenuItem kRightItems[] = {
    Item("Brief       AlSh-F1", 0, 0x10000E),
    Item("Full        AlSh-F2", 0, 0x100010),
    Item("Wide        AlSh-F3", 0, 0x100015),
    Item("Brief-Wide  AlSh-F4", 1, 0x100019),
    Item("Unix detail AlSh-F5", 3, 0x10001B),
    Item("Info        Ctrl-L", 0, 0x100193),
    Item("Tree", 0, 0x100017),
    Item("On/Off      Ctrl-F2", 0, 0x1005F),
    kSeparator,
    Item("Name        Ctrl-F3", 0, 0x100007),
    Item("Extension   Ctrl-F4", 0, 0x100008),
    Item("Time        Ctrl-F5", 2, 0x100009),
    Item("Size        Ctrl-F6", 0, 0x10000A),
    Item("Unsorted    Ctrl-F7", 0, 0x10000B),
    Item("Reverse     Ctrl-F8", 2, 0x10000C),
    kSeparator,
    Item("Re-Read     Ctrl-R", 5, 0x10019B),
    Item("Filter", 2, 0x10019C),
    Item("Drive       Alt-F2", 0, 0x10069),
};

const TMenuItem kFilesItems[] = {
    Item("Manual       Shift-F1", 0, 0x30054),
    Item("User Menu          F2", 0, 0x1003C),
    Item("View               F3", 0, 0x1003D),
    Item("Edit               F4", 0, 0x1003E),
    Item("Copy               F5", 0, 0x1003F),
    Item("Rename or Move     F6", 0, 0x10040),
    Item("Make Directory     F7", 2, 0x10041),
    Item("Delete             F8", 0, 0x10042),
    kSeparator,
    Item("File Attributes    Ctrl-A", 5, 0x01),
    Item("File Case          Ctrl-C", 7, 0x03),
    Item("File Date/Time", 10, 0x100071),
    Item("File Information   Ctrl-I", 0, 0x10102),
    kSeparator,
    Item("Select Group       Grey +", 7, 0x10006D),
    Item("Unselect Group     Grey -", 1, 0x10006E),
    Item("Invert Sel'n       Grey *", 0, 0x10006F),
    Item("Restore Sel'n  Alt-Grey +", 4, 0x100072),
    kSeparator,
    Item("Quit               F10", 0, 0x10044),
};

const TMenuItem kCommandsItems[] = {
    Item("Tree                 Alt-F10", 0, 0x10071),
    Item("File Find            Alt-F7", 0, 0x1006E),
    Item("History              Alt-F8", 0, 0x1006F),
    Item("EGA Lines            Alt-F9", 0, 0x10070),
    Item("Directory History    Alt-\\", 0, 0x1002B),
    Item("Stored Paths         Alt-F5", 0, 0x1006C),
    kSeparator,
    Item("Swap Panels          Ctrl-U", 1, 0x15),
    Item("Panels On/Off        Ctrl-O", 0, 0x0F),
    Item("Compare Directories  Ctrl-K", 0, 0x0B),
    Item("Calculate Dir Size   Ctrl-Q", 2, 0x11),
    Item("Open GUI File Window Ctrl-W", 0, 0x17),
    kSeparator,
    Item("Edit Associations", 5, 0x1000D0),
    Item("Edit User Menu", 5, 0x1000D1),
};

const TMenuItem kOptionsItems[] = {
    Item("Configuration", 0, 0x10012C),
    Item("Colours", 1, 0x10012D),
    Item("Confirmations", 2, 0x100135),
    kSeparator,
    Item("Hidden Files    Ctrl-H", 0, 0x10012E),
    Item("Path Prompt", 0, 0x10012F),
    Item("Full Screen", 0, 0x100131),
    Item("Clock", 4, 0x100132),
    Item("Tag Directories", 0, 0x100133),
    Item("Thousand Separator", 3, 0x100136),
    Item("Retain Dir Count", 0, 0x100137),
    kSeparator,
    Item("Save Setup      Shft-F9", 0, 0x100134),
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
