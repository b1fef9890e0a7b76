#include "config/FileLocations.h"

#include <cerrno>
#include <cstdlib>

#include "foundation/SysCalls.h"

namespace {

const wchar_t* const kSharedDirectory = L"/usr/local/share/varnak/";
const wchar_t* const kManualDirectory = L"/usr/local/share/doc/varnak/manual/";

// The build names the source tree's data directory and its own, where it
// writes the help file and the manual; an installed program finds the
// shared files first.
#ifdef VK_SOURCE_DATA_DIR
const char* const kSourceSyntaxFile = VK_SOURCE_DATA_DIR "/syntax.ini";
const char* const kSourceMenuFile = VK_SOURCE_DATA_DIR "/menu.mnu";
const char* const kBuiltHelpFile = VK_BUILD_DATA_DIR "/vk.vkh";
const char* const kBuiltManualIndex = VK_BUILD_DATA_DIR "/manual/index.html";
#else
const char* const kSourceSyntaxFile = "";
const char* const kSourceMenuFile = "";
const char* const kBuiltHelpFile = "";
const char* const kBuiltManualIndex = "";
#endif

Westring g_userDirectory;
Westring g_baseName = L"vk.";

// "vk" gives "vk.", "vk.bin" keeps "vk.": up to and including the last '.'.
Westring BaseOf(const Westring& fileName) {
  const int dot = fileName.FindLast(L'.');
  return dot < 0 ? fileName + L"." : fileName.Left(dot + 1);
}

}  // namespace

void SetFileLocations(const Westring& programPath, const Westring& configFile) {
  if (!configFile.IsEmpty()) {
    g_userDirectory = configFile.DirPart();
    g_userDirectory.AddTrailingSlash();
    g_baseName = BaseOf(configFile.NamePart());
    return;
  }
  const char* home = getenv("HOME");
  g_userDirectory = Westring(home ? home : "");
  if (!g_userDirectory.IsEmpty()) {
    g_userDirectory.AddTrailingSlash();
    g_userDirectory += L".vkl/";
  }
  g_baseName = BaseOf(programPath.NamePart());
}

Westring GetFileLocation(FileKind kind, bool shared) {
  switch (kind) {
    case FileKind::HelpText: return kSharedDirectory + g_baseName + L"vkh";
    case FileKind::Manual: return kManualDirectory + g_baseName + L"html";
    case FileKind::UserMenu: return g_userDirectory + g_baseName + L"mnu";
    case FileKind::Configuration: return g_userDirectory + g_baseName + L"ini";
    case FileKind::Histories: return g_userDirectory + g_baseName + L"hst";
    case FileKind::Log: return g_userDirectory + g_baseName + L"log";
    case FileKind::SyntaxDefinitions: {
      const Westring stem = g_baseName.AllButLast(1) + L"syntax.ini";
      return (shared ? Westring(kSharedDirectory) : g_userDirectory) + stem;
    }
  }
  return Westring();
}

namespace {

// The first of the files that exists; a directory of the name is passed
// over: only a file can be read.
Westring FirstFileOf(std::initializer_list<Westring> files) {
  for (const Westring& file : files) {
    if (!file.IsEmpty() && Sys::CheckDirectory(file) == ENOTDIR) return file;
  }
  return Westring();
}

}  // namespace

Westring FindSyntaxDefinitions(const Westring& sharedFile, const Westring& sourceFile) {
  return FirstFileOf({GetFileLocation(FileKind::SyntaxDefinitions), sharedFile, sourceFile});
}

Westring FindSyntaxDefinitions() {
  return FindSyntaxDefinitions(GetFileLocation(FileKind::SyntaxDefinitions, true),
                               Westring(kSourceSyntaxFile));
}

Westring FindExampleMenu() {
  return FirstFileOf({Westring(kSharedDirectory) + g_baseName + L"mnu", Westring(kSourceMenuFile)});
}

Westring FindMainMenu() {
  const Westring own = FirstFileOf({GetFileLocation(FileKind::UserMenu)});
  return own.IsEmpty() ? FindExampleMenu() : own;
}

Westring FindHelpFile() {
  return FirstFileOf({GetFileLocation(FileKind::HelpText), Westring(kBuiltHelpFile)});
}

Westring FindManualIndex() {
  return FirstFileOf({Westring(kManualDirectory) + L"index.html", Westring(kBuiltManualIndex)});
}
