#include "dialogs/ProgressIndicator.h"

#include <algorithm>

#include "foundation/Westring.h"

namespace {
constexpr wchar_t kFull = L'\u2588';
constexpr wchar_t kShade = L'\u2591';
}  // namespace

ProgressIndicator::ProgressIndicator(Dialog* dialog, int col, int row, bool newGroup, int width,
                                     const float* fraction)
    : DialogElement(dialog, col, row, newGroup), m_width(std::max(0, width)), m_fraction(fraction) {}

bool ProgressIndicator::HandleEvent(const TDialogEvent& event) {
  if (event.type != TDialogEvent::Refresh) return false;
  Draw();
  return true;
}

int ProgressIndicator::Filled() const {
  const float fraction = m_fraction ? *m_fraction : 0.0f;
  if (!(fraction > 0.0f)) return 0;  // negative, zero or not a number
  const float cells = static_cast<float>(m_width) * fraction;
  return cells >= static_cast<float>(m_width) ? m_width : static_cast<int>(cells);
}

void ProgressIndicator::Draw() {
  const int filled = Filled();
  Westring bar(filled, kFull);
  bar += Westring(m_width - filled, kShade);
  m_dialog->WriteText(m_col, m_row, bar.c_str(), m_dialog->NormalColour());
}

int Dialog::AddProgressIndicator(int col, int row, bool newGroup, int width, const float* fraction) {
  return Added(new ProgressIndicator(this, col, row, newGroup, width, fraction));
}
