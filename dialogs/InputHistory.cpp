#include "dialogs/InputHistory.h"

#include <utility>

namespace {

struct THistories {
  WestringStore lists[InputHistoryCount];
  std::function<void(int, const Westring&)> saver;
};

THistories& Histories() {
  static THistories histories;
  return histories;
}

}  // namespace

WestringStore* InputHistory(int number) {
  if (number < 0 || number >= InputHistoryCount) return nullptr;
  return &Histories().lists[number];
}

void AddToHistory(const Westring& text, int number, bool doNotSave) {
  WestringStore* list = InputHistory(number);
  if (!list) return;
  for (int i = list->Count() - 1; i >= 0; --i) {
    if (list->At(i)->EqualsNoCase(text)) {
      list->GoTo(i);
      list->DeleteCurrent();
    }
  }
  list->AppendCopy(text);
  if (!doNotSave && Histories().saver) Histories().saver(number, text);
}

void SetInputHistorySaver(std::function<void(int, const Westring&)> saver) {
  Histories().saver = std::move(saver);
}
