// vk_makehelp HELPFILE MANUALDIR SOURCE...: writes the help file and the
// HTML manual from the help sources; any fault in a source stops the build.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "help/HelpSources.h"

namespace {

int Fail(const std::vector<std::string>& errors) {
  for (const std::string& error : errors) std::fprintf(stderr, "%s\n", error.c_str());
  return 1;
}

int WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return out ? 0 : (errno != 0 ? errno : EIO);
}

// Pages of topics since removed would stay beside the new ones and be installed.
void RemoveOldPages(const std::string& directory) {
  DIR* dir = opendir(directory.c_str());
  if (dir == nullptr) return;
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name.size() > 5 && name.compare(name.size() - 5, 5, ".html") == 0)
      unlink((directory + "/" + name).c_str());
  }
  closedir(dir);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: vk_makehelp HELPFILE MANUALDIR SOURCE...\n");
    return 2;
  }
  const std::string helpFile = argv[1], manual = argv[2];
  std::vector<THelpTopic> topics;
  std::vector<std::string> errors;
  if (ReadHelpSources(std::vector<std::string>(argv + 3, argv + argc), &topics, &errors) != 0)
    return Fail(errors);
  std::string bytes;
  if (EncodeHelpFile(topics, &bytes, &errors) != 0) return Fail(errors);
  if (int err = WriteBytes(helpFile, bytes)) return Fail({helpFile + ": " + std::strerror(err)});
  if (mkdir(manual.c_str(), 0755) != 0 && errno != EEXIST)
    return Fail({manual + ": " + std::strerror(errno)});
  RemoveOldPages(manual);
  if (int err = WriteManual(manual, topics)) return Fail({manual + ": " + std::strerror(err)});
  return 0;
}
