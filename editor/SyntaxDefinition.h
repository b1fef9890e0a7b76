#pragma once
// A syntax definition: what syntax.ini says about one file name, built into
// tables the line colourer reads without allocating. Contexts hold words,
// symbols, numbers and word characters; elements (line comments, blocks,
// strings, state blocks) and state changes are tried by their first
// character. Built once per file opened; read-only afterwards, so several
// readers may colour with it at once.
#include <array>
#include <bitset>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "config/ConfigFile.h"
#include "foundation/Westring.h"

enum class SyntaxElementKind : uint8_t { LineComment, Block, String };

/// A line comment, a block (a block comment or, with `enters`, a state
/// block) or a literal string.
struct CSyntaxElement {
  SyntaxElementKind kind = SyntaxElementKind::Block;
  std::wstring start, end;  // a string's are its delimiter characters
  wchar_t escape = 0;       // strings only
  bool noCase = false;
  bool endsAtLineEnd = false;  // line comments, strings, blocks marked "l"
  int enters = -1;             // a state block's context
  uint8_t attr = 7;
  std::vector<int> contexts;  // where it may start
};

/// "push" pushes a context (the current one again without a target),
/// "pop" goes back to the previous one, a context name switches to it.
enum class StateAction : uint8_t { Push = 0, Pop = 1, Switch = 2 };

struct CSyntaxStateChange {
  std::wstring trigger;
  StateAction action = StateAction::Push;
  int target = -1;
  uint8_t attr = 7;
  std::vector<int> contexts;
};

/// What may begin at a character: an element or a state change, by index.
struct TSyntaxStarter {
  bool isElement;
  uint16_t index;
};

/// The colour of a word and the place of its list, so that the first list
/// holding a word wins whichever way it is compared.
struct TWordColour {
  int list;
  uint8_t attr;
};

/// Words and their colours in one open-addressed table of a power-of-two
/// size: a lookup is a multiply-and-add hash and a probe or two, with no
/// allocation and no division. A word already entered keeps its colour.
class CWordTable {
 public:
  void Insert(std::wstring_view word, TWordColour colour);
  const TWordColour* Find(std::wstring_view word) const { return Find(word, Hash(word)); }
  /// With the word's Hash, which a caller scanning it may have made on the way.
  const TWordColour* Find(std::wstring_view word, size_t hash) const;
  bool Empty() const { return m_count == 0; }
  static size_t Step(size_t hash, wchar_t ch) { return hash * 31 + static_cast<size_t>(ch); }
  static size_t Hash(std::wstring_view word) {
    size_t hash = 0;
    for (wchar_t ch : word) hash = Step(hash, ch);
    return hash;
  }

 private:
  struct TSlot {
    std::wstring_view word;  // empty: a free slot
    TWordColour colour;
  };
  std::vector<TSlot> m_slots;
  size_t m_count = 0;
};

class CSyntaxContext {
 public:
  explicit CSyntaxContext(std::wstring name);

  const std::wstring& Name() const { return m_name; }
  bool IsWordChar(wchar_t ch) const {
    return static_cast<uint32_t>(ch) < 256 ? (m_lowClass[static_cast<uint32_t>(ch)] & kWordChar) != 0
                                           : IsHighWordChar(ch);
  }
  /// False when nothing can start at ch, which spares the starter lookup.
  bool MayStart(wchar_t ch) const {
    return static_cast<uint32_t>(ch) >= 256 || (m_lowClass[static_cast<uint32_t>(ch)] & kStarts) != 0;
  }
  /// The colour of a run of word characters that does not start with a
  /// digit, or `base` when no list holds it.
  uint8_t WordAttr(std::wstring_view word, uint8_t base) const {
    return WordAttr(word, CWordTable::Hash(word), base);
  }
  /// The same with the word's CWordTable::Hash.
  uint8_t WordAttr(std::wstring_view word, size_t hash, uint8_t base) const;
  /// A number's colour, or base without a number rule.
  uint8_t NumberAttr(uint8_t base) const { return m_numberAttr >= 0 ? static_cast<uint8_t>(m_numberAttr) : base; }
  uint8_t SymbolAttr(wchar_t ch, uint8_t base) const;
  /// Elements and state changes that may start with ch, in the order they are tried.
  const std::vector<TSyntaxStarter>& StartersFor(wchar_t ch) const;

  // Building.
  void SetWordChars(const std::wstring& chars);
  void AddWords(const std::wstring& words, bool noCase, uint8_t attr);
  void AddSymbols(const std::wstring& symbols, uint8_t attr);
  void SetNumberAttr(uint8_t attr) { m_numberAttr = attr; }
  void AddStarter(wchar_t first, TSyntaxStarter starter);

 private:
  bool IsHighWordChar(wchar_t ch) const;

  std::wstring m_name;
  static constexpr uint8_t kWordChar = 1, kStarts = 2;
  std::array<uint8_t, 256> m_lowClass{};  // kWordChar and kStarts of the first 256 characters
  std::vector<wchar_t> m_wordHigh;  // sorted
  std::deque<std::wstring> m_wordStore;  // the maps' keys point into it
  CWordTable m_words, m_foldedWords;
  int m_lists = 0;
  // Most runs are no listed word: the first character and the length tell at once.
  std::bitset<256> m_wordFirstLow;
  size_t m_shortestWord = SIZE_MAX, m_longestWord = 0;
  std::array<int16_t, 256> m_symbolLow;  // -1: none
  std::unordered_map<wchar_t, uint8_t> m_symbolHigh;
  int m_numberAttr = -1;
  std::array<std::vector<TSyntaxStarter>, 256> m_startersLow;
  std::unordered_map<wchar_t, std::vector<TSyntaxStarter>> m_startersHigh;
};

class CSyntaxDefinition {
 public:
  CSyntaxDefinition();
  /// True when a section matched the file name.
  bool HasSyntax() const { return m_hasSyntax; }
  uint8_t TextAttr() const { return m_textAttr; }
  const CSyntaxContext& Context(int index) const { return m_contexts[static_cast<size_t>(index)]; }
  int ContextCount() const { return static_cast<int>(m_contexts.size()); }
  const CSyntaxElement& Element(int index) const { return m_elements[static_cast<size_t>(index)]; }
  const CSyntaxStateChange& StateChange(int index) const { return m_changes[static_cast<size_t>(index)]; }

  /// Reads the definitions in path that apply to fileName (its last
  /// component is matched) over the text colour textAttr. Returns 0, or
  /// errno when path cannot be read (the definition then has no syntax);
  /// malformed lines are described in messages (file and line as the
  /// second text) and skipped.
  int Load(const Westring& path, const Westring& fileName, uint8_t textAttr,
           std::vector<TConfigMessage>* messages);

  // Building, for the reader.
  /// The index of a named context, made when new ("" is the default).
  int ContextIndex(const std::wstring& name);
  CSyntaxContext& MutableContext(int index) { return m_contexts[static_cast<size_t>(index)]; }
  void AddElement(CSyntaxElement element);
  void AddStateChange(CSyntaxStateChange change);
  void MarkHasSyntax() { m_hasSyntax = true; }
  void SetTextAttr(uint8_t attr) { m_textAttr = attr; }
  /// Enters every element and state change in the starter tables of its contexts.
  void Finish();

 private:
  std::deque<CSyntaxContext> m_contexts;
  std::vector<CSyntaxElement> m_elements;
  std::vector<CSyntaxStateChange> m_changes;
  uint8_t m_textAttr = 7;
  bool m_hasSyntax = false;
};
