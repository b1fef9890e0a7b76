#include "panels/CommandMacros.h"

#include <cwchar>

#include "config/Settings.h"
#include "console/Console.h"
#include "console/RunCommand.h"
#include "dialogs/Dialog.h"
#include "dialogs/InputBox.h"
#include "foundation/StdFile.h"
#include "foundation/SysCalls.h"
#include "panels/Entry.h"
#include "panels/ExecuteCommand.h"
#include "panels/Expression.h"
#include "panels/Panel.h"
#include "console/ChildEnvironment.h"
#include "panels/PathNames.h"

namespace {

constexpr int kPromptWidth = 20;
constexpr int kPromptLength = 512;

// The name without the text after its last "."; a name whose only "." is its
// first character keeps it.
Westring WithoutExtension(const Westring& name) {
  const int dot = name.FindLast(L'.');
  return dot > 0 ? name.Left(dot) : name;
}

// The names a list macro uses: the tagged entries in panel order, or the
// given name when nothing is tagged.
template <typename Visit>
void ForEachChosen(const CPanel& panel, const Westring& current, Visit visit) {
  bool any = false;
  for (int i = 0; i < panel.Count(); ++i) {
    const entry* e = panel.At(i);
    if (!e->tagged) continue;
    any = true;
    visit(Westring(e->Name()));
  }
  if (!any && !current.IsEmpty()) visit(current);
}

Westring EntryName(const CPanel* panel) {
  const entry* e = panel != nullptr ? panel->CursorEntry() : nullptr;
  return e != nullptr ? Westring(e->Name()) : Westring();
}

class CMacroExpander {
 public:
  CMacroExpander(const Westring& command, MacroMode mode, const Westring& name, int side)
      : m_command(command), m_mode(mode), m_active(g_panels[side]), m_other(g_panels[1 - side]),
        m_macro(static_cast<wchar_t>(static_cast<unsigned char>(g_settings.cmdChar ? g_settings.cmdChar : '!'))) {
    m_name = name.IsEmpty() ? EntryName(m_active) : name;
    if (mode == MacroMode::Association && command.Find(m_macro) < 0) {
      m_command += L' ';
      m_command += m_macro;
    }
  }

  int Expand(Westring* expanded) {
    for (m_at = 0; m_at < m_command.Length();) {
      if (m_command[m_at] != m_macro) {
        CopyText();
        continue;
      }
      ++m_at;
      if (!ExpandOne()) return -1;
    }
    *expanded = m_out;
    return m_perEntry ? 1 : 0;
  }

 private:
  wchar_t Next() const { return m_command[m_at]; }

  // One character of literal text, or a $NAME reference replaced by its value.
  void CopyText() {
    const wchar_t ch = m_command[m_at];
    if (ch != L'$') {
      m_out += ch;
      ++m_at;
      return;
    }
    int end = m_at + 1;
    while (end < m_command.Length() && std::wcschr(L" $/", m_command[end]) == nullptr && m_command[end] != m_macro) ++end;
    m_at = AppendVariableValue(m_command, m_at, end, true, &m_out);
  }

  bool ExpandOne() {
    const wchar_t code = Next();
    const bool otherPanel = code >= L'A' && code <= L'Z';
    const CPanel* panel = otherPanel ? m_other : m_active;
    const Westring name = otherPanel ? EntryName(m_other) : m_name;
    if (code == m_macro) {
      m_out += m_macro;
      ++m_at;
      return true;
    }
    switch (code) {
      case L'@': ++m_at; return WriteListFile();
      case L'f': case L'F': {
        ++m_at;
        Westring path;
        if (!FullPath(otherPanel ? m_other : m_active, name, &path)) return false;
        m_out += ShellQuote(path);
        return true;
      }
      case L'l': case L'L': ++m_at; AppendNameList(panel, name); return true;
      case L'p': case L'P': ++m_at; m_out += ShellQuote(DirectoryOf(panel)); return true;
      case L's': case L'S': ++m_at; m_out += ShellQuote(DirectoryOf(panel).AddTrailingSlash()); return true;
      case L't':
        ++m_at;
        m_perEntry = true;
        if (Next() == L'x') {
          ++m_at;
          m_out += ShellQuote(WithoutExtension(m_name));
        } else {
          m_out += ShellQuote(m_name);
        }
        return true;
      case L'x': ++m_at; m_out += ShellQuote(WithoutExtension(m_name)); return true;
      case L'n': ++m_at; return true;
      case L'i': ++m_at; return Prompt();
      default:
        // The character after the macro stays in the command.
        m_out += ShellQuote(m_name);
        return true;
    }
  }

  static Westring DirectoryOf(const CPanel* panel) { return panel != nullptr ? panel->Directory() : Westring(); }

  // Inside an archive a bare name is a member: the command gets the file it
  // is extracted to. False when that extraction failed.
  bool FullPath(CPanel* panel, const Westring& name, Westring* path) const {
    if (panel == nullptr) {
      *path = name;
      return true;
    }
    if (!panel->InArchive() || name.Find(L'/') >= 0 || m_mode == MacroMode::Analyse) {
      *path = panel->PathOf(name.c_str());
      return true;
    }
    const entry* member = nullptr;
    for (int i = 0; i < panel->Count() && member == nullptr; ++i)
      if (name == panel->At(i)->Name()) member = panel->At(i);
    *path = member != nullptr ? panel->Archive()->ExtractForView(panel->InnerDirectory(), *member) : Westring();
    return !path->IsEmpty();
  }

  // "!l" the names, "!lf" the names with their directory.
  void AppendNameList(const CPanel* panel, const Westring& current) {
    const bool withDirectory = Next() == L'f';
    if (withDirectory) ++m_at;
    if (panel == nullptr) return;
    bool first = true;
    ForEachChosen(*panel, current, [&](const Westring& name) {
      if (!first) m_out += L' ';
      first = false;
      m_out += ShellQuote(withDirectory ? panel->PathOf(name.c_str()) : name);
    });
  }

  bool WriteListFile() {
    const Westring listFile = UniqueTempName();
    m_out += ShellQuote(listFile);
    if (m_mode == MacroMode::Analyse || m_active == nullptr) return true;
    StdFile out;
    if (out.Open(listFile, OpenFlag::Write | OpenFlag::Create) != 0) return false;
    ForEachChosen(*m_active, m_name, [&](const Westring& name) { (void)out.WriteText(ShellQuote(name).ToUtf8() + "\n"); });
    return out.Close() == 0;
  }

  // "!i" or '!i"heading"': the typed text goes in as it is.
  bool Prompt() {
    Westring heading(L"?");
    if (Next() == L'"') {
      const int close = m_command.Mid(m_at + 1).Find(L'"');
      if (close >= 0) {
        heading = m_command.Mid(m_at + 1).Left(close);
        m_at += close + 2;
      }
    }
    if (m_mode == MacroMode::Analyse) return true;
    const int room = g_console->Columns() - 8;
    if (heading.Length() > room) heading = heading.Left(room);
    Westring typed;
    if (!InputBox(heading, &typed, kPromptWidth, kPromptLength, NoHistory)) return false;
    m_out += typed;
    return true;
  }

  Westring m_command;
  MacroMode m_mode;
  CPanel* m_active;
  CPanel* m_other;
  wchar_t m_macro;
  Westring m_name;
  Westring m_out;
  int m_at = 0;
  bool m_perEntry = false;
};

}  // namespace

int ExpandMacros(const Westring& command, MacroMode mode, const Westring& name, int side, Westring* expanded) {
  return CMacroExpander(command, mode, name, side).Expand(expanded);
}

int RunForPanel(const Westring& command, int side, bool association, const Westring& name) {
  CPanel* panel = g_panels[side];
  if (panel == nullptr) return -1;
  DeleteOwnTempFiles();
  (void)Sys::ChangeDirectory(panel->WorkingDirectory());
  Westring expanded;
  if (association) {
    if (ExpandMacros(command, MacroMode::Association, name, side, &expanded) < 0) return -1;
    return ExecuteCommand(expanded, side);
  }
  const int analysed = ExpandMacros(command, MacroMode::Analyse, Westring(), side, &expanded);
  if (analysed < 0) return -1;
  if (analysed == 1 && panel->TaggedCount() > 0) {
    // The names first: an execution re-reads the panel and may change its entries.
    WestringStore tagged;
    ForEachChosen(*panel, Westring(), [&](const Westring& name) { tagged.AppendCopy(name); });
    for (const Westring* each : tagged) {
      if (ExpandMacros(command, MacroMode::Name, *each, side, &expanded) < 0) return -1;
      if (ExecuteCommand(expanded, side) != 0) return -1;
    }
    return 0;
  }
  if (ExpandMacros(command, MacroMode::Name, Westring(), side, &expanded) < 0) return -1;
  return ExecuteCommand(expanded, side);
}

Westring FindAssociation(AssociationKind kind, const Westring& name) {
  for (const TAssociation* record : g_patterns[static_cast<int>(kind)])
    if (EvaluateOnName(record->pattern.c_str(), name.c_str()) == 1) return record->command;
  return Westring();
}

Westring ViewerOrEditorCommand(bool edit, bool alternate, const Westring& name) {
  if (alternate) return edit ? g_settings.editor2 : g_settings.viewer2;
  const Westring command = FindAssociation(edit ? AssociationKind::Edit : AssociationKind::View, name);
  if (!command.IsEmpty()) return command;
  return edit ? g_settings.editor : g_settings.viewer;
}
