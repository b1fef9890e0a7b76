#include "console/RowRuns.h"

int Utf8Length(uint32_t ch) {
  if (ch < 0x80) return 1;
  if (ch < 0x800) return 2;
  if (ch < 0x10000) return 3;
  return 4;
}

void AppendUtf8(std::string& out, uint32_t ch) {
  switch (Utf8Length(ch)) {
    case 1:
      out += static_cast<char>(ch);
      return;
    case 2:
      out += static_cast<char>(0xC0 | ch >> 6);
      break;
    case 3:
      out += static_cast<char>(0xE0 | ch >> 12);
      out += static_cast<char>(0x80 | (ch >> 6 & 0x3F));
      break;
    default:
      out += static_cast<char>(0xF0 | (ch >> 18 & 0x07));
      out += static_cast<char>(0x80 | (ch >> 12 & 0x3F));
      out += static_cast<char>(0x80 | (ch >> 6 & 0x3F));
      break;
  }
  out += static_cast<char>(0x80 | (ch & 0x3F));
}
