#pragma once
#include <cstdint>

/// Key codes as GetKey returns them: typed characters are their code
/// points, extended keys 0x10000 plus the PC scan code, 0x20000 marks Shift
/// forms, 0x40000 Ctrl with a digit, 0x200000 a mouse event.
namespace Key {
constexpr uint32_t Extended = 0x10000;
constexpr uint32_t ShiftFlag = 0x20000;
constexpr uint32_t CtrlDigit = 0x40000;
constexpr uint32_t Mouse = 0x200000;
constexpr uint32_t ModifierChange = 0x10100;

constexpr uint32_t Tab = 0x09, Enter = 0x0D, Esc = 0x1B, BackSpace = 0x10101;
constexpr uint32_t F1 = 0x1003B, F2 = 0x1003C, F3 = 0x1003D, F4 = 0x1003E, F5 = 0x1003F,
                   F6 = 0x10040, F7 = 0x10041, F8 = 0x10042, F9 = 0x10043, F10 = 0x10044,
                   F11 = 0x10085, F12 = 0x10086;
constexpr uint32_t Home = 0x10047, Up = 0x10048, PageUp = 0x10049, Left = 0x1004B,
                   Right = 0x1004D, End = 0x1004F, Down = 0x10050, PageDown = 0x10051,
                   Insert = 0x10052, Delete = 0x10053, CtrlPageUp = 0x10084, CtrlPageDown = 0x10076,
                   CtrlLeft = 0x10073, CtrlRight = 0x10074;
constexpr uint32_t AltUp = 0x10098, AltDown = 0x100A0, ShiftTab = 0x3000F;
constexpr uint32_t GreyPlus = 0x40002B, GreyMinus = 0x40002D, GreyTimes = 0x40002A;
constexpr uint32_t CtrlF3 = 0x10060, CtrlF8 = 0x10065, ShiftAltF1 = 0x30068, ShiftAltF5 = 0x3006C;
constexpr uint32_t ShiftF1 = 0x30054, CtrlF1 = 0x1005E, AltF1 = 0x10068, ShiftCtrlF1 = 0x3005E;
constexpr uint32_t ShiftF3 = 0x30056, ShiftF4 = 0x30057, ShiftF9 = 0x3005C, ShiftF10 = 0x3005D;
constexpr uint32_t AltF3 = 0x1006A, AltF4 = 0x1006B, ShiftCtrlF3 = 0x30060, ShiftCtrlF4 = 0x30061;
}  // namespace Key
