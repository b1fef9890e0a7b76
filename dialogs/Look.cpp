#include "dialogs/Look.h"

#include <strings.h>

#include <cstring>

const uint8_t DefaultColours[ColourClassCount] = {27, 48, 30, 62, 26, 32, 7,  112, 79,
                                                  48, 3,  63, 48, 15, 14, 7, 27, 48};
uint8_t g_colours[ColourClassCount] = {27, 48, 30, 62, 26, 32, 7,  112, 79,
                                       48, 3,  63, 48, 15, 14, 7, 27, 48};
bool g_shadows = true;
int g_scrollDelay = 10;

uint8_t ParseColourSpec(const char* spec, uint8_t start) {
  static const char* const kColourWords[8] = {"bla", "blu", "gre", "cya", "red", "mag", "yel", "whi"};
  uint8_t nibble[2] = {static_cast<uint8_t>(start & 15), static_cast<uint8_t>(start >> 4)};
  bool cleared[2] = {false, false};
  int side = 0;  // 0 foreground, 1 background
  for (const char* p = spec; p && *p;) {
    while (*p == ' ') ++p;
    const char* word = p;
    while (*p && *p != ' ') ++p;
    const size_t length = static_cast<size_t>(p - word);
    if (length == 0) break;
    auto is = [&](const char* name) {
      return length >= strlen(name) && strncasecmp(word, name, strlen(name)) == 0;
    };
    if (length == 2 && strncasecmp(word, "on", 2) == 0) {
      side = 1;
      continue;
    }
    auto clearOnce = [&] {
      if (!cleared[side]) nibble[side] = 0;
      cleared[side] = true;
    };
    if (is("bri")) {
      clearOnce();
      nibble[side] |= 8;
      continue;
    }
    for (int colour = 0; colour < 8; ++colour) {
      if (is(kColourWords[colour])) {
        clearOnce();
        nibble[side] = static_cast<uint8_t>((nibble[side] & 8) | colour);
        break;
      }
    }
  }
  return static_cast<uint8_t>(nibble[1] << 4 | nibble[0]);
}
