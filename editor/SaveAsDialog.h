#pragma once
// " Save As ": the file's encoding chosen as in "Select File Encoding", with
// the name to save under below the choices. Application thread.

namespace VKEditor {

class CEditorText;

/// Asks for a name and a format and saves the text there; the dialog stays
/// up after a failed save (the user has been told why) until a save works or
/// the user presses Esc. Returns 0 when saved, -1 when cancelled.
int RunSaveAsDialog(CEditorText& text);

}  // namespace VKEditor
