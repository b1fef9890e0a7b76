#pragma once
// The line colourer: a line of wide characters and the state the previous
// line left go in; the line's cells (tabs expanded) and the state for the
// next line come out. States are plain values, so the viewer and the editor
// keep copies at positions and start colouring again from the nearest one.
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "editor/SyntaxDefinition.h"
#include "foundation/Cell.h"
#include "foundation/Westring.h"

/// An element that has started and not ended, and how deep the context
/// stack was before it, so that leaving it drops what it pushed.
struct TOpenElement {
  uint16_t element;
  uint16_t contextDepth;
  bool operator==(const TOpenElement& other) const {
    return element == other.element && contextDepth == other.contextDepth;
  }
};

/// What one line hands to the next: the context stack (the default context
/// at the bottom) and the open elements. The start of a file is the default
/// context alone.
struct CContextStack {
  std::vector<uint16_t> contexts{0};
  std::vector<TOpenElement> open;
  bool operator==(const CContextStack& other) const {
    return contexts == other.contexts && open == other.open;
  }
};

/// Colours length characters of line with definition (null: everything in
/// textAttr) and advances *state; *cells gets one cell per character, a tab
/// as blanks up to the next multiple of tabWidth, characters 7 and 8 as blanks.
void ColourSyntaxLine(const CSyntaxDefinition* definition, CContextStack* state, const wchar_t* line,
                      int length, int tabWidth, uint8_t textAttr, std::vector<TCell>* cells);

/// The syntax of one open file and the states kept at its positions.
class CSyntaxStateStore {
 public:
  /// Builds the definition syntax.ini at definitionPath gives fileName; true
  /// when a section matched, and colouring is then on. Malformed lines are
  /// shown in one message box; an unreadable file leaves colouring off.
  bool Select(const Westring& fileName, const Westring& definitionPath, uint8_t textAttr);
  /// Select for the file at path with the definitions the program finds
  /// (the per-user, shared or shipped syntax.ini).
  bool SelectForFile(const Westring& path, uint8_t textAttr);
  void Disable();
  bool Enabled() const { return m_definition != nullptr; }
  const CSyntaxDefinition* Definition() const { return m_definition.get(); }

  /// Colours with the selected definition, or in the text colour of the last
  /// Select when off.
  void ColourLine(CContextStack* state, const wchar_t* line, int length, int tabWidth,
                  std::vector<TCell>* cells) const {
    ColourSyntaxLine(m_definition.get(), state, line, length, tabWidth, m_textAttr, cells);
  }
  /// Keeps a copy of the state at a position (a byte offset or a line number).
  void Remember(int64_t position, const CContextStack& state) { m_states[position] = state; }
  /// The state kept at the greatest position not above position (the start
  /// of the file when none is), and that position.
  int64_t Recall(int64_t position, CContextStack* state) const;
  /// Forgets the states from position on (the text there changed).
  void ForgetFrom(int64_t position) { m_states.erase(m_states.lower_bound(position), m_states.end()); }

 private:
  std::unique_ptr<CSyntaxDefinition> m_definition;
  uint8_t m_textAttr = 7;
  std::map<int64_t, CContextStack> m_states;
};
