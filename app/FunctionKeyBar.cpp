#include "app/FunctionKeyBar.h"

#include <cassert>

#include "console/KeyTable.h"
#include "dialogs/KeyBar.h"

namespace {

constexpr int kKeys = LabelsPerKeyBar;
constexpr int kLabelSets = 8;

// Indexed by Alt x 1 + Ctrl x 2 + Shift x 4.
const char* const kLabels[kLabelSets][kKeys] = {
    {"1Help", "2Menu", "3View", "4Edit", "5Copy", "6RenMov", "7Mkdir", "8Delete", "9PullDn",
     "10Quit"},
    {"1Left", "2Right", "3View..", "4Edit..", "5DStore", "6Object", "7Find", "8Histry", "9EGA Ln",
     "10Tree"},
    {"1Left", "2Right", "3Name", "4Exten", "5Time", "6Size", "7Unsort", "8Revers", "9", "10"},
    {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"},
    {"1Manual", "2MnMenu", "3View..", "4Edit..", "5Copy", "6Rename", "7MkArch", "8DelOne",
     "9SavSet", "10MenuRe"},
    {"1Brief", "2Full", "3Wide", "4BriefW", "5Unix", "6", "7FindRC", "8DirHst", "9ColChg", "10"},
    {"1", "2", "3View..", "4Edit..", "5SymLnk", "6", "7", "8", "9", "10"},
    {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"},
};

// -1 while nothing is known to be on the bottom line.
int s_drawnSet = -1;

}  // namespace

int FunctionKeyLabelSet(uint16_t modifierState) {
  return ((modifierState & ModState::Alt) ? 1 : 0) + ((modifierState & ModState::Control) ? 2 : 0) +
         ((modifierState & ModState::Shift) ? 4 : 0);
}

const char* FunctionKeyLabel(int labelSet, int keyNumber) {
  assert(labelSet >= 0 && labelSet < kLabelSets && keyNumber >= 1 && keyNumber <= kKeys &&
         "function-key label outside the table");
  return kLabels[labelSet][keyNumber - 1];
}

void DrawFunctionKeyBar(uint16_t modifierState) {
  const int set = FunctionKeyLabelSet(modifierState);
  DrawKeyBar(kLabels[set]);
  s_drawnSet = set;
}

bool FunctionKeyBarNeedsRedraw(uint16_t modifierState) {
  return s_drawnSet != FunctionKeyLabelSet(modifierState);
}

void InvalidateFunctionKeyBar() { s_drawnSet = -1; }
