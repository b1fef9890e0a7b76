#pragma once
// F8 and Shift+F8: delete the tagged entries of the active panel (or the
// entry under the cursor) after the confirmations the Confirmations setting
// leaves on, then re-read both panels. Application thread.
#include <cstdint>

#include "dialogs/Dialog.h"
#include "foundation/Westring.h"

class CPanel;
struct TDeleteState;

/// "Delete?": a text, an optional name, the read-only mode (Ask, All, None)
/// and, when offered, the "No Undelete" check box.
class CDeleteDlg : public Dialog {
 public:
  CDeleteDlg(const Westring& text, const Westring& name, bool offerNoUndelete);
  /// Runs the dialog; Enter puts the choices into state and gives true,
  /// anything else false.
  bool Ask(TDeleteState* state);

 private:
  int m_readOnly = 0;
  uint8_t m_noUndelete = 0;
};

/// cursorOnly is the Shift form: the entry under the cursor alone.
void RunDeleteCommand(CPanel& active, CPanel& other, bool cursorOnly);
