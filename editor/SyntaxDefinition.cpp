#include "editor/SyntaxDefinition.h"

#include <algorithm>
#include <cwctype>

#include "foundation/CaseFold.h"

namespace {

constexpr wchar_t kDefaultWordChars[] =
    L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz1234567890";

const std::vector<TSyntaxStarter> kNoStarters;

std::wstring Folded(std::wstring_view word) {
  std::wstring folded(word);
  for (wchar_t& ch : folded) ch = FoldChar(ch);
  return folded;
}

}  // namespace

void CWordTable::Insert(std::wstring_view word, TWordColour colour) {
  if (word.empty() || Find(word) != nullptr) return;
  // Kept at most half full, so probes stay short.
  if ((m_count + 1) * 2 > m_slots.size()) {
    std::vector<TSlot> old = std::move(m_slots);
    m_slots.assign(std::max<size_t>(16, old.size() * 2), TSlot{});
    m_count = 0;
    for (const TSlot& slot : old)
      if (!slot.word.empty()) Insert(slot.word, slot.colour);
  }
  const size_t mask = m_slots.size() - 1;
  size_t at = Hash(word) & mask;
  while (!m_slots[at].word.empty()) at = (at + 1) & mask;
  m_slots[at] = {word, colour};
  ++m_count;
}

const TWordColour* CWordTable::Find(std::wstring_view word, size_t hash) const {
  if (m_slots.empty()) return nullptr;
  const size_t mask = m_slots.size() - 1;
  for (size_t at = hash & mask; !m_slots[at].word.empty(); at = (at + 1) & mask)
    if (m_slots[at].word == word) return &m_slots[at].colour;
  return nullptr;
}

CSyntaxContext::CSyntaxContext(std::wstring name) : m_name(std::move(name)) {
  SetWordChars(kDefaultWordChars);
  m_symbolLow.fill(-1);
}

bool CSyntaxContext::IsHighWordChar(wchar_t ch) const {
  return std::binary_search(m_wordHigh.begin(), m_wordHigh.end(), ch);
}

void CSyntaxContext::SetWordChars(const std::wstring& chars) {
  for (uint8_t& bits : m_lowClass) bits &= static_cast<uint8_t>(~kWordChar);
  m_wordHigh.clear();
  for (wchar_t ch : chars) {
    if (static_cast<uint32_t>(ch) < 256) m_lowClass[static_cast<uint32_t>(ch)] |= kWordChar;
    else m_wordHigh.push_back(ch);
  }
  std::sort(m_wordHigh.begin(), m_wordHigh.end());
}

void CSyntaxContext::AddWords(const std::wstring& words, bool noCase, uint8_t attr) {
  const int list = m_lists++;
  auto& map = noCase ? m_foldedWords : m_words;
  size_t at = 0;
  while (at < words.size()) {
    const size_t start = words.find_first_not_of(L" \t", at);
    if (start == std::wstring::npos) break;
    size_t end = words.find_first_of(L" \t", start);
    if (end == std::wstring::npos) end = words.size();
    std::wstring word = words.substr(start, end - start);
    m_wordStore.push_back(noCase ? Folded(word) : word);
    m_shortestWord = std::min(m_shortestWord, word.size());
    m_longestWord = std::max(m_longestWord, word.size());
    for (wchar_t first : {word[0], FoldChar(word[0]), static_cast<wchar_t>(towlower(static_cast<wint_t>(word[0])))})
      if (static_cast<uint32_t>(first) < 256 && (noCase || first == word[0])) m_wordFirstLow.set(static_cast<uint32_t>(first));
    map.Insert(m_wordStore.back(), TWordColour{list, attr});  // the first list keeps it
    at = end;
  }
}

uint8_t CSyntaxContext::WordAttr(std::wstring_view word, size_t hash, uint8_t base) const {
  if (word.size() < m_shortestWord || word.size() > m_longestWord) return base;
  const uint32_t first = static_cast<uint32_t>(word[0]);
  if (first < 256 && !m_wordFirstLow[first]) return base;
  const TWordColour* found = nullptr;
  if (!m_words.Empty()) found = m_words.Find(word, hash);
  if (!m_foldedWords.Empty()) {
    const std::wstring folded = Folded(word);
    const TWordColour* loose = m_foldedWords.Find(folded);
    if (loose != nullptr && (found == nullptr || loose->list < found->list)) found = loose;
  }
  return found ? found->attr : base;
}

void CSyntaxContext::AddSymbols(const std::wstring& symbols, uint8_t attr) {
  // A later list wins for a character both hold.
  for (wchar_t ch : symbols) {
    if (ch == L' ' || ch == L'\t') continue;
    if (static_cast<uint32_t>(ch) < 256) m_symbolLow[static_cast<uint32_t>(ch)] = attr;
    else m_symbolHigh[ch] = attr;
  }
}

uint8_t CSyntaxContext::SymbolAttr(wchar_t ch, uint8_t base) const {
  if (static_cast<uint32_t>(ch) < 256) {
    const int16_t attr = m_symbolLow[static_cast<uint32_t>(ch)];
    return attr >= 0 ? static_cast<uint8_t>(attr) : base;
  }
  auto found = m_symbolHigh.find(ch);
  return found != m_symbolHigh.end() ? found->second : base;
}

const std::vector<TSyntaxStarter>& CSyntaxContext::StartersFor(wchar_t ch) const {
  if (static_cast<uint32_t>(ch) < 256) return m_startersLow[static_cast<uint32_t>(ch)];
  auto found = m_startersHigh.find(ch);
  return found != m_startersHigh.end() ? found->second : kNoStarters;
}

void CSyntaxContext::AddStarter(wchar_t first, TSyntaxStarter starter) {
  if (static_cast<uint32_t>(first) < 256) m_lowClass[static_cast<uint32_t>(first)] |= kStarts;
  auto& list = static_cast<uint32_t>(first) < 256 ? m_startersLow[static_cast<uint32_t>(first)]
                                                  : m_startersHigh[first];
  list.push_back(starter);
}

CSyntaxDefinition::CSyntaxDefinition() { m_contexts.emplace_back(std::wstring()); }

int CSyntaxDefinition::ContextIndex(const std::wstring& name) {
  for (size_t i = 0; i < m_contexts.size(); ++i)
    if (m_contexts[i].Name() == name) return static_cast<int>(i);
  m_contexts.emplace_back(name);
  return static_cast<int>(m_contexts.size() - 1);
}

void CSyntaxDefinition::AddElement(CSyntaxElement element) { m_elements.push_back(std::move(element)); }

void CSyntaxDefinition::AddStateChange(CSyntaxStateChange change) { m_changes.push_back(std::move(change)); }

namespace {

// A text compared without case may begin with either form of its first letter.
void AddStarterFor(CSyntaxContext& context, const std::wstring& text, bool noCase, TSyntaxStarter starter) {
  const wchar_t first = text[0];
  context.AddStarter(first, starter);
  if (!noCase) return;
  const wchar_t upper = FoldChar(first);
  const wchar_t lower = static_cast<wchar_t>(towlower(static_cast<wint_t>(first)));
  if (upper != first) context.AddStarter(upper, starter);
  if (lower != first && lower != upper) context.AddStarter(lower, starter);
}

}  // namespace

void CSyntaxDefinition::Finish() {
  // Elements are tried before state changes, each in the order written.
  constexpr size_t kMaxRules = 65535;
  for (size_t i = 0; i < m_elements.size() && i < kMaxRules; ++i)
    for (int context : m_elements[i].contexts)
      AddStarterFor(m_contexts[static_cast<size_t>(context)], m_elements[i].start, m_elements[i].noCase,
                    {true, static_cast<uint16_t>(i)});
  for (size_t i = 0; i < m_changes.size() && i < kMaxRules; ++i)
    for (int context : m_changes[i].contexts)
      AddStarterFor(m_contexts[static_cast<size_t>(context)], m_changes[i].trigger, false,
                    {false, static_cast<uint16_t>(i)});
}
