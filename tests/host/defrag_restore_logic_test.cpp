#include <gtest/gtest.h>

#include <vector>

#include "defrag/restore_logic.h"

namespace {

TEST(RestoreBar, StepsShrinkAndReachTheEndAfter38Ticks) {
  std::vector<int> seen;
  int p = 0;
  for (int tick = 0; tick < 38; ++tick) seen.push_back(p = NextRestoreBarPosition(p));
  EXPECT_EQ(std::vector<int>(seen.begin(), seen.begin() + 10), (std::vector<int>{10, 20, 30, 40, 45, 50, 55, 58, 61, 63}));
  EXPECT_EQ(seen[36], 99);
  EXPECT_EQ(seen[37], 100);
  EXPECT_EQ(NextRestoreBarPosition(100), 100);
  // The bar passes 79 then 81 and then creeps by one.
  EXPECT_EQ(NextRestoreBarPosition(79), 81);
  EXPECT_EQ(NextRestoreBarPosition(81), 82);
}

TEST(ReportTime, MidnightHasNoTimePart) {
  EXPECT_EQ(ReportTime("11.12.2026", "00:00:00", 0, 0, 0), "11.12.2026");
  EXPECT_EQ(ReportTime("11.12.2026", "00:00:01", 0, 0, 1), "11.12.2026 00:00:01");
  EXPECT_EQ(ReportTime("12/11/2026", "9:41:07 AM", 9, 41, 7), "12/11/2026 9:41:07 AM");
}

}  // namespace
