#include "console/Palette.h"

TRgb PaletteColor(int index) {
  index &= 0x0F;
  if (index == 7) return {0xC000, 0xC000, 0xC000};
  if (index == 8) return {0x8000, 0x8000, 0x8000};
  const uint16_t on = index < 8 ? 0x7FFF : 0xFFFF;
  return {static_cast<uint16_t>(index & 4 ? on : 0), static_cast<uint16_t>(index & 2 ? on : 0),
          static_cast<uint16_t>(index & 1 ? on : 0)};
}
