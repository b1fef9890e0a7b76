#pragma once
// Text on top of the viewer's block cache: characters stepped forward and
// backward in any TextEncoding, lines, line starts (text and hex mode) and
// search. One thread at a time.
#include <cstdint>
#include <functional>
#include <memory>

#include "foundation/Westring.h"
#include "viewer/TextEncoding.h"
#include "viewer/ViewFile.h"

/// One line read by ViewTextFile::ReadLine: text points into the file's line
/// buffer and stays valid until the next ReadLine. It may hold NUL characters.
struct TViewLine {
  const wchar_t* text = nullptr;
  int length = 0;
  int64_t start = 0;  // byte offset of the first character
};

/// Asked now and then during a search; true stops it.
using SearchCancelPoll = std::function<bool()>;

class ViewTextFile : public ViewFile {
 public:
  /// The longest line the viewer asks for; longer lines come in pieces.
  static constexpr int MaxLineChars = 1 << 20;
  /// Bytes of one piece of a long line: LineStart cuts lines at these.
  static constexpr int64_t LongLinePiece = int64_t{1} << 20;
  static constexpr int LineBufferInitialCapacity = 65536;
  static constexpr int HexLineBytes = 16;
  /// Search's result when the poll stopped it.
  static constexpr int64_t SearchCancelled = -2;

  ViewTextFile();
  ~ViewTextFile();

  /// Opens name in the given encoding (EncodingDetect: found from the first
  /// 32768 bytes) and code page (0: the default text code page); returns 0
  /// or errno. A byte-order mark of the encoding is skipped: the text and
  /// the position start after it.
  [[nodiscard]] int Open(const Westring& name, int encoding = EncodingDetect, int codePage = 0);
  int Close();

  /// Reads the file in another encoding from now on; EncodingDetect runs the
  /// detection again. The position moves to the data start when the mark's
  /// size changes and it would lie before it.
  void SetEncoding(int encoding, int codePage);
  int Encoding() const { return m_encoding; }
  /// As given: 0 means the default text code page.
  int CodePage() const { return m_codePage; }
  /// The code page number in use (the default text code page for 0).
  int EffectiveCodePage() const;
  bool HasByteOrderMark() const { return m_bomSize > 0; }
  int ByteOrderMarkSize() const { return m_bomSize; }
  /// Where the text starts: after the byte-order mark.
  int64_t DataStart() const { return m_bomSize; }
  bool BigEndian() const { return m_bigEndian; }
  int UnitSize() const { return EncodingUnitSize(m_encoding); }
  /// On by default; when off, NUL characters come out as spaces.
  bool KeepNul() const { return m_keepNul; }
  void SetKeepNul(bool keep) { m_keepNul = keep; }
  /// Invalid UTF-8 lead bytes met while decoding since the file was opened.
  uint64_t InvalidUtf8Count() const { return m_invalidUtf8; }

  int64_t Position() const { return m_pos; }
  /// Moves the position, held between the data start and the known size.
  void SetPosition(int64_t offset);

  /// The character at the position, which moves past it; -1 at the end (an
  /// incomplete character at the end moves the position to the end). In
  /// code-page mode the byte value: CodePageChar maps it.
  int NextChar();
  /// The character before the position, which moves to its start; -1 at the
  /// data start.
  int PrevChar();
  /// The character of byte b in the current code page; byte 0 is '.'.
  wchar_t CodePageChar(int b);

  /// Reads the line at the position, at most maxChars characters (code-page
  /// bytes mapped), without its terminator; the position moves to the next
  /// line. False, with nothing read, at the end.
  bool ReadLine(int maxChars, TViewLine* out);
  /// Start of the line that holds offset (its text or its terminator); lines
  /// longer than LongLinePiece bytes start at each piece.
  int64_t LineStart(int64_t offset);
  /// Where the line that starts at offset ends (after its terminator).
  int64_t NextLineStart(int64_t offset, int maxChars = MaxLineChars);
  /// The hex view's 16-byte rows.
  int64_t HexLineStart(int64_t offset) const;
  int64_t HexNextLineStart(int64_t offset) const;

  /// Finds pattern. Forward: the first match that starts at or after start.
  /// Reverse: the last match that ends no later than the character at start.
  /// Returns the match's byte offset, -1 when there is none, SearchCancelled
  /// when cancel said so. MatchEnd() is then the byte after the match. The
  /// position is unchanged.
  int64_t Search(const Westring& pattern, int64_t start, bool caseSensitive, bool wholeWord,
                 bool reverse, const SearchCancelPoll& cancel = nullptr);
  int64_t MatchEnd() const { return m_matchEnd; }

 private:
  struct TLandmark {
    int64_t offset = -1;
    int64_t start = -1;
  };

  void ResetState();
  void Detect();
  void ApplyEncoding(int encoding);
  void BuildCodePageTable();
  int DecodeUtf8(int64_t at, int64_t* end);
  int ReadUnit(int64_t at, int64_t* missing);
  int FinishChar(int c) const { return c == 0 && !m_keepNul ? ' ' : c; }
  bool ReadLineInto(int maxChars, bool store, int* length);
  int CopyPlainRun(int limit, bool store, int at);
  void GrowLineBuffer();
  int64_t FindLineStart(int64_t offset);
  int64_t PieceStart(int64_t offset, int64_t start) const;

  int64_t SearchChars(const Westring& pattern, int64_t start, bool caseSensitive, bool wholeWord,
                      bool reverse, const SearchCancelPoll& cancel);
  int64_t SearchBytes(const Estring& pattern, const uint8_t* fold, int64_t start, bool wholeWord,
                      bool reverse, const SearchCancelPoll& cancel);
  bool WordBoundsHold(int64_t start, int64_t end);
  bool IsWordChar(int c) const;

  int64_t m_pos = 0;
  int m_encoding = EncodingUtf8;
  int m_codePage = 0;
  int m_bomSize = 0;
  bool m_bigEndian = false;
  bool m_keepNul = true;
  uint64_t m_invalidUtf8 = 0;
  int64_t m_matchEnd = -1;
  TLandmark m_landmark;

  std::unique_ptr<wchar_t[]> m_line;
  int m_lineCapacity = 0;

  wchar_t m_cpTable[256] = {};
  int m_cpTableFor = -1;  // the code page number m_cpTable was built for
};
