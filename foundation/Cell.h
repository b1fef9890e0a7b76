#pragma once
#include <cstdint>

/// One screen cell: a UTF-32 character and a colour attribute, packed to
/// 5 bytes so a row of cells is the layout rows, saved areas and cell strings share.
struct __attribute__((packed)) TCell {
  uint32_t ch = ' ';
  uint8_t attr = 7;
};
static_assert(sizeof(TCell) == 5, "cells are packed at 5 bytes");

namespace Color {
constexpr uint8_t Black = 0, Blue = 1, Green = 2, Cyan = 3, Red = 4, Magenta = 5,
                  Brown = 6, LightGray = 7, DarkGray = 8, LightBlue = 9,
                  LightGreen = 10, LightCyan = 11, LightRed = 12,
                  LightMagenta = 13, Yellow = 14, White = 15;
}

/// Background in the high nibble, foreground in the low nibble.
constexpr uint8_t MakeAttr(uint8_t fg, uint8_t bg) {
  return static_cast<uint8_t>(bg << 4 | (fg & 0x0F));
}
constexpr uint8_t AttrForeground(uint8_t attr) { return attr & 0x0F; }
constexpr uint8_t AttrBackground(uint8_t attr) { return attr >> 4; }
