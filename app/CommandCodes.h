#pragma once
#include <cstdint>

/// Codes that exist only as menu commands (0x100000 and up). A menu item
/// carries a key code (console/KeyCodes.h) or one of these, and choosing it
/// dispatches the code as if it had been typed.
namespace Cmd {
constexpr uint32_t First = 0x100000;

// The Left and Right menus: one code for each side.
constexpr uint32_t BriefLeft = 0x10000D, BriefRight = 0x10000E;
constexpr uint32_t FullLeft = 0x10000F, FullRight = 0x100010;
constexpr uint32_t WideLeft = 0x100014, WideRight = 0x100015;
constexpr uint32_t BriefWideLeft = 0x100018, BriefWideRight = 0x100019;
constexpr uint32_t UnixLeft = 0x10001A, UnixRight = 0x10001B;
constexpr uint32_t InfoLeft = 0x100000, InfoRight = 0x100193;
constexpr uint32_t TreeLeft = 0x100016, TreeRight = 0x100017;
/// The six sort orders follow each other in Ctrl+F3 to Ctrl+F8 order.
constexpr uint32_t SortNameLeft = 0x100001, SortExtensionLeft = 0x100002,
                   SortTimeLeft = 0x100003, SortSizeLeft = 0x100004, UnsortedLeft = 0x100005,
                   ReverseLeft = 0x100006;
constexpr uint32_t SortNameRight = 0x100007, SortExtensionRight = 0x100008,
                   SortTimeRight = 0x100009, SortSizeRight = 0x10000A, UnsortedRight = 0x10000B,
                   ReverseRight = 0x10000C;
constexpr uint32_t RereadLeft = 0x100013, RereadRight = 0x10019B;
constexpr uint32_t FilterLeft = 0x100012, FilterRight = 0x10019C;

// The Files menu.
constexpr uint32_t FileDateTime = 0x100071;
constexpr uint32_t SelectGroup = 0x10006D, UnselectGroup = 0x10006E, InvertSelection = 0x10006F,
                   RestoreSelection = 0x100072;

// The Commands menu.
constexpr uint32_t EditAssociations = 0x1000D0, EditUserMenu = 0x1000D1;

// The Options menu.
constexpr uint32_t Configuration = 0x10012C, Colours = 0x10012D, Confirmations = 0x100135;
constexpr uint32_t HiddenFiles = 0x10012E, PathPrompt = 0x10012F, FullScreen = 0x100131,
                   Clock = 0x100132, TagDirectories = 0x100133, ThousandSeparator = 0x100136,
                   RetainDirCount = 0x100137, SaveSetup = 0x100134;
}  // namespace Cmd
