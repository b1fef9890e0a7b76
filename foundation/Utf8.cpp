#include "foundation/Utf8.h"

#include <cstring>
#include <cwchar>

#include "foundation/Estring.h"
#include "foundation/Westring.h"

namespace {

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Tries one multi-byte sequence at bytes[0..available); returns its length (2
// to 4) and the code point, or 0 when the lead byte starts no valid form.
int DecodeSequence(const unsigned char* bytes, int available, uint32_t* codePoint) {
  unsigned char lead = bytes[0];
  if (available < 2 || !IsContinuation(bytes[1])) return 0;
  if ((lead & 0xE0) == 0xC0) {
    *codePoint = (lead & 0x1Fu) << 6 | (bytes[1] & 0x3Fu);
    return 2;
  }
  if (available < 3 || !IsContinuation(bytes[2])) return 0;
  if ((lead & 0xF0) == 0xE0) {
    *codePoint = (lead & 0x0Fu) << 12 | (bytes[1] & 0x3Fu) << 6 | (bytes[2] & 0x3Fu);
    return 3;
  }
  if (available < 4 || !IsContinuation(bytes[3])) return 0;
  if ((lead & 0xF8) == 0xF0) {
    *codePoint = (lead & 0x07u) << 18 | (bytes[1] & 0x3Fu) << 12 | (bytes[2] & 0x3Fu) << 6 |
                 (bytes[3] & 0x3Fu);
    return 4;
  }
  return 0;
}

}  // namespace

bool DecodeUtf8(const char* bytes, int count, Westring* out) {
  out->MakeRoom(0);
  if (!bytes) return true;
  if (count < 0) count = static_cast<int>(strlen(bytes));
  const auto* in = reinterpret_cast<const unsigned char*>(bytes);
  bool valid = true;
  int length = 0;
  for (int i = 0; i < count;) {
    uint32_t codePoint = in[i];
    int used = 1;
    if (codePoint >= 0x80) {
      used = DecodeSequence(in + i, count - i, &codePoint);
      if (used == 0) {
        used = 1;
        codePoint = in[i];
        valid = false;
      } else if (codePoint == 0) {
        codePoint = static_cast<uint32_t>(DecodedNulReplacement);
        valid = false;
      }
    }
    i += used;
    out->MakeRoomKeeping(length + 1);
    out->Data()[length++] = static_cast<wchar_t>(codePoint);
  }
  out->Data()[length] = 0;
  return valid;
}

int EncodeUtf8Char(uint32_t codePoint, char out[4]) {
  auto byte = [](uint32_t value) { return static_cast<char>(value & 0xFF); };
  if (codePoint < 0x80) {
    out[0] = byte(codePoint);
    return 1;
  }
  if (codePoint < 0x800) {
    out[0] = byte(0xC0 | codePoint >> 6);
    out[1] = byte(0x80 | (codePoint & 0x3F));
    return 2;
  }
  if (codePoint < 0x10000) {
    out[0] = byte(0xE0 | codePoint >> 12);
    out[1] = byte(0x80 | (codePoint >> 6 & 0x3F));
    out[2] = byte(0x80 | (codePoint & 0x3F));
    return 3;
  }
  out[0] = byte(0xF0 | (codePoint >> 18 & 0x07));
  out[1] = byte(0x80 | (codePoint >> 12 & 0x3F));
  out[2] = byte(0x80 | (codePoint >> 6 & 0x3F));
  out[3] = byte(0x80 | (codePoint & 0x3F));
  return 4;
}

void EncodeUtf8(const wchar_t* text, Estring* out) {
  int length = text ? static_cast<int>(wcslen(text)) : 0;
  out->MakeRoom(length + length / 4);
  int used = 0;
  for (int i = 0; i < length; ++i) {
    // Four bytes to spare, so one character of any size always fits.
    out->MakeRoomKeeping(used + 4);
    used += EncodeUtf8Char(static_cast<uint32_t>(text[i]), out->Data() + used);
  }
  out->Data()[used] = 0;
}
