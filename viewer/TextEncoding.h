#pragma once
// The encodings the viewer and the editor read text in. The value is stored
// with each file's status record, so the numbers never change.
#include <cstdint>

#include "foundation/Westring.h"

enum TextEncoding : int {
  EncodingUtf32Le = 0,
  EncodingUtf32Be = 1,
  EncodingUtf16Le = 2,
  EncodingUtf16Be = 3,
  EncodingUtf8 = 4,
  EncodingCodePage = 5,  // single bytes through a code page
  EncodingDetect = 6,    // not known yet: found when the file is opened
};

/// Bytes per code unit: 4, 4, 2, 2, then 1 for UTF-8, a code page and "detect".
int EncodingUnitSize(int encoding);
/// True for the big-endian forms (1 and 3).
bool IsBigEndianEncoding(int encoding);
/// The byte-order mark of encodings 0 to 4 and its size in *size; null and 0
/// for the others.
const uint8_t* EncodingByteOrderMark(int encoding, int* size);
/// "UTF-32", "UTF-16", "UTF-8" or "CP<n>" (code page 0 stands for the
/// default text code page); the byte order is not part of the name. "" for
/// encoding 6 and unknown values.
Westring EncodingDisplayName(int encoding, int codePage);
