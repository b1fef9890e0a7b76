#pragma once
// The "Select File Encoding" dialog of the viewer (Alt-E) and the editor
// (its Save As adds rows below the choices). Application thread.
#include <cstdint>

#include "dialogs/Dialog.h"

/// "Select File Encoding": 60 columns, 9 rows plus extraRows that the caller fills (the
/// editor's Save As puts a file name field there, from row FirstExtraRow(); the row after
/// them stays blank above OK and Cancel). "File Format:" with the radio buttons "Code
/// Page", "UTF-8", "UTF-16", "UTF-32"; "Code Page:" with a 5-digit field, the check boxes
/// "Byte Order Mark" and "Big-Endian"; Alt hot keys "c863pbe" in that order. Encodings are
/// the TextEncoding values of viewer/TextEncoding.h.
class CFormatSelectDlg : public Dialog {
 public:
  /// Starts from encoding 0..5 (EncodingDetect shows UTF-8); a code page of 0 shows the
  /// default text code page. Moving the choice to UTF-16 or UTF-32 sets the Byte Order
  /// Mark box, moving back to the first choice gives the box its first value again.
  CFormatSelectDlg(int encoding, int codePage, bool byteOrderMark, int extraRows = 0);
  /// The interior row of the first of the caller's extra rows.
  int FirstExtraRow() const;
  /// Runs the dialog; true on Enter/OK, then the accessors hold the choice (and the
  /// caller's fields are committed). False on Esc/Cancel.
  bool Choose();
  /// Code Page 5, UTF-8 4, UTF-16 2 and UTF-32 0, each plus 1 with Big-Endian.
  int Encoding() const;
  /// For 5: the number typed (the default text code page shown for 0).
  int CodePage() const { return m_codePage; }
  bool ByteOrderMark() const { return m_byteOrderMark != 0; }

 protected:
  void FocusChanged() override;

 private:
  int m_choice = 0;  // the radio button chosen, in their order from the top
  int m_initialChoice = 0;
  int m_shownChoice = 0;  // the choice the Byte Order Mark box last followed
  int32_t m_codePage = 0;
  uint8_t m_byteOrderMark = 0;
  uint8_t m_initialByteOrderMark = 0;
  uint8_t m_bigEndian = 0;
  int m_byteOrderMarkIndex = -1;
};
