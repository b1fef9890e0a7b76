#pragma once
// Files written and read as bytes, and an editor text loaded from a file the
// way the editor opens one.
#include <fstream>
#include <iterator>
#include <string>

#include "editor/EditorText.h"
#include "viewer/ViewTextFile.h"

namespace editortest {

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

/// Loads path into text in encoding (detected by default); false when the
/// file did not open or the load failed.
inline bool LoadFile(VKEditor::CEditorText& text, const std::string& path,
                     int encoding = EncodingDetect, int codePage = 0, int64_t startOffset = -1,
                     int highlight = 0) {
  ViewTextFile file;
  if (file.Open(Westring::FromUtf8(path.c_str()), encoding, codePage) != 0) return false;
  return text.Load(file, VKEditor::LoadKind::Fresh, startOffset, highlight);
}

/// All lines joined by "|", for comparing a whole text in one assertion.
inline std::string Lines(const VKEditor::CEditorText& text) {
  std::string joined;
  for (int line = 0; line < text.LineCount(); ++line) {
    if (line > 0) joined += "|";
    joined += Westring(text.LineText(line)).ToUtf8().c_str();
  }
  return joined;
}

}  // namespace editortest
