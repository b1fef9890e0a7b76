#include "config/StartupOptions.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>

const char* const UsageText =
    "Usage:\tvk [ini_file] [-v|-e file_name] [-l|-r directory]\n"
    "\t-v: invoke internal viewer\n"
    "\t-e: invoke internal editor\n"
    "\t-l: specify left panel's directory\n"
    "\t-r: specify right panel's directory";

namespace {

bool IsDirectory(const char* path) {
  struct stat info;
  return stat(path, &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

Westring AbsolutePath(const char* path) {
  Westring result(path);
  result.ReplaceAll(L"\\", L"/");
  if (result.IsEmpty() || result[0] == L'/') return result;
  char cwd[4096];
  if (!getcwd(cwd, sizeof cwd)) return result;
  Westring absolute(cwd);
  absolute.AddTrailingSlash();
  return absolute + result;
}

int ParseStartupOptions(int argc, const char* const* argv, TStartupOptions* options,
                        Estring* message) {
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (arg[0] != '-' && arg[0] != '\\') {
      if (!IsDirectory(arg)) options->configFile = AbsolutePath(arg);
      continue;
    }
    const char letter = static_cast<char>(tolower(static_cast<unsigned char>(arg[1])));
    const bool hasValue = i + 1 < argc;
    Westring* target = nullptr;
    switch (letter) {
      case 'v': target = &options->viewFile; break;
      case 'e': target = &options->editFile; break;
      case 'l': target = &options->leftDirectory; break;
      case 'r': target = &options->rightDirectory; break;
      case 'x': target = &options->exitDirectoryFile; break;
      default: *message = UsageText; return 1;
    }
    if (!hasValue) {
      if (letter == 'v' || letter == 'e') {
        *message = "No file specified";
        return 1;
      }
      continue;  // the option stays empty
    }
    *target = Westring(argv[++i]);
  }
  return 0;
}
