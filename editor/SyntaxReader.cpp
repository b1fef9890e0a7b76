// Reading syntax.ini: the file stack of "!include", joined lines, sections
// chosen by the file name, and one rule per line.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <cwctype>

#include "dialogs/Look.h"
#include "editor/SyntaxDefinition.h"
#include "panels/Expression.h"

namespace {

constexpr size_t kMaxLineBytes = 1024;
constexpr size_t kMaxIncludeDepth = 16;

struct TOpenFile {
  std::FILE* file;
  std::string path;
  int line = 0;
};

// The files being read, the including ones below; lines come from the top
// one, which is closed at its end so that reading goes on below.
class CIniStack {
 public:
  ~CIniStack() {
    while (!m_files.empty()) Pop();
  }
  int Push(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return errno;
    m_files.push_back({file, path});
    return 0;
  }
  size_t Depth() const { return m_files.size(); }
  const std::string& Path() const { return m_files.back().path; }
  int LineNumber() const { return m_files.back().line; }
  /// The next line without its end; false when every file is done. A line
  /// longer than the limit is cut there, and *tooLong says so.
  bool Next(std::string* line, bool* tooLong) {
    while (!m_files.empty()) {
      TOpenFile& top = m_files.back();
      char buffer[kMaxLineBytes + 2];
      if (std::fgets(buffer, sizeof buffer, top.file) == nullptr) {
        Pop();
        continue;
      }
      ++top.line;
      *line = buffer;
      *tooLong = !line->empty() && line->back() != '\n' && !std::feof(top.file);
      if (*tooLong) SkipRestOfLine(top.file);
      while (!line->empty() && (line->back() == '\n' || line->back() == '\r')) line->pop_back();
      return true;
    }
    return false;
  }

 private:
  static void SkipRestOfLine(std::FILE* file) {
    for (int ch; (ch = std::fgetc(file)) != EOF && ch != '\n';) {
    }
  }
  void Pop() {
    std::fclose(m_files.back().file);
    m_files.pop_back();
  }
  std::vector<TOpenFile> m_files;
};

std::wstring Trimmed(const std::wstring& text) {
  const size_t start = text.find_first_not_of(L" \t");
  if (start == std::wstring::npos) return std::wstring();
  return text.substr(start, text.find_last_not_of(L" \t") - start + 1);
}

// Splits at the first ':' into trimmed halves; false without one.
bool SplitAtColon(const std::wstring& text, std::wstring* before, std::wstring* after) {
  const size_t colon = text.find(L':');
  if (colon == std::wstring::npos) return false;
  *before = Trimmed(text.substr(0, colon));
  *after = Trimmed(text.substr(colon + 1));
  return true;
}

std::wstring Lower(const std::wstring& text) {
  std::wstring lower = text;
  for (wchar_t& ch : lower) ch = static_cast<wchar_t>(towlower(static_cast<wint_t>(ch)));
  return lower;
}

bool StartsWithNoCase(const std::string& line, const char* prefix) {
  return strncasecmp(line.c_str(), prefix, strlen(prefix)) == 0;
}

enum class Section : uint8_t { None, Classes, Applied, Skipped };

// A rule's key: "words(ctx)/i" gives "words", the contexts named and "i".
struct TRuleKey {
  std::wstring name, modifier;
  std::vector<std::wstring> contexts;
};

TRuleKey ParseKey(const std::wstring& text) {
  TRuleKey key;
  std::wstring rest = text;
  const size_t open = rest.find(L'('), close = rest.find(L')');
  if (open != std::wstring::npos && close != std::wstring::npos && close > open) {
    std::wstring names = rest.substr(open + 1, close - open - 1);
    for (wchar_t& ch : names)
      if (ch == L',') ch = L' ';
    size_t at = 0;
    while ((at = names.find_first_not_of(L' ', at)) != std::wstring::npos) {
      const size_t end = std::min(names.find(L' ', at), names.size());
      key.contexts.push_back(names.substr(at, end - at));
      at = end;
    }
    rest.erase(open, close - open + 1);
  }
  const size_t slash = rest.find(L'/');
  if (slash != std::wstring::npos) {
    key.modifier = Lower(rest.substr(slash + 1));
    rest.erase(slash);
  }
  key.name = Lower(Trimmed(rest));
  return key;
}

class CSyntaxReader {
 public:
  CSyntaxReader(CSyntaxDefinition* definition, const Westring& fileName,
                std::vector<TConfigMessage>* messages)
      : m_definition(definition), m_fileName(fileName), m_messages(messages) {}

  int Read(const Westring& path);

 private:
  void Report(const char* text);
  void Include(const std::wstring& name);
  void Header(const std::wstring& line);
  void ClassLine(const std::wstring& line);
  void RuleLine(const std::wstring& line);
  uint8_t AttrOf(const std::wstring& name) const;
  std::vector<int> ContextsOf(const TRuleKey& key);
  void AddBlock(const TRuleKey& key, const std::wstring& value, uint8_t attr, int enters);

  CSyntaxDefinition* m_definition;
  Westring m_fileName;
  std::vector<TConfigMessage>* m_messages;
  CIniStack m_stack;
  Section m_section = Section::None;
  std::vector<std::pair<std::wstring, uint8_t>> m_classes;  // lower-case names
  wchar_t m_escape = 0;
};

void CSyntaxReader::Report(const char* text) {
  if (m_messages == nullptr) return;
  const std::string where = m_stack.Path() + ":" + std::to_string(m_stack.LineNumber());
  m_messages->push_back({Westring(text), Westring::FromUtf8(where.c_str())});
}

int CSyntaxReader::Read(const Westring& path) {
  if (int err = m_stack.Push(path.ToUtf8().c_str())) return err;
  std::string bytes, joined;
  bool tooLong = false;
  while (m_stack.Next(&bytes, &tooLong)) {
    if (tooLong) Report("Line longer than 1024 bytes, cut there");
    // A final "\" joins the next line; "\\" ends the line in one backslash.
    const bool doubled = bytes.size() >= 2 && bytes.compare(bytes.size() - 2, 2, "\\\\") == 0;
    if (!bytes.empty() && bytes.back() == '\\') {
      bytes.pop_back();
      joined += bytes;
      if (!doubled) continue;
    } else {
      joined += bytes;
    }
    std::string text;
    text.swap(joined);
    if (StartsWithNoCase(text, "!include ")) {
      Include(Trimmed(Westring::FromUtf8(text.c_str() + 9).c_str()));
      continue;
    }
    const std::wstring line = Westring::FromUtf8(text.c_str()).c_str();
    if (!line.empty() && line[0] == L'[') Header(line);
    else if (m_section == Section::Classes) ClassLine(line);
    else if (m_section == Section::Applied) RuleLine(line);
  }
  m_definition->Finish();
  return 0;
}

void CSyntaxReader::Include(const std::wstring& name) {
  if (name.empty()) return Report("!include without a file name");
  if (m_stack.Depth() >= kMaxIncludeDepth) return Report("!include nested too deeply");
  std::string path = Westring(name.c_str()).ToUtf8().c_str();
  if (path[0] != '/') {
    const std::string& including = m_stack.Path();
    const size_t slash = including.rfind('/');
    if (slash != std::string::npos) path = including.substr(0, slash + 1) + path;
  }
  if (m_stack.Push(path) != 0) Report("Cannot read the included file");
}

void CSyntaxReader::Header(const std::wstring& line) {
  m_section = Section::None;
  const std::wstring text = Trimmed(line);
  if (text.back() != L']') return Report("Section header without its closing \"]\"");
  const std::wstring inner = Trimmed(text.substr(1, text.size() - 2));
  if (Lower(inner) == L"colour classes") {
    m_section = Section::Classes;
    return;
  }
  std::wstring name, patterns;
  if (!SplitAtColon(inner, &name, &patterns) || patterns.empty())
    return Report("Section header needs a name, \":\" and file name patterns");
  const Westring shown = m_fileName.NamePart().IsEmpty() ? m_fileName : m_fileName.NamePart();
  const int matched = EvaluateOnName(patterns.c_str(), shown.c_str());
  if (matched < 0) return Report("Syntax error in the file name patterns");
  m_section = matched == 1 ? Section::Applied : Section::Skipped;
  if (matched == 1) m_definition->MarkHasSyntax();
}

void CSyntaxReader::ClassLine(const std::wstring& line) {
  std::wstring name, colour;
  if (!SplitAtColon(line, &name, &colour)) return;
  if (name.empty() || colour.empty()) return Report("A colour class needs a name and a colour");
  const uint8_t attr = ParseColourSpec(Westring(colour.c_str()).ToUtf8().c_str(), m_definition->TextAttr());
  m_classes.emplace_back(Lower(name), attr);
}

uint8_t CSyntaxReader::AttrOf(const std::wstring& name) const {
  const std::wstring lower = Lower(name);
  for (const auto& [className, attr] : m_classes)
    if (className == lower) return attr;
  return ParseColourSpec(Westring(name.c_str()).ToUtf8().c_str(), m_definition->TextAttr());
}

std::vector<int> CSyntaxReader::ContextsOf(const TRuleKey& key) {
  std::vector<int> contexts;
  for (const std::wstring& name : key.contexts) contexts.push_back(m_definition->ContextIndex(name));
  if (contexts.empty()) contexts.push_back(0);
  return contexts;
}

void CSyntaxReader::AddBlock(const TRuleKey& key, const std::wstring& value, uint8_t attr, int enters) {
  CSyntaxElement block;
  if (!SplitAtColon(value, &block.start, &block.end) || block.start.empty() || block.end.empty())
    return Report("A block needs a start, \":\" and an end");
  block.noCase = key.modifier.find(L'i') != std::wstring::npos;
  block.endsAtLineEnd = key.modifier.find(L'l') != std::wstring::npos;
  block.enters = enters;
  block.attr = attr;
  block.contexts = ContextsOf(key);
  m_definition->AddElement(std::move(block));
}

void CSyntaxReader::RuleLine(const std::wstring& line) {
  std::wstring keyText, rest;
  if (!SplitAtColon(line, &keyText, &rest)) return;
  const TRuleKey key = ParseKey(keyText);
  if (key.name == L"wordchars") {
    for (int context : ContextsOf(key)) m_definition->MutableContext(context).SetWordChars(rest);
    return;
  }
  if (key.name == L"escape") {
    if (rest.empty()) return Report("escape needs one character");
    m_escape = rest[0];
    return;
  }
  std::wstring className, value;
  if (!SplitAtColon(rest, &className, &value)) {
    className = rest;
    value.clear();
  }
  const uint8_t attr = AttrOf(className);
  if (key.name == L"number") {
    for (int context : ContextsOf(key)) m_definition->MutableContext(context).SetNumberAttr(attr);
  } else if (key.name == L"words" || key.name == L"symbols") {
    if (value.empty()) return Report("A word or symbol list needs its words or symbols");
    const bool noCase = key.modifier.find(L'i') != std::wstring::npos;
    for (int context : ContextsOf(key)) {
      CSyntaxContext& target = m_definition->MutableContext(context);
      if (key.name == L"words") target.AddWords(value, noCase, attr);
      else target.AddSymbols(value, attr);
    }
  } else if (key.name == L"linecomment") {
    if (value.empty()) return Report("linecomment needs the text that starts the comment");
    CSyntaxElement comment{SyntaxElementKind::LineComment, value, L"", 0,
                           key.modifier.find(L'i') != std::wstring::npos, true, -1, attr, ContextsOf(key)};
    m_definition->AddElement(std::move(comment));
  } else if (key.name == L"blockcomment") {
    AddBlock(key, value, attr, -1);
  } else if (key.name == L"state") {
    std::wstring name, texts;
    if (!SplitAtColon(value, &name, &texts) || name.empty())
      return Report("state needs a name, a start and an end");
    AddBlock(key, texts, attr, m_definition->ContextIndex(name));
  } else if (key.name == L"string") {
    std::wstring open, close, escape;
    std::wstring tail;
    if (!SplitAtColon(value, &open, &tail)) return Report("string needs its opening and closing characters");
    if (!SplitAtColon(tail, &close, &escape)) close = tail;
    if (open.size() != 1 || close.size() != 1 || escape.size() > 1)
      return Report("string delimiters and escape are single characters");
    CSyntaxElement string{SyntaxElementKind::String, open, close, escape.empty() ? m_escape : escape[0],
                          false, true, -1, attr, ContextsOf(key)};
    m_definition->AddElement(std::move(string));
  } else if (key.name == L"statechange") {
    std::wstring trigger, action;
    if (!SplitAtColon(value, &trigger, &action) || trigger.empty() || action.empty())
      return Report("statechange needs a trigger, \":\" and push, pop or a state name");
    CSyntaxStateChange change{trigger, StateAction::Switch, -1, attr, ContextsOf(key)};
    const std::wstring lower = Lower(action);
    if (lower == L"pop") {
      change.action = StateAction::Pop;
    } else if (lower.compare(0, 4, L"push") == 0) {
      change.action = StateAction::Push;
      const std::wstring target = Trimmed(action.substr(4));
      if (!target.empty()) change.target = m_definition->ContextIndex(target);
    } else {
      change.target = m_definition->ContextIndex(action);
    }
    m_definition->AddStateChange(std::move(change));
  }
}

}  // namespace

int CSyntaxDefinition::Load(const Westring& path, const Westring& fileName, uint8_t textAttr,
                            std::vector<TConfigMessage>* messages) {
  *this = CSyntaxDefinition();
  m_textAttr = textAttr;
  CSyntaxReader reader(this, fileName, messages);
  const int err = reader.Read(path);
  if (err != 0) m_hasSyntax = false;
  return err;
}
