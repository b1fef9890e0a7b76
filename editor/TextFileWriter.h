#pragma once
// Characters into the bytes of a text file: the six encodings, byte-order
// marks and line ends, with the encoded length known before the first byte
// is written so that the file's room can be reserved. One thread.
#include <cstdint>
#include <memory>
#include <unordered_map>

#include "foundation/StdFile.h"
#include "viewer/TextEncoding.h"

namespace VKEditor {

/// How lines end in the file; the values are stored, so they never change.
enum LineEndStyle : int {
  LineEndCrLf = 0,
  LineEndLf = 1,
  LineEndNotSeen = 2,  // only until reading met the first line end
};

/// How the file is written: its mark, encoding, line ends and code page.
struct TFileFormat {
  bool byteOrderMark = false;
  int encoding = EncodingUtf8;
  int lineEnds = LineEndLf;
  int codePage = 0;  // 0: the default text code page
};

/// One single-byte code page both ways. A code page iconv does not know
/// maps its bytes as Latin-1, as the viewer shows them.
class TCodePageTable {
 public:
  /// The byte written for a character the code page lacks.
  static constexpr uint8_t Unmapped = '?';

  /// Builds the table of codePage (0: the default text code page).
  explicit TCodePageTable(int codePage);
  wchar_t Char(uint8_t byte) const { return m_chars[byte]; }
  uint8_t Byte(wchar_t ch) const {
    if (ch >= 0 && ch < 128) return m_ascii[ch];
    auto found = m_bytes.find(ch);
    return found != m_bytes.end() ? found->second : Unmapped;
  }

 private:
  wchar_t m_chars[256] = {};
  uint8_t m_ascii[128] = {};
  std::unordered_map<wchar_t, uint8_t> m_bytes;
};

/// A file being written as text in one format. The descriptor and buffers
/// are owned, so it cannot be copied.
class CTextFileWriter : public StdFile {
 public:
  CTextFileWriter();
  ~CTextFileWriter();

  /// Opens name for writing, created when missing, without cutting it:
  /// the old bytes stay until they are overwritten. Returns 0 or errno.
  [[nodiscard]] int OpenInPlace(const Westring& name);
  void SetFormat(const TFileFormat& format);

  /// Bytes of the mark, when the format has one and the encoding has one.
  int64_t ByteOrderMarkLength() const;
  /// Bytes that WriteChars would write for these characters.
  int64_t EncodedLength(const wchar_t* text, int length) const;
  int64_t LineEndLength() const;

  /// Makes sure the file has disk room for length bytes without changing
  /// its content; returns 0 or errno (ENOSPC, EFBIG). On failure the file's
  /// size is what it was.
  [[nodiscard]] int Reserve(int64_t length);
  [[nodiscard]] int WriteByteOrderMark();
  /// Encodes and writes the characters; returns 0 or errno.
  [[nodiscard]] int WriteChars(const wchar_t* text, int length);
  [[nodiscard]] int WriteLineEnd();
  /// Writes what is buffered and cuts the file after the last byte written.
  [[nodiscard]] int CutHere();

 private:
  int Flush();
  int Encode(wchar_t ch, uint8_t* out) const;
  int EncodeRun(const wchar_t* text, int count, uint8_t* out) const;

  static constexpr int BufferBytes = 1 << 20;
  TFileFormat m_format;
  std::unique_ptr<uint8_t[]> m_buffer;
  int m_used = 0;
  int64_t m_offset = 0;  // where the buffer's first byte goes
  std::unique_ptr<TCodePageTable> m_codePage;
};

}  // namespace VKEditor
