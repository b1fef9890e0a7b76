#pragma once
// Real directories for panel tests: files of chosen sizes and times, links,
// and a panel laid out on the test console that reads them.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "console/Console.h"
#include "panels/Panel.h"
#include "tests/TempDirectory.h"

namespace paneltest {

/// Writes a file of `size` bytes and sets its modification time when given.
inline void MakeFile(const std::string& path, long size = 0, time_t seconds = 0, long nanoseconds = 0) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return;
  if (size > 0) (void)!ftruncate(fd, size);
  if (seconds != 0) {
    const timespec times[2] = {{seconds, nanoseconds}, {seconds, nanoseconds}};
    futimens(fd, times);
  }
  close(fd);
}

inline void MakeDirectory(const std::string& path) { mkdir(path.c_str(), 0755); }

inline void MakeLink(const std::string& target, const std::string& path) {
  (void)!symlink(target.c_str(), path.c_str());
}

/// The names of a panel's entries in order, joined by blanks.
inline std::wstring Names(const CPanel& panel) {
  std::wstring names;
  for (int i = 0; i < panel.Count(); ++i) {
    if (i > 0) names += L' ';
    names += panel.At(i)->Name();
  }
  return names;
}

/// The entry of a given name, or null.
inline entry* Find(const CPanel& panel, const wchar_t* name) {
  for (int i = 0; i < panel.Count(); ++i) {
    if (std::wcscmp(panel.At(i)->Name(), name) == 0) return panel.At(i);
  }
  return nullptr;
}

/// A left panel on an 80 x 25 screen reading directory, name order, full style.
inline void ReadInto(CPanel& panel, const std::string& directory) {
  panel.Layout(g_console->Columns(), g_console->Lines(), true);
  panel.SetDirectory(Westring(directory.c_str()));
  panel.ReadDirectory();
}

}  // namespace paneltest
