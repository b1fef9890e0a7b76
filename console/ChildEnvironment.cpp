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
