#pragma once
// UTF-8 encoding and decoding between Estring/byte arrays and Westring. Pure
// functions: any thread may call them.
#include <cstdint>

class Estring;
class Westring;

/// The character stored for a sequence that decodes to 0 (overlong NUL).
constexpr wchar_t DecodedNulReplacement = static_cast<wchar_t>(0xFFFFFFFF);

/// Decodes count bytes (count < 0: up to the 0 byte) into *out, replacing its
/// content. A byte that starts no valid sequence is taken as the Latin-1 code
/// point of the same value, and a sequence decoding to 0 becomes
/// DecodedNulReplacement. Returns whether every byte was valid UTF-8.
bool DecodeUtf8(const char* bytes, int count, Westring* out);
/// Encodes a 0-terminated wide array into *out, replacing its content.
void EncodeUtf8(const wchar_t* text, Estring* out);
/// Writes one code point as 1 to 4 bytes into out; returns the byte count.
/// Values from 0x10000 up take four bytes (bits above 21 are dropped).
int EncodeUtf8Char(uint32_t codePoint, char out[4]);
