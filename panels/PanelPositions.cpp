#include "panels/PanelPositions.h"

void CPosStack::Remember(const Westring& directory, int firstVisible, const Westring& cursorName) {
  if (Find(directory) != nullptr) DeleteCurrent();
  auto* item = new TPanelPosition{directory, firstVisible, cursorName};
  if (Insert(item) != 0) delete item;
}

const TPanelPosition* CPosStack::Recall(const Westring& directory) { return Find(directory); }
