#include "viewer/TextEncoding.h"

#include "foundation/CodePage.h"
#include "foundation/Estring.h"

namespace {

// In the order they are tried: FF FE 00 00 is UTF-32LE before it is UTF-16LE.
const uint8_t Marks[5][4] = {
    {0xFF, 0xFE, 0x00, 0x00}, {0x00, 0x00, 0xFE, 0xFF}, {0xFF, 0xFE}, {0xFE, 0xFF}, {0xEF, 0xBB, 0xBF}};
const int MarkSizes[5] = {4, 4, 2, 2, 3};

}  // namespace

int EncodingUnitSize(int encoding) {
  if (encoding == EncodingUtf32Le || encoding == EncodingUtf32Be) return 4;
  if (encoding == EncodingUtf16Le || encoding == EncodingUtf16Be) return 2;
  return 1;
}

bool IsBigEndianEncoding(int encoding) { return encoding == EncodingUtf32Be || encoding == EncodingUtf16Be; }

const uint8_t* EncodingByteOrderMark(int encoding, int* size) {
  if (encoding < EncodingUtf32Le || encoding > EncodingUtf8) {
    *size = 0;
    return nullptr;
  }
  *size = MarkSizes[encoding];
  return Marks[encoding];
}

Westring EncodingDisplayName(int encoding, int codePage) {
  switch (encoding) {
    case EncodingUtf32Le:
    case EncodingUtf32Be:
      return "UTF-32";
    case EncodingUtf16Le:
    case EncodingUtf16Be:
      return "UTF-16";
    case EncodingUtf8:
      return "UTF-8";
    case EncodingCodePage:
      return Westring(Estring::Format("CP%d", codePage != 0 ? codePage : TextCodePage()).c_str());
    default:
      return "";
  }
}
