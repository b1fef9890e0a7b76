#pragma once
#include <cstdint>

/// Key codes as GetKey returns them, the one vocabulary every dispatcher
/// uses: typed characters are their code points, Ctrl with a letter its
/// control code, extended keys 0x10000 plus the PC scan code, 0x20000 marks
/// Shift forms, 0x40000 Ctrl with a digit, 0x200000 a mouse event. Every key
/// of the translation table (console/KeyTable.cpp) has its name here.
namespace Key {
constexpr uint32_t Extended = 0x10000;
constexpr uint32_t ShiftFlag = 0x20000;
constexpr uint32_t CtrlDigit = 0x40000;
constexpr uint32_t Mouse = 0x200000;
/// A modifier key went down or up: only the function-key bar changes.
constexpr uint32_t ModifierChange = 0x10100;

// No modifier.
constexpr uint32_t Tab = 0x09, Enter = 0x0D, Esc = 0x1B, Space = 0x20, BackSpace = 0x10101;
constexpr uint32_t F1 = 0x1003B, F2 = 0x1003C, F3 = 0x1003D, F4 = 0x1003E, F5 = 0x1003F,
                   F6 = 0x10040, F7 = 0x10041, F8 = 0x10042, F9 = 0x10043, F10 = 0x10044,
                   F11 = 0x10085, F12 = 0x10086;
constexpr uint32_t Home = 0x10047, Up = 0x10048, PageUp = 0x10049, Left = 0x1004B,
                   Right = 0x1004D, End = 0x1004F, Down = 0x10050, PageDown = 0x10051,
                   Insert = 0x10052, Delete = 0x10053;
/// The keypad's plus, minus and times keys.
constexpr uint32_t GreyPlus = 0x40002B, GreyMinus = 0x40002D, GreyTimes = 0x40002A;

// Ctrl with a letter is its control code; Ctrl+I and Ctrl+M have codes of
// their own so they stay apart from Tab and Enter.
constexpr uint32_t CtrlA = 0x01, CtrlB = 0x02, CtrlC = 0x03, CtrlD = 0x04, CtrlE = 0x05,
                   CtrlF = 0x06, CtrlG = 0x07, CtrlH = 0x08, CtrlI = 0x10102, CtrlJ = 0x0A,
                   CtrlK = 0x0B, CtrlL = 0x0C, CtrlM = 0x10103, CtrlN = 0x0E, CtrlO = 0x0F,
                   CtrlP = 0x10, CtrlQ = 0x11, CtrlR = 0x12, CtrlS = 0x13, CtrlT = 0x14,
                   CtrlU = 0x15, CtrlV = 0x16, CtrlW = 0x17, CtrlX = 0x18, CtrlY = 0x19,
                   CtrlZ = 0x1A;
constexpr uint32_t CtrlEnter = 0x0A, CtrlBackSpace = 0x7F, CtrlLeftBracket = 0x1B,
                   CtrlBackslash = 0x1C, CtrlRightBracket = 0x1D, CtrlMinus = 0x1F;
constexpr uint32_t CtrlF1 = 0x1005E, CtrlF2 = 0x1005F, CtrlF3 = 0x10060, CtrlF4 = 0x10061,
                   CtrlF5 = 0x10062, CtrlF6 = 0x10063, CtrlF7 = 0x10064, CtrlF8 = 0x10065,
                   CtrlF9 = 0x10066, CtrlF10 = 0x10067, CtrlF11 = 0x10089, CtrlF12 = 0x1008A;
constexpr uint32_t CtrlHome = 0x10077, CtrlUp = 0x1008D, CtrlPageUp = 0x10084,
                   CtrlLeft = 0x10073, CtrlRight = 0x10074, CtrlEnd = 0x10075,
                   CtrlDown = 0x10091, CtrlPageDown = 0x10076, CtrlInsert = 0x10092,
                   CtrlDelete = 0x10093, CtrlTab = 0x10094;
constexpr uint32_t CtrlGreyPlus = 0x10090, CtrlGreyMinus = 0x1008E;
/// Ctrl with a main-row digit: Ctrl0 + digit (Shift adds ShiftFlag); the
/// keypad digits are CtrlKeypad0 + digit.
constexpr uint32_t Ctrl0 = 0x40000, Ctrl1 = 0x40001, Ctrl9 = 0x40009, CtrlKeypad0 = 0x40030,
                   ShiftCtrlKeypad0 = 0x60030;

// Alt. Alt with a letter is the scan code of the letter key.
constexpr uint32_t AltA = 0x1001E, AltB = 0x10030, AltC = 0x1002E, AltD = 0x10020,
                   AltE = 0x10012, AltF = 0x10021, AltG = 0x10022, AltH = 0x10023,
                   AltI = 0x10017, AltJ = 0x10024, AltK = 0x10025, AltL = 0x10026,
                   AltM = 0x10032, AltN = 0x10031, AltO = 0x10018, AltP = 0x10019,
                   AltQ = 0x10010, AltR = 0x10013, AltS = 0x1001F, AltT = 0x10014,
                   AltU = 0x10016, AltV = 0x1002F, AltW = 0x10011, AltX = 0x1002D,
                   AltY = 0x10015, AltZ = 0x1002C;
constexpr uint32_t Alt1 = 0x10078, Alt2 = 0x10079, Alt3 = 0x1007A, Alt4 = 0x1007B,
                   Alt5 = 0x1007C, Alt6 = 0x1007D, Alt7 = 0x1007E, Alt8 = 0x1007F,
                   Alt9 = 0x10080, Alt0 = 0x10081;
constexpr uint32_t AltF1 = 0x10068, AltF2 = 0x10069, AltF3 = 0x1006A, AltF4 = 0x1006B,
                   AltF5 = 0x1006C, AltF6 = 0x1006D, AltF7 = 0x1006E, AltF8 = 0x1006F,
                   AltF9 = 0x10070, AltF10 = 0x10071, AltF11 = 0x1008B, AltF12 = 0x1008C;
constexpr uint32_t AltEnter = 0x1001C, AltBackSpace = 0x1000E, AltHome = 0x10097,
                   AltUp = 0x10098, AltLeft = 0x1009B, AltRight = 0x1009D, AltDown = 0x100A0;
constexpr uint32_t AltBackslash = 0x1002B, AltPeriod = 0x10034, AltComma = 0x10033,
                   AltLeftBracket = 0x1001A, AltRightBracket = 0x1001B, AltMinus = 0x10082,
                   AltEquals = 0x10083, AltSemicolon = 0x10027, AltApostrophe = 0x10028,
                   AltBackquote = 0x10029, AltTilde = 0x10029;
constexpr uint32_t AltGreyPlus = 0x1004E, AltGreyMinus = 0x1004A;

// Shift.
constexpr uint32_t ShiftF1 = 0x30054, ShiftF2 = 0x30055, ShiftF3 = 0x30056, ShiftF4 = 0x30057,
                   ShiftF5 = 0x30058, ShiftF6 = 0x30059, ShiftF7 = 0x3005A, ShiftF8 = 0x3005B,
                   ShiftF9 = 0x3005C, ShiftF10 = 0x3005D, ShiftF11 = 0x30087, ShiftF12 = 0x30088;
constexpr uint32_t ShiftHome = 0x30047, ShiftUp = 0x30048, ShiftPageUp = 0x30049,
                   ShiftLeft = 0x3004B, ShiftRight = 0x3004D, ShiftEnd = 0x3004F,
                   ShiftDown = 0x30050, ShiftPageDown = 0x30051, ShiftInsert = 0x30052,
                   ShiftDelete = 0x30053, ShiftTab = 0x3000F;

// Shift+Ctrl.
constexpr uint32_t ShiftCtrlF1 = 0x3005E, ShiftCtrlF2 = 0x3005F, ShiftCtrlF3 = 0x30060,
                   ShiftCtrlF4 = 0x30061, ShiftCtrlF5 = 0x30062, ShiftCtrlF6 = 0x30063,
                   ShiftCtrlF7 = 0x30064, ShiftCtrlF8 = 0x30065, ShiftCtrlF9 = 0x30066,
                   ShiftCtrlF10 = 0x30067, ShiftCtrlF11 = 0x30089, ShiftCtrlF12 = 0x3008A;
constexpr uint32_t ShiftCtrlHome = 0x30077, ShiftCtrlLeft = 0x30073, ShiftCtrlRight = 0x30074,
                   ShiftCtrlEnd = 0x30075, ShiftCtrlPageUp = 0x30084,
                   ShiftCtrlPageDown = 0x30076, ShiftCtrlInsert = 0x30092,
                   ShiftCtrlEnter = 0x3001C;
constexpr uint32_t ShiftCtrlF = 0x20006, ShiftCtrlJ = 0x2000A, ShiftCtrlM = 0x30103,
                   ShiftCtrlBackslash = 0x2001C, ShiftCtrlGreyPlus = 0x30090,
                   ShiftCtrlGreyMinus = 0x3008E;

// Shift+Alt, with the characters of the shifted keys.
constexpr uint32_t ShiftAltF1 = 0x30068, ShiftAltF2 = 0x30069, ShiftAltF3 = 0x3006A,
                   ShiftAltF4 = 0x3006B, ShiftAltF5 = 0x3006C, ShiftAltF6 = 0x3006D,
                   ShiftAltF7 = 0x3006E, ShiftAltF8 = 0x3006F, ShiftAltF9 = 0x30070,
                   ShiftAltF10 = 0x30071, ShiftAltF11 = 0x3008B, ShiftAltF12 = 0x3008C;
constexpr uint32_t ShiftAltBackSpace = 0x3000E;
constexpr uint32_t AltExclamation = 0x30078, AltAt = 0x30079, AltHash = 0x3007A,
                   AltDollar = 0x3007B, AltPercent = 0x3007C, AltCaret = 0x3007D,
                   AltAmpersand = 0x3007E, AltLeftParen = 0x30080, AltRightParen = 0x30081,
                   AltUnderscore = 0x30082, AltPlus = 0x30083, AltLeftBrace = 0x3001A,
                   AltRightBrace = 0x3001B, AltColon = 0x30027, AltDoubleQuote = 0x30028;
}  // namespace Key
