#include "panels/PanelLayout.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<int> Widths(PanelStyle style, int screenColumns) {
  TColumnLayout layout = StyleColumns(style);
  DistributeWidth(&layout, screenColumns / 2 - 2);
  std::vector<int> widths;
  for (int i = 0; i < layout.count; ++i) widths.push_back(layout.columns[i].width);
  return widths;
}

int Used(const std::vector<int>& widths) {
  int used = static_cast<int>(widths.size()) - 1;
  for (int w : widths) used += w;
  return used;
}

}  // namespace

TEST(PanelLayout, WiderScreensShareOutTheRestUpToTheMaxima) {
  EXPECT_EQ(Widths(PanelStyle::Full, 132), (std::vector<int>{37, 10, 8, 6}));
  for (PanelStyle style : {PanelStyle::Brief, PanelStyle::Full, PanelStyle::Wide, PanelStyle::BriefWide,
                           PanelStyle::Unix}) {
    for (int columns : {80, 100, 132, 200}) {
      const std::vector<int> widths = Widths(style, columns);
      EXPECT_EQ(Used(widths), columns / 2 - 2) << static_cast<int>(style) << " at " << columns;
      TColumnLayout minima = StyleColumns(style);
      for (int i = 0; i < minima.count; ++i) {
        EXPECT_GE(widths[i], minima.columns[i].minimum);
        EXPECT_LE(widths[i], minima.columns[i].maximum);
      }
    }
  }
}
