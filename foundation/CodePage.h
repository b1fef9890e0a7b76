#pragma once
// Single-byte code pages converted through iconv against "UCS-4LE", and the
// process-wide code-page settings. Conversion descriptors are opened once per
// code page and kept for the life of the process; any thread may convert.
class Estring;
class Westring;

/// The character written for a byte that the code page cannot map.
constexpr wchar_t UnmappableCharacter = 0x2302;

/// The iconv name of a code page: 878 and 20866 give "KOI8-R", 819 gives
/// "ISO-8859-1", any other n gives "CP<n>".
Estring CodePageIconvName(int codePage);
/// True when iconv can convert between the code page and UCS-4LE.
bool IsCodePageAvailable(int codePage);
/// Converts wide text to the code page, one byte per character; conversion
/// stops at the first character the code page cannot represent. An unknown
/// code page gives "".
Estring WideToCodePage(const wchar_t* text, int codePage);
/// Converts count bytes (count < 0: up to the 0 byte) into *out, replacing its
/// content; each byte that cannot be converted becomes U+2302. Returns whether
/// no byte was replaced; an unknown code page gives "" and false.
bool CodePageToWide(const char* bytes, int count, int codePage, Westring* out);

/// The code page of 8-bit text that carries no encoding of its own (archive
/// names, searched text, editor conversions); 850 unless set.
int CurrentCodePage();
/// Sets the current 8-bit text code page; 0 means 850. Any thread.
void SetCurrentCodePage(int codePage);
/// The default code page of text files in the viewer and editor; 819 unless set.
int TextCodePage();
/// Sets the text-file code page; 0 means 819. Any thread.
void SetTextCodePage(int codePage);
