#pragma once
// The three settings dialogs of the Options menu. Application thread; each
// returns whether the user accepted (OK) it.
bool RunConfigurationDialog();
bool RunColoursDialog();
bool RunConfirmationsDialog();

/// The names of the colour classes, in the scheme's order.
extern const char* const ColourClassNames[];
