// " File Information ": the lines built from lstat and shown as label and
// value pairs.
#include "fileops/FileInformation.h"

#include <sys/sysmacros.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "config/Settings.h"
#include "console/Console.h"
#include "dialogs/Dialog.h"
#include "dialogs/HelpTopics.h"
#include "dialogs/Look.h"
#include "dialogs/MessageBox.h"
#include "foundation/SysCalls.h"
#include "panels/Entry.h"
#include "panels/Panel.h"
#include "panels/RowFormat.h"

namespace {

constexpr int kValueColumn = 16;

// The date and time as the panels write them, with seconds.
Westring StampText(const timespec& stamp) {
  entry* e = entry::Make(L"");
  if (e == nullptr) return Westring();
  e->timeSec = static_cast<uint32_t>(stamp.tv_sec);
  e->timeNs = static_cast<uint32_t>(stamp.tv_nsec);
  Westring text = DateText(*e) + L" " + TimeText(*e, g_settings.timeMode);
  delete e;
  text.Trim();
  char seconds[8];
  std::snprintf(seconds, sizeof seconds, ":%02d", static_cast<int>(stamp.tv_sec % 60));
  return g_settings.timeMode == 12 ? text : text + Westring(seconds);
}

const char* TypeName(mode_t mode) {
  if (S_ISREG(mode)) return "Regular file";
  if (S_ISDIR(mode)) return "Directory";
  if (S_ISLNK(mode)) return "Symbolic Link";
  if (S_ISCHR(mode)) return "Character device";
  if (S_ISBLK(mode)) return "Block device";
  if (S_ISFIFO(mode)) return "Named Pipe (FIFO)";
  if (S_ISSOCK(mode)) return "Socket";
  return "Unknown";
}

Westring Number(long long value) {
  char text[32];
  std::snprintf(text, sizeof text, "%lld", value);
  return Westring(text);
}

Westring Octal(unsigned value) {
  char text[16];
  std::snprintf(text, sizeof text, "%04o", value);
  return Westring(text);
}

// "name(number)", or the number alone when no name belongs to it.
Westring NamedId(const Westring& name, long long id) {
  const Westring number = Number(id);
  return name == number ? number : name + L"(" + number + L")";
}

}  // namespace

std::vector<TInformationLine> FileInformationLines(const struct stat& info, const Westring& target) {
  char device[32];
  std::snprintf(device, sizeof device, "%u,%u", major(info.st_dev), minor(info.st_dev));
  std::vector<TInformationLine> lines = {
      {"Size", Number(static_cast<long long>(info.st_size))},
      {"Blocks", Number(static_cast<long long>(info.st_blocks))},
      {"Access Time", StampText(info.st_atim)},
      {"Modified Time", StampText(info.st_mtim)},
      {"Changed Time", StampText(info.st_ctim)},
      {"Mode", Sys::PermissionString(info.st_mode) + L" (" + Octal(info.st_mode & 07777) + L")"},
      {"Hard Links", Number(static_cast<long long>(info.st_nlink))},
      {"Type", Westring(TypeName(info.st_mode))},
  };
  if (S_ISLNK(info.st_mode)) lines.push_back({"Target", target});
  lines.push_back({"Owner", NamedId(Sys::UserName(info.st_uid), info.st_uid)});
  lines.push_back({"Group", NamedId(Sys::GroupName(info.st_gid), info.st_gid)});
  lines.push_back({"Device", Westring(device)});
  lines.push_back({"Inode", Number(static_cast<long long>(info.st_ino))});
  return lines;
}

void RunFileInformation(CPanel& panel) {
  const entry* e = panel.CursorEntry();
  if (e == nullptr || panel.Type() != PanelType::Files || panel.InArchive()) return;
  const Westring path = panel.PathOf(e->Name());
  struct stat info;
  if (lstat(path.ToUtf8().c_str(), &info) != 0) {
    MessageBox(Sys::ErrorText(errno), path, MessageStyle::Ok);
    return;
  }
  const Westring target = S_ISLNK(info.st_mode) ? panel.LinkTarget(*e) : Westring();
  const std::vector<TInformationLine> lines = FileInformationLines(info, target);
  int width = 40;
  for (const TInformationLine& line : lines) width = std::max(width, kValueColumn + line.value.Length() + 3);
  Dialog dialog(-1, -3, std::min(width, g_console->Columns() - 4), static_cast<int>(lines.size()) + 5,
                Colour(ColourClass::Messages));
  dialog.SetHelpTopic(HelpTopic::FileInformation);
  dialog.DrawTitle(L" File Information ");
  dialog.WriteCentred(0, path.NamePart().Left(dialog.Width() - 2).c_str());
  for (size_t i = 0; i < lines.size(); ++i) {
    const int row = static_cast<int>(i) + 1;
    dialog.WriteText(1, row, lines[i].label);
    dialog.WriteText(kValueColumn, row, lines[i].value.Left(dialog.Width() - kValueColumn - 1).c_str());
  }
  dialog.SetDefaultButton(dialog.AddPushButton(dialog.Width() / 2 - 3, static_cast<int>(lines.size()) + 2, true,
                                               DialogResult::Ok, "OK"));
  (void)dialog.Run();
}
