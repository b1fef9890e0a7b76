#include "console/Glyphs.h"

namespace {

// Code page 437 shows these pictures for the control codes 1..31.
constexpr uint32_t kControlPictures[32] = {
    0,      0x263A, 0x263B, 0x2665, 0x2666, 0x2663, 0x2660, 0x2022, 0x25D8, 0x25CB, 0x25D9,
    0x2642, 0x2640, 0x266A, 0x266B, 0x263C, 0x25BA, 0x25C4, 0x2195, 0x203C, 0x00B6, 0x00A7,
    0x25AC, 0x21A8, 0x2191, 0x2193, 0x2192, 0x2190, 0x221F, 0x2194, 0x25B2, 0x25BC,
};
constexpr uint32_t kHouse = 0x2302;

}  // namespace

uint32_t DisplayGlyphForFill(uint32_t ch) {
  return ch >= 1 && ch < 32 ? kControlPictures[ch] : ch;
}

uint32_t DisplayGlyph(uint32_t ch) {
  if (ch >= 127 && ch <= 159) return kHouse;
  return DisplayGlyphForFill(ch);
}
