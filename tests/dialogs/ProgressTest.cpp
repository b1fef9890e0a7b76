// Progress windows are drawn by their own thread: the tests read the grid
// under the GDK lock that every console write takes, and wait for what the
// thread draws by polling with a generous limit, never by timing it.
#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "console/GdkLock.h"
#include "dialogs/ProgressThread.h"
#include "foundation/NumberFormat.h"
#include "foundation/Thread.h"
#include "tests/dialogs/DialogTestUtil.h"

using namespace dialogtest;

namespace {

constexpr int kPollLimitMs = 20000;
constexpr int kPollStepMs = 10;

std::u32string LockedText(int col, int row, int width) {
  GdkLock lock;
  return ScreenText(col, row, width);
}

// Polls the screen until `wanted` shows at (col, row), or gives up.
bool WaitForText(int col, int row, const std::u32string& wanted) {
  for (int waited = 0; waited < kPollLimitMs; waited += kPollStepMs) {
    if (LockedText(col, row, static_cast<int>(wanted.size())) == wanted) return true;
    SleepMs(kPollStepMs);
  }
  return false;
}

std::u32string Repeat(int count, char32_t ch) { return std::u32string(count, ch); }

// The screen cell of interior (col, row) of a framed window of the given
// outer size, centred across the screen and a third of the way down.
struct TCellPos { int col, row; };
TCellPos Interior(int width, int height, int col, int row) {
  return {(Con().Columns() - width) / 2 + 1 + col, (Con().Lines() - height) / 3 + 1 + row};
}

using ProgressTest = ScreenTest;

}  // namespace

TEST_F(ProgressTest, DirReadProgressShowsTheCountAndRestoresTheScreen) {
  const bool grouping = g_groupThousands;
  g_groupThousands = true;
  std::atomic<int32_t> count{1234};
  const TCellPos title = Interior(35, 6, 4, 1);
  const TCellPos files = Interior(35, 6, 4, 2);
  {
    DirReadProgress progress(&count);
    ASSERT_TRUE(WaitForText(title.col, title.row, U"Reading directory:"));
    EXPECT_TRUE(WaitForText(files.col, files.row, U"Files:        1,234"));
    count = 1234567;  // the window follows the running count
    EXPECT_TRUE(WaitForText(files.col, files.row, U"Files:    1,234,567"));
  }
  g_groupThousands = grouping;
  EXPECT_EQ(LockedText(title.col - 5, title.row - 2, 35), Repeat(35, U' '));
}

TEST_F(ProgressTest, FileReadProgressFillsTheBarAsTheLoadAdvances) {
  std::atomic<int64_t> done{0}, total{0};
  const TCellPos bar = Interior(40, 5, 1, 2);
  {
    FileReadProgress progress(&done, &total, "Loading file");
    // Without a total the bar stays empty.
    ASSERT_TRUE(WaitForText(bar.col, bar.row, Repeat(36, U'░')));
    total = 200;
    done = 199;  // 35.82 cells: only whole cells fill
    EXPECT_TRUE(WaitForText(bar.col, bar.row, Repeat(35, U'█') + U"░"));
    done = 400;  // past the end the bar is simply full
    EXPECT_TRUE(WaitForText(bar.col, bar.row, Repeat(36, U'█')));
  }
  EXPECT_EQ(LockedText(bar.col, bar.row, 36), Repeat(36, U' '));
}
