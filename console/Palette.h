#pragma once
#include <cstdint>

/// One palette colour in 16-bit channels, as GDK and Pango take them.
struct TRgb {
  uint16_t red = 0, green = 0, blue = 0;
};

/// The 16-colour PC palette: bit 2 of the index is red, bit 1 green, bit 0
/// blue; dim colours use half intensity, index 7 is light grey and 8 dark grey.
TRgb PaletteColor(int index);
