#include "console/ChildEnvironment.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>


// The process's own environment is the store: "set" writes it with setenv,
// so a program's later getenv, ExpandPath and the children agree.
void SetEnvironmentVariable(const Westring& name, const Westring& value) {
  if (name.IsEmpty() || name.Find(L'=') >= 0) return;
  if (value.IsEmpty()) unsetenv(name.ToUtf8().c_str());
  else setenv(name.ToUtf8().c_str(), value.ToUtf8().c_str(), 1);
}

Westring EnvironmentValue(const Westring& name) {
  const char* value = std::getenv(name.ToUtf8().c_str());
  return value != nullptr ? Westring::FromUtf8(value) : Westring();
}

std::string PathWithAppend(const std::string& path, const Westring& append) {
  if (append.IsEmpty()) return path;
  std::string extended = path;
  if (extended.empty() || extended.back() != ':') extended += ':';
  return extended + append.ToUtf8().c_str();
}

// Variables set to an empty value are passed as they are: a program may
// test whether one is set at all.
TObjectStore<Estring>* BuildEnvironment(const Westring& pathAppend) {
  auto* environment = new TObjectStore<Estring>;
  bool hasPath = false;
  for (char** variable = environ; *variable != nullptr; ++variable) {
    if (std::strchr(*variable, '=') == nullptr) continue;
    if (std::strncmp(*variable, "TERM=", 5) == 0) continue;
    const bool path = std::strncmp(*variable, "PATH=", 5) == 0;
    hasPath = hasPath || path;
    const std::string text = path ? "PATH=" + PathWithAppend(*variable + 5, pathAppend) : *variable;
    environment->Append(new Estring(text.c_str()));
  }
  // Without a PATH a shell searches the system's default one; PathAppend extends that.
  if (!hasPath && !pathAppend.IsEmpty()) {
    char systemPath[1024] = "";
    confstr(_CS_PATH, systemPath, sizeof systemPath);
    environment->Append(new Estring(("PATH=" + PathWithAppend(systemPath, pathAppend)).c_str()));
  }
  environment->Append(new Estring("TERM=xterm"));
  return environment;
}

namespace {

bool IsNameChar(wchar_t ch) {
  return (ch >= L'a' && ch <= L'z') || (ch >= L'A' && ch <= L'Z') || (ch >= L'0' && ch <= L'9') || ch == L'_';
}

}  // namespace

Westring ExpandPath(const Westring& path) {
  Westring text = path;
  if (text.Length() >= 2 && text[0] == L'~' && text[1] == L'/') {
    Westring home = EnvironmentValue(L"HOME");
    home.RemoveTrailingSlash();
    text = home + L"/" + text.Mid(2);
  }
  Westring expanded;
  for (int i = 0; i < text.Length();) {
    if (text[i] != L'$') {
      expanded += text[i++];
      continue;
    }
    int end = i + 1;
    while (end < text.Length() && IsNameChar(text[end])) ++end;
    i = AppendVariableValue(text, i, end, false, &expanded);
  }
  return expanded;
}

int AppendVariableValue(const Westring& text, int dollar, int nameEnd, bool upperCase, Westring* out) {
  Westring name = text.Mid(dollar + 1).Left(nameEnd - dollar - 1);
  if (upperCase) name.FoldUpper();
  const Westring value = nameEnd > dollar + 1 ? EnvironmentValue(name) : Westring();
  if (value.IsEmpty()) {
    out->Append(text.c_str() + dollar, nameEnd - dollar);
    return nameEnd;
  }
  *out += value;
  return text[nameEnd] == L'$' ? nameEnd + 1 : nameEnd;
}
