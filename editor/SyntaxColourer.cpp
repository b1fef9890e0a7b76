#include "editor/SyntaxColourer.h"

#include <algorithm>
#include <cwchar>

#include "config/FileLocations.h"
#include "config/Startup.h"
#include "foundation/CaseFold.h"

namespace {

// Deeper nesting than this is taken as a broken definition or text, not
// followed further, so a state never grows without bound.
constexpr size_t kMaxDepth = 64;

// Texts to match are short; a loop beats a library call.
inline bool MatchesAt(const wchar_t* line, int at, int length, const std::wstring& text, bool noCase) {
  const int size = static_cast<int>(text.size());
  if (size > length - at) return false;
  const wchar_t* here = line + at;
  if (!noCase) {
    for (int i = 0; i < size; ++i)
      if (here[i] != text[static_cast<size_t>(i)]) return false;
    return true;
  }
  for (int i = 0; i < size; ++i)
    if (FoldChar(here[i]) != FoldChar(text[static_cast<size_t>(i)])) return false;
  return true;
}

bool Continues(const CSyntaxElement& element) {
  return element.kind == SyntaxElementKind::Block && !element.endsAtLineEnd;
}

class CLineColourer {
 public:
  CLineColourer(const CSyntaxDefinition& definition, CContextStack* state, const wchar_t* line,
                int length, std::vector<uint8_t>* attrs)
      : m_definition(definition), m_state(*state), m_line(line), m_length(length), m_attrs(*attrs) {}

  void Run() {
    for (int at = 0; at < m_length;) at = Step(at);
    while (!m_state.open.empty() && !Continues(Top())) Close();
  }

 private:
  // The contexts live in a deque; the one on top is looked up again only when the stack changed.
  const CSyntaxContext& CurrentContext() {
    const uint16_t index = m_state.contexts.back();
    if (index != m_contextIndex) {
      m_contextIndex = index;
      m_context = &m_definition.Context(index);
    }
    return *m_context;
  }

  const CSyntaxElement& Top() const { return m_definition.Element(m_state.open.back().element); }

  void Paint(int from, int count, uint8_t attr) {
    std::fill(m_attrs.begin() + from, m_attrs.begin() + std::min(from + count, m_length), attr);
  }

  void Close() {
    const size_t depth = m_state.open.back().contextDepth;
    m_state.open.pop_back();
    m_state.contexts.resize(std::max<size_t>(1, depth));
  }

  void Open(int index) {
    const CSyntaxElement& element = m_definition.Element(index);
    if (m_state.open.size() >= kMaxDepth) return;
    m_state.open.push_back({static_cast<uint16_t>(index), static_cast<uint16_t>(m_state.contexts.size())});
    if (element.enters >= 0 && m_state.contexts.size() < kMaxDepth)
      m_state.contexts.push_back(static_cast<uint16_t>(element.enters));
  }

  void Change(const CSyntaxStateChange& change) {
    std::vector<uint16_t>& contexts = m_state.contexts;
    switch (change.action) {
      case StateAction::Push:
        if (contexts.size() < kMaxDepth)
          contexts.push_back(change.target >= 0 ? static_cast<uint16_t>(change.target) : contexts.back());
        break;
      case StateAction::Pop:
        // Not below the context the innermost open state block entered.
        if (contexts.size() > (m_state.open.empty() ? 1u : m_state.open.back().contextDepth + 1u))
          contexts.pop_back();
        break;
      case StateAction::Switch:
        contexts.back() = static_cast<uint16_t>(change.target);
        break;
    }
  }

  // An element or state change starting at `at`: coloured and entered;
  // returns where the next step starts, or `at` when none starts here.
  int TryStarters(const CSyntaxContext& context, int at, wchar_t ch) {
    for (const TSyntaxStarter& starter : context.StartersFor(ch)) {
      if (starter.isElement) {
        const CSyntaxElement& element = m_definition.Element(starter.index);
        if (!MatchesAt(m_line, at, m_length, element.start, element.noCase)) continue;
        Paint(at, static_cast<int>(element.start.size()), element.attr);
        Open(starter.index);
        return at + static_cast<int>(element.start.size());
      }
      const CSyntaxStateChange& change = m_definition.StateChange(starter.index);
      if (!MatchesAt(m_line, at, m_length, change.trigger, false)) continue;
      Paint(at, static_cast<int>(change.trigger.size()), change.attr);
      Change(change);
      return at + static_cast<int>(change.trigger.size());
    }
    return at;
  }

  // Colours what starts at `at` and returns where the next step starts.
  int Step(int at) {
    const wchar_t ch = m_line[at];
    const CSyntaxElement* top = m_state.open.empty() ? nullptr : &Top();
    if (top != nullptr) {
      if (!top->end.empty() && MatchesAt(m_line, at, m_length, top->end, top->noCase)) {
        Paint(at, static_cast<int>(top->end.size()), top->attr);
        Close();
        return at + static_cast<int>(top->end.size());
      }
      // Comments and strings hold nothing but their own text: on to the
      // next character that may end the element or escape.
      if (top->enters < 0) {
        int end = at;
        if (!top->noCase) {
          const wchar_t stop = top->end.empty() ? 0 : top->end[0];
          while (end < m_length && m_line[end] != stop && (m_line[end] != top->escape || top->escape == 0)) ++end;
        }
        if (end == at) end = at + (top->escape != 0 && ch == top->escape ? 2 : 1);
        Paint(at, end - at, top->attr);
        return end;
      }
    }
    const uint8_t base = top != nullptr ? top->attr : m_definition.TextAttr();
    const CSyntaxContext& context = CurrentContext();
    if (context.MayStart(ch)) {
      if (int next = TryStarters(context, at, ch); next > at) return next;
    }
    if (context.IsWordChar(ch)) {
      // The word's hash is made on the way, for the word lists.
      size_t hash = CWordTable::Step(0, ch);
      int end = at + 1;
      for (; end < m_length && context.IsWordChar(m_line[end]); ++end) hash = CWordTable::Step(hash, m_line[end]);
      const std::wstring_view word(m_line + at, static_cast<size_t>(end - at));
      const uint8_t attr = ch >= L'0' && ch <= L'9' ? context.NumberAttr(base) : context.WordAttr(word, hash, base);
      Paint(at, end - at, attr);
      return end;
    }
    m_attrs[static_cast<size_t>(at)] = context.SymbolAttr(ch, base);
    return at + 1;
  }

  const CSyntaxDefinition& m_definition;
  CContextStack& m_state;
  const wchar_t* m_line;
  int m_length;
  std::vector<uint8_t>& m_attrs;
  uint32_t m_contextIndex = UINT32_MAX;
  const CSyntaxContext* m_context = nullptr;
};

}  // namespace

void ColourSyntaxLine(const CSyntaxDefinition* definition, CContextStack* state, const wchar_t* line,
                      int length, int tabWidth, uint8_t textAttr, std::vector<TCell>* cells) {
  thread_local std::vector<uint8_t> attrs;
  attrs.assign(static_cast<size_t>(length), textAttr);
  if (definition != nullptr) CLineColourer(*definition, state, line, length, &attrs).Run();
  if (std::wmemchr(line, L'\t', static_cast<size_t>(length)) == nullptr) {
    // The common line: one cell a character, written in place.
    cells->resize(static_cast<size_t>(length));
    TCell* out = cells->data();
    for (int i = 0; i < length; ++i) {
      const wchar_t ch = line[i];
      out[i].ch = ch == 7 || ch == 8 ? U' ' : static_cast<uint32_t>(ch);
      out[i].attr = attrs[static_cast<size_t>(i)];
    }
    return;
  }
  cells->clear();
  const size_t tab = static_cast<size_t>(std::max(1, tabWidth));
  for (int i = 0; i < length; ++i) {
    TCell cell;
    cell.attr = attrs[static_cast<size_t>(i)];
    const wchar_t ch = line[i];
    if (ch == L'\t') {
      do cells->push_back(cell);
      while (cells->size() % tab != 0);
      continue;
    }
    cell.ch = ch == 7 || ch == 8 ? U' ' : static_cast<uint32_t>(ch);
    cells->push_back(cell);
  }
}

bool CSyntaxStateStore::Select(const Westring& fileName, const Westring& definitionPath, uint8_t textAttr) {
  Disable();
  m_textAttr = textAttr;
  auto definition = std::make_unique<CSyntaxDefinition>();
  std::vector<TConfigMessage> messages;
  const int err = definition->Load(definitionPath, fileName, textAttr, &messages);
  if (!messages.empty()) ShowConfigMessages(messages);
  if (err != 0 || !definition->HasSyntax()) return false;
  m_definition = std::move(definition);
  return true;
}

bool CSyntaxStateStore::SelectForFile(const Westring& path, uint8_t textAttr) {
  const int slash = path.FindLast(L'/');
  return Select(slash < 0 ? path : path.Mid(slash + 1), FindSyntaxDefinitions(), textAttr);
}

void CSyntaxStateStore::Disable() {
  m_definition.reset();
  m_states.clear();
}

int64_t CSyntaxStateStore::Recall(int64_t position, CContextStack* state) const {
  auto after = m_states.upper_bound(position);
  if (after == m_states.begin()) {
    *state = CContextStack();
    return 0;
  }
  --after;
  *state = after->second;
  return after->first;
}
