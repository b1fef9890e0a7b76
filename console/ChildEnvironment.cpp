#include "console/ChildEnvironment.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>


// The process's own environment is the store: "set" writes it with setenv,
// so a program's later getenv, ExpandPath and the children agree.
void SetEnvironmentVariable(const Westring& name, const Westring& value) {
  if (name.IsEmpty() || name.Find(L'=') >= 0) return;
  setenv(name.ToUtf8().c_str(), value.ToUtf8().c_str(), 1);
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

TObjectStore<Estring>* BuildEnvironment(const Westring& pathAppend) {
  auto* environment = new TObjectStore<Estring>;
  for (char** variable = environ; *variable != nullptr; ++variable) {
    const char* equals = std::strchr(*variable, '=');
    if (equals == nullptr || equals[1] == 0) continue;
    if (std::strncmp(*variable, "TERM=", 5) == 0) continue;
    const std::string text = std::strncmp(*variable, "PATH=", 5) == 0 ? "PATH=" + PathWithAppend(*variable + 5, pathAppend) : *variable;
    environment->Append(new Estring(text.c_str()));
  }
  environment->Append(new Estring("TERM=xterm"));
  return environment;
}
