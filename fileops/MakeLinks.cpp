#include "fileops/MakeLinks.h"

#include <unistd.h>

#include <cerrno>
#include <cwchar>
#include <vector>

#include "dialogs/MessageBox.h"
#include "fileops/CopyDialog.h"
#include "fileops/CopyFiles.h"
#include "fileops/internal/CommandShared.h"
#include "fileops/internal/CopyShared.h"
#include "foundation/SysCalls.h"
#include "panels/DirSearch.h"
#include "panels/Panel.h"
#include "panels/PathNames.h"

using copyengine::Joined;

namespace {

// The title row holds 73 characters.
constexpr int kTitleRoom = 73;

Westring Title(bool tagged, int count, const Westring& name) {
  if (tagged) {
    wchar_t title[64];
    const wchar_t* plural = count > 1 ? L"s" : L"";
    std::swprintf(title, 64, L"Make symbolic link%ls to %d file%ls in", plural, count, plural);
    return Westring(title);
  }
  const Westring head(L"Make symbolic link to \""), tail(L"\" as");
  const int room = kTitleRoom - head.Length() - tail.Length();
  return head + (name.Length() > room ? name.Left(room - 3) + L"..." : name) + tail;
}

// The destination typed, made absolute against base; for tagged entries it
// must be a directory, else the dialog comes back with the text kept. False
// when cancelled.
bool AskDestination(const Westring& title, bool tagged, const Westring& base,
                    const Westring& otherDirectory, TCopyRequest* request, Westring* path) {
  for (;;) {
    if (!RunCopyDialog(true, title, otherDirectory, request)) return false;
    *path = request->destination;
    path->Trim();
    if (path->IsEmpty() || ResolvePath(path, base) != 0) {
      MessageBox(Westring("Invalid path"), request->destination, MessageStyle::Ok);
    } else if (tagged && Sys::CheckDirectory(*path) != 0) {
      MessageBox(Westring("Destination must be a valid directory"), *path, MessageStyle::Ok);
    } else {
      return true;
    }
  }
}

}  // namespace

int MakeLink(const Estring& linkPath, const Estring& target, TCopyContext* context) {
  for (;;) {
    int err = symlink(target.c_str(), linkPath.c_str()) == 0 ? 0 : errno;
    if (err == 0) return 1;
    if (!ReportCopyError(&err, target, linkPath, context))
      return err == CopyResult::Cancelled ? 0 : 1;
  }
}

void RunMakeLinksCommand(CPanel& active, CPanel& other) {
  const std::vector<int> chosen = active.ChosenEntries();
  if (chosen.empty()) return;
  const bool tagged = active.TaggedCount() > 0;
  const int count = static_cast<int>(chosen.size());
  const Westring firstName(active.At(chosen[0])->Name());
  Westring initial = other.Directory();
  if (!tagged) {
    initial.AddTrailingSlash();
    initial += firstName;
  }
  TCopyRequest request{initial, 0};
  Westring destination;
  if (!AskDestination(Title(tagged, count, firstName), tagged, active.Directory(),
                      other.Directory(), &request, &destination))
    return;
  TCopyContext context;
  const Estring directory = active.Directory().ToUtf8();
  for (int index : chosen) {
    const Westring name(active.At(index)->Name());
    // The name goes to the system as the bytes it has there, also when the
    // typed path ends in it.
    const Estring bytes = SystemName(active.Directory(), name);
    const Estring linkPath =
        tagged || destination.NamePart() == name
            ? Joined((tagged ? destination : destination.DirPart()).ToUtf8(), bytes.c_str())
            : destination.ToUtf8();
    if (MakeLink(linkPath, Joined(directory, bytes.c_str()), &context) == 0) break;
  }
  active.MarkForReread();
  other.MarkForReread();
}
