#include "editor/TextFileWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "foundation/CodePage.h"
#include "foundation/Utf8.h"
#include "foundation/Westring.h"

namespace VKEditor {

namespace {

// Surrogate pairs carry 20 bits above the 16-bit range.
constexpr uint32_t LastCodePoint = 0x10000 + 0xFFFFF;
constexpr uint32_t ReplacementChar = 0xFFFD;
// An encoded character takes at most this many bytes.
constexpr int MaxCharBytes = 4;

// Characters are looked at in runs of this many: loops of a fixed length
// that the compiler turns into vector code.
constexpr int Chunk = 16;

bool IsAsciiChunk(const wchar_t* text) {
  uint32_t bits = 0;
  for (int k = 0; k < Chunk; ++k) bits |= static_cast<uint32_t>(text[k]);
  return bits < 0x80;
}

int64_t Utf8Length(const wchar_t* text, int count) {
  int64_t bytes = 0;
  for (int i = 0; i < count; ++i) {
    const uint32_t c = static_cast<uint32_t>(text[i]);
    bytes += 1 + (c >= 0x80) + (c >= 0x800) + (c >= 0x10000);
  }
  return bytes;
}

void PutUnit16(uint32_t unit, bool bigEndian, uint8_t* out) {
  out[bigEndian ? 1 : 0] = static_cast<uint8_t>(unit);
  out[bigEndian ? 0 : 1] = static_cast<uint8_t>(unit >> 8);
}

void PutUnit32(uint32_t unit, bool bigEndian, uint8_t* out) {
  for (int k = 0; k < 4; ++k) out[bigEndian ? 3 - k : k] = static_cast<uint8_t>(unit >> (8 * k));
}

}  // namespace

TCodePageTable::TCodePageTable(int codePage) {
  if (codePage == 0) codePage = TextCodePage();
  char bytes[255];
  for (int b = 1; b < 256; ++b) bytes[b - 1] = static_cast<char>(b);
  Westring wide;
  CodePageToWide(bytes, 255, codePage, &wide);
  const bool converted = wide.Length() == 255;
  for (int b = 1; b < 256; ++b) m_chars[b] = converted ? wide[b - 1] : static_cast<wchar_t>(b);
  for (uint8_t& byte : m_ascii) byte = Unmapped;
  // The first byte that shows a character is the one written for it.
  for (int b = 255; b >= 0; --b) {
    const wchar_t ch = m_chars[b];
    if (ch == UnmappableCharacter && b != 0) continue;
    if (ch >= 0 && ch < 128) {
      m_ascii[ch] = static_cast<uint8_t>(b);
    } else {
      m_bytes[ch] = static_cast<uint8_t>(b);
    }
  }
}

CTextFileWriter::CTextFileWriter() : m_buffer(std::make_unique<uint8_t[]>(BufferBytes)) {}

CTextFileWriter::~CTextFileWriter() = default;

int CTextFileWriter::OpenInPlace(const Westring& name) {
  m_used = 0;
  m_offset = 0;
  // Append only keeps the open from cutting the file; writing starts at 0.
  return Open(name, OpenFlag::Write | OpenFlag::Append | OpenFlag::Create);
}

void CTextFileWriter::SetFormat(const TFileFormat& format) {
  m_format = format;
  if (format.encoding == EncodingCodePage)
    m_codePage = std::make_unique<TCodePageTable>(format.codePage);
}

int64_t CTextFileWriter::ByteOrderMarkLength() const {
  int size = 0;
  if (m_format.byteOrderMark) (void)EncodingByteOrderMark(m_format.encoding, &size);
  return size;
}

int64_t CTextFileWriter::LineEndLength() const { return m_format.lineEnds == LineEndLf ? 1 : 2; }

int64_t CTextFileWriter::EncodedLength(const wchar_t* text, int length) const {
  switch (m_format.encoding) {
    case EncodingUtf32Le:
    case EncodingUtf32Be:
      return int64_t{4} * length;
    case EncodingUtf16Le:
    case EncodingUtf16Be: {
      int64_t bytes = 0;
      for (int i = 0; i < length; ++i)
        bytes += static_cast<uint32_t>(text[i]) > 0xFFFF &&
                         static_cast<uint32_t>(text[i]) <= LastCodePoint
                     ? 4
                     : 2;
      return bytes;
    }
    case EncodingUtf8: {
      int64_t bytes = 0;
      int i = 0;
      for (; i + Chunk <= length; i += Chunk)
        bytes += IsAsciiChunk(text + i) ? Chunk : Utf8Length(text + i, Chunk);
      return bytes + Utf8Length(text + i, length - i);
    }
    default:
      return length;
  }
}

int CTextFileWriter::Encode(wchar_t ch, uint8_t* out) const {
  uint32_t c = static_cast<uint32_t>(ch);
  switch (m_format.encoding) {
    case EncodingUtf32Le:
    case EncodingUtf32Be:
      PutUnit32(c > LastCodePoint ? ReplacementChar : c, m_format.encoding == EncodingUtf32Be, out);
      return 4;
    case EncodingUtf16Le:
    case EncodingUtf16Be: {
      const bool big = m_format.encoding == EncodingUtf16Be;
      if (c <= 0xFFFF || c > LastCodePoint) {
        PutUnit16(c > LastCodePoint ? ReplacementChar : c, big, out);
        return 2;
      }
      // Characters beyond the 16-bit range go out as a surrogate pair, so
      // that no text is lost; the loader joins the pair into one character.
      c -= 0x10000;
      PutUnit16(0xD800 | (c >> 10), big, out);
      PutUnit16(0xDC00 | (c & 0x3FF), big, out + 2);
      return 4;
    }
    case EncodingUtf8:
      if (c < 0x80) {
        out[0] = static_cast<uint8_t>(c);
        return 1;
      }
      return EncodeUtf8Char(c, reinterpret_cast<char*>(out));
    default:
      out[0] = m_codePage->Byte(ch);
      return 1;
  }
}

int CTextFileWriter::Reserve(int64_t length) {
  if (length <= 0) return 0;
  if (int err = Flush()) return err;
  struct stat before {};
  if (fstat(Descriptor(), &before) != 0) return errno;
  const int err = posix_fallocate(Descriptor(), 0, length);
  // A reservation that failed half-way may have moved the end of the file.
  if (err != 0 && ftruncate(Descriptor(), before.st_size) != 0) return err;
  return err;
}

int CTextFileWriter::WriteByteOrderMark() {
  int size = 0;
  const uint8_t* mark =
      m_format.byteOrderMark ? EncodingByteOrderMark(m_format.encoding, &size) : nullptr;
  if (!mark) return 0;
  memcpy(m_buffer.get() + m_used, mark, static_cast<size_t>(size));
  m_used += size;
  return 0;
}

int CTextFileWriter::EncodeRun(const wchar_t* text, int count, uint8_t* out) const {
  switch (m_format.encoding) {
    case EncodingUtf8: {
      uint8_t* at = out;
      int i = 0;
      for (; i + Chunk <= count && IsAsciiChunk(text + i); i += Chunk, at += Chunk)
        for (int k = 0; k < Chunk; ++k) at[k] = static_cast<uint8_t>(text[i + k]);
      for (; i < count; ++i) {
        const uint32_t c = static_cast<uint32_t>(text[i]);
        if (c < 0x80) {
          *at++ = static_cast<uint8_t>(c);
        } else {
          at += EncodeUtf8Char(c, reinterpret_cast<char*>(at));
        }
      }
      return static_cast<int>(at - out);
    }
    case EncodingCodePage:
      for (int i = 0; i < count; ++i) out[i] = m_codePage->Byte(text[i]);
      return count;
    default: {
      int bytes = 0;
      for (int i = 0; i < count; ++i) bytes += Encode(text[i], out + bytes);
      return bytes;
    }
  }
}

int CTextFileWriter::WriteChars(const wchar_t* text, int length) {
  while (length > 0) {
    // As many characters as surely fit in what is left of the buffer.
    int take = std::min(length, (BufferBytes - m_used) / MaxCharBytes);
    if (take == 0) {
      if (int err = Flush()) return err;
      take = std::min(length, BufferBytes / MaxCharBytes);
    }
    m_used += EncodeRun(text, take, m_buffer.get() + m_used);
    text += take;
    length -= take;
  }
  return 0;
}

int CTextFileWriter::WriteLineEnd() {
  if (m_format.lineEnds == LineEndLf) return WriteChars(L"\n", 1);
  return WriteChars(L"\r\n", 2);
}

// The buffer goes straight to the descriptor at the writer's own offset;
// the file's own buffer is never used, so the two cannot get mixed.
int CTextFileWriter::Flush() {
  const uint8_t* data = m_buffer.get();
  size_t left = static_cast<size_t>(m_used);
  m_used = 0;
  while (left > 0) {
    const ssize_t n = pwrite(Descriptor(), data, left, m_offset);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) return EIO;
    data += n;
    left -= static_cast<size_t>(n);
    m_offset += n;
  }
  return 0;
}

int CTextFileWriter::CutHere() {
  if (int err = Flush()) return err;
  return ftruncate(Descriptor(), m_offset) == 0 ? 0 : errno;
}

}  // namespace VKEditor
