#include "fileops/CopyCommand.h"

#include <vector>

#include "fileops/CopyDialog.h"
#include "fileops/CopyFiles.h"
#include "fileops/internal/CommandShared.h"
#include "fileops/internal/CopyShared.h"
#include "panels/DirSearch.h"
#include "panels/Panel.h"

using copyengine::Joined;

namespace {

// Each entry in panel order; one done is untagged and remembered for
// Restore Selection. A cancel ends the command.
void CopyEntries(CPanel& active, const std::vector<int>& chosen, const TDestination& destination,
                 bool move, TCopyContext* context) {
  const int count = static_cast<int>(chosen.size());
  for (int n = 0; n < count; ++n) {
    entry* e = active.At(chosen[n]);
    const Westring name(e->Name());
    const Westring target = CopyTarget(destination, active.PathOf(name.c_str()));
    // The name goes to the system as the bytes it has there, also when the
    // target keeps it.
    const Estring bytes = SystemName(active.Directory(), name);
    const Estring source = Joined(active.Directory().ToUtf8(), bytes.c_str());
    const Estring targetBytes =
        target.NamePart() == name ? Joined(target.DirPart().ToUtf8(), bytes.c_str()) : target.ToUtf8();
    const int result = move ? MoveFile(source, targetBytes, n + 1, count, context)
                            : CopyFile(source, targetBytes, n + 1, count, context);
    if (result == CopyResult::Done) {
      active.Tag(chosen[n], TagMode::Untag);
      e->previouslyTagged = 1;
    }
    if (result == CopyResult::Cancelled) return;
  }
}

}  // namespace

void RunCopyCommand(CPanel& active, CPanel& other, bool move, bool inPlace) {
  const std::vector<int> chosen = active.ChosenEntries(inPlace);
  if (chosen.empty()) return;
  const int count = static_cast<int>(chosen.size());
  const Westring firstName(active.At(chosen[0])->Name());
  TCopyRequest request{inPlace ? firstName : other.Directory(), 0};
  if (!RunCopyDialog(move, CopyDialogTitle(move, count, firstName), other.Directory(), &request)) return;
  TDestination destination;
  if (CheckDestination(request.destination, active.Directory(), count, &destination) != 0) return;
  CopyToDestination(active, other, chosen, destination, move, request.overwrite);
}

void CopyToDestination(CPanel& active, CPanel& other, const std::vector<int>& chosen,
                       const TDestination& destination, bool move, int overwrite) {
  for (int i = 0; i < active.Count(); ++i) active.At(i)->previouslyTagged = 0;
  {
    TCopyContext context;  // its progress window closes with it
    context.overwrite = move ? OverwriteMode::Ask : static_cast<OverwriteMode>(overwrite);
    context.lowerCaseNames = IsCaseFilterFileSystem(active.Directory());
    for (int index : chosen) {
      const Westring name(active.At(index)->Name());
      AddToCopyTotal(Joined(active.Directory().ToUtf8(), SystemName(active.Directory(), name).c_str()), &context);
    }
    CopyEntries(active, chosen, destination, move, &context);
  }
  active.MarkForReread();
  other.MarkForReread();
}
